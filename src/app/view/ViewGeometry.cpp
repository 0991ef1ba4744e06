#include "app/view/ViewGeometry.h"

#include "app/view/ImageKind.h"

#include <algorithm>

namespace kestrel {

int MagnificationOf(int scaleIndex) {
  return scaleIndex >= 0 && scaleIndex < kFullScaleIndex ? 16 >> scaleIndex : 1;
}

int ReductionOf(int scaleIndex) {
  return scaleIndex > kFullScaleIndex && scaleIndex < kScaleCount
             ? 1 << (scaleIndex - kFullScaleIndex)
             : 1;
}

int ZoomedScaleIndex(int scaleIndex, TZoomDirection direction, int imageKind) {
  const int next = direction == TZoomDirection::In ? scaleIndex - 1 : scaleIndex + 1;
  if (next < 0 || next >= kScaleCount) return scaleIndex;
  if (NeverReduced(imageKind) && next > kFullScaleIndex) return scaleIndex;
  return next;
}

std::optional<TSize> FitSize(int boxWidth, int boxHeight, int margin, int width, int height) {
  int a = boxWidth - margin;
  int b = boxHeight - margin;
  if (a <= 0 || b <= 0 || width <= 0 || height <= 0) return std::nullopt;
  const double w = width, h = height;
  if (static_cast<double>(a) / b > w / h)
    a = static_cast<int>(b * w / h); // the box is relatively wider
  else
    b = static_cast<int>(a * h / w);
  return TSize{a, b};
}

TSize FitImageClientSize(int pictureWidth, int pictureHeight, const TFitImageLayout& layout) {
  int height = layout.Margin + pictureHeight + 2;
  if (layout.FileViewShown && pictureHeight < kFitImageMinHeight)
    height = layout.Margin + kFitImageMinHeight;
  const int side = layout.FileViewShown ? layout.FileViewWidth : 0;
  return {side + pictureWidth + layout.Margin + 2, height};
}

TPlacement PlaceImage(TSize client, TSize image, int verticalBarWidth, int horizontalBarHeight,
                      bool barsAllowed) {
  TPlacement placement;
  if (barsAllowed) {
    // A bar takes room from the other direction, which may then need its own bar too.
    bool h = image.Width > client.Width;
    bool v = image.Height > client.Height;
    if (h && !v) v = image.Height > client.Height - horizontalBarHeight;
    if (v && !h) h = image.Width > client.Width - verticalBarWidth;
    placement.HorizontalBar = h;
    placement.VerticalBar = v;
  }
  placement.Free = {client.Width - (placement.VerticalBar ? verticalBarWidth : 0),
                    client.Height - (placement.HorizontalBar ? horizontalBarHeight : 0)};
  placement.Offset = {std::max((placement.Free.Width - image.Width) / 2, 0),
                      std::max((placement.Free.Height - image.Height) / 2, 0)};
  return placement;
}

TPaintSpan ClipPaintSpan(int position, int boxSize, int free, int magnification, int source) {
  const int m = std::max(magnification, 1);
  int start = 0;
  int end = boxSize;
  if (free < boxSize) {
    start = std::clamp(-position, 0, boxSize);
    end = std::min(start + std::max(free, 0), boxSize);
  }
  TPaintSpan span;
  span.SourceStart = std::min(start / m, source);
  const int sourceEnd = std::min((end + m - 1) / m, source);
  span.SourceLength = std::max(sourceEnd - span.SourceStart, 0);
  span.DestStart = span.SourceStart * m;
  span.DestLength = span.SourceLength * m;
  return span;
}

} // namespace kestrel
