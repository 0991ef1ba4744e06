#pragma once
// Where a picture lands on a printed page. Sizes and offsets are in printer dots; one picture
// pixel is one dot at 100 percent. The same rules place the small page diagram of the print
// window, in its own pixels.

#include "imaging/core/Types.h"

#include <QString>

#include <optional>

namespace kestrel {

// The seven places a picture can take on the page, in the order of the window's buttons.
enum class TPrintPosition {
  Center,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
  TopCenter,
  BottomCenter
};

constexpr int kMinPercent = 1;
constexpr int kMaxPercent = 2000;

// The command-line names ("center", "top-left", ... "bottom-center"), in button order.
QString PrintPositionName(TPrintPosition position);
std::optional<TPrintPosition> PrintPositionNamed(const QString& name);

// The largest whole percentage at which the picture still fits the page: 100 / the larger of the
// two ratios picture / page, rounded down. Never below 1, so a picture many times the page still
// prints (at 1 percent, overflowing).
int FitPercentage(TSize picture, TSize page);

// The printed size at percent: each side round(side x percent / 100), at least one dot so that
// even a 1 x 1 picture at 1 percent leaves a mark.
TSize PrintedSize(TSize picture, int percent);

// The top-left corner of an item of size item placed inside area at position; may be negative
// when the item is larger than the area (halving rounds toward zero).
TPoint PlaceAt(TPrintPosition position, TSize area, TSize item);

// The page diagram's size for a window client height: the taller side takes 15/24 of the client
// height in portrait; in landscape the wider side does, and the other follows the page's aspect.
TSize DiagramSize(int clientHeight, TSize page, bool landscape);

// The picture's shape in a diagram of size diagram standing for page, at percent (at least one
// pixel each way, so the shape stays visible).
TSize ShapeSize(TSize diagram, TSize page, TSize picture, int percent);

// The whole placement of one print.
struct TPrintPlacement {
  TSize Page; // the printable page in dots
  int Percent = 100;
  TSize Printed; // the picture's size on the page in dots
  TPoint Offset; // its top-left corner on the page in dots
  TRect Rect() const { return Bounds(Offset.X, Offset.Y, Printed.Width, Printed.Height); }
};

TPrintPlacement PlacePicture(TSize picture, TSize page, int percent, TPrintPosition position);

} // namespace kestrel
