#include "processing/editing/ToolDrawing.h"

#include "imaging/core/Bitmap.h"

#include <algorithm>
#include <cstring>

namespace kestrel {
namespace {

TRect Inflate(const TRect& r, int by) {
  return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

TRect ClipTo(const TRect& r, int width, int height) {
  const TRect clipped = IntersectRects(r, {0, 0, width, height});
  return clipped.IsEmpty() ? TRect{} : clipped;
}

void SetPen(TCanvas& canvas, TColor color, int width) {
  canvas.Pen.Color = color;
  canvas.Pen.Width = std::max(width, 1);
  canvas.Pen.Style = psSolid;
  canvas.Pen.Mode = pmCopy;
}

// Copies count pixels of row sy from x0 of source into row dy of dest at x0 (same format).
void CopyRowPixels(TBitmap& dest, int dy, const TBitmap& source, int sy, int x0, int dx0,
                   int count) {
  const int bits = source.BitsPerPixel();
  const uint8_t* from = source.ScanLine(sy);
  uint8_t* to = dest.ScanLine(dy);
  if (bits >= 8) {
    const size_t bytes = static_cast<size_t>(bits == 15 ? 16 : bits) / 8;
    std::memcpy(to + bytes * static_cast<size_t>(dx0), from + bytes * static_cast<size_t>(x0),
                bytes * static_cast<size_t>(count));
    return;
  }
  for (int i = 0; i < count; ++i)
    PixelRows::SetIndex(to, dx0 + i, bits, PixelRows::GetIndex(from, x0 + i, bits));
}

} // namespace

TRect DrawToolShape(TCanvas& canvas, TEditTool tool, const TCorners& corners, TColor color,
                    int width) {
  const TCorners n = NormalizedCorners(corners);
  if (tool == TEditTool::Line)
    return DrawPenSegment(canvas, {corners.Left, corners.Top}, {corners.Right, corners.Bottom},
                          color, width);
  SetPen(canvas, color, width);
  canvas.Brush.Style = bsClear;
  switch (tool) {
  case TEditTool::Rectangle:
    canvas.Rectangle(n.Left, n.Top, n.Right + 1, n.Bottom + 1);
    break;
  case TEditTool::Ellipse:
    canvas.Ellipse(n.Left, n.Top, n.Right + 1, n.Bottom + 1);
    break;
  default:
    canvas.Brush.Style = bsSolid;
    return {};
  }
  canvas.Brush.Style = bsSolid;
  return ClipTo(Inflate({n.Left, n.Top, n.Right + 1, n.Bottom + 1}, width / 2 + 2), canvas.Width(),
                canvas.Height());
}

TRect DrawPenSegment(TCanvas& canvas, TPoint from, TPoint to, TColor color, int width) {
  SetPen(canvas, color, width);
  canvas.MoveTo(from.X, from.Y);
  canvas.LineTo(to.X, to.Y);
  // A thin line leaves out its last pixel; a wide one ends in a round cap over it.
  if (width <= 1) canvas.SetPixel(to.X, to.Y, color);
  const TRect span{std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X) + 1,
                   std::max(from.Y, to.Y) + 1};
  return ClipTo(Inflate(span, width / 2 + 2), canvas.Width(), canvas.Height());
}

TRect RestoreArea(TBitmap& dest, const TBitmap& source, const TRect& area) {
  if (dest.PixelFormat() != source.PixelFormat()) return {};
  const TRect clipped =
      ClipTo(ClipTo(area, dest.Width(), dest.Height()), source.Width(), source.Height());
  if (clipped.IsEmpty()) return {};
  for (int y = clipped.Top; y < clipped.Bottom; ++y)
    CopyRowPixels(dest, y, source, y, clipped.Left, clipped.Left, clipped.Width());
  return clipped;
}

TRect EraseSquare(TBitmap& overlay, const TBitmap& picture, TPoint p, int half) {
  const int h = std::max(half, 0);
  const TRect area = RestoreArea(overlay, picture, {p.X - h, p.Y - h, p.X + h + 1, p.Y + h + 1});
  if (!area.IsEmpty()) overlay.Canvas().Surface().SurfaceChanged();
  return area;
}

void CutOut(TBitmap& dest, const TBitmap& source, const TRect& area) {
  const TRect clipped = ClipTo(area, source.Width(), source.Height());
  if (clipped.IsEmpty()) return;
  TBitmap cut;
  cut.NewImage(clipped.Width(), clipped.Height(), source.PixelFormat(), source.OwnPalette());
  cut.SetIgnorePalette(source.IgnorePalette());
  for (int y = clipped.Top; y < clipped.Bottom; ++y)
    CopyRowPixels(cut, y - clipped.Top, source, y, clipped.Left, 0, clipped.Width());
  dest.Assign(&cut);
}

} // namespace kestrel
