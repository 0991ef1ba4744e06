#pragma once
// The arithmetic of the viewing area: the scale list, fitting a picture to the window or the
// window to a picture, centring it in the scroll box, and the part of the view copy a paint
// needs. Plain functions, so each rule can be checked on its own.

#include "imaging/core/Types.h"

#include <optional>

namespace kestrel {

// The scale list "16:1", "8:1", "4:1", "2:1", "1:1", "1:2", "1:4", "1:8".
constexpr int kScaleCount = 8;
constexpr int kFullScaleIndex = 4; // "1:1"

// Magnification M of a scale index: 16, 8, 4, 2 for 0 to 3, else 1.
int MagnificationOf(int scaleIndex);
// Reduction R of a scale index: 2, 4, 8 for 5 to 7, else 1.
int ReductionOf(int scaleIndex);

enum class TZoomDirection { In, Out };
// The scale index one click zoom step gives: in decreases, out increases, each stopping at the
// end of the list. Pictures made by editing or cropping (kinds 7 and 16) never go past "1:1".
int ZoomedScaleIndex(int scaleIndex, TZoomDirection direction, int imageKind);

// The fitted size of a width x height picture in a box less margin on each side's total: the
// aspect ratio kept, enlarged as well as reduced. Nothing when the box or the picture has no area.
std::optional<TSize> FitSize(int boxWidth, int boxHeight, int margin, int width, int height);

// The frame margin of the viewing area: twice the bevel of the panel round the scroll box, and 3
// for the scroll box's single border.
constexpr int kFrameMargin = 2 * 1 + 3;

// The window's client size that fits a picture (Fit to Image).
struct TFitImageLayout {
  bool FileViewShown = true;
  int FileViewWidth = 0; // with the splitter beside it
  int Margin = kFrameMargin;
};
TSize FitImageClientSize(int pictureWidth, int pictureHeight, const TFitImageLayout& layout);
// While the file view is shown the client is never lower than this (plus the margin).
constexpr int kFitImageMinHeight = 200;

// Where an image of image pixels sits in a scroll box whose client (without scroll bars) is
// client: the scroll bars it needs, the free area they leave, and the centring offset.
struct TPlacement {
  TSize Free;
  TPoint Offset;
  bool HorizontalBar = false;
  bool VerticalBar = false;
};
// barsAllowed is false in the fit modes, whose scroll bars are hidden.
TPlacement PlaceImage(TSize client, TSize image, int verticalBarWidth, int horizontalBarHeight,
                      bool barsAllowed);

// One direction of a clipped paint: destination pixels in the paint box and the source pixels of
// the view copy they show.
struct TPaintSpan {
  int DestStart = 0;
  int DestLength = 0;
  int SourceStart = 0;
  int SourceLength = 0;
};
// position: where the paint box starts relative to the visible area (negative when scrolled);
// boxSize: its size (magnification x source size); free: the visible size; source: the view
// copy's size. Only whole source pixels are drawn, so the destination is a multiple of
// magnification.
TPaintSpan ClipPaintSpan(int position, int boxSize, int free, int magnification, int source);

} // namespace kestrel
