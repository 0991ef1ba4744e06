#include "app/view/ViewPainter.h"

#include "app/view/ViewGeometry.h"
#include "imaging/core/Bitmap.h"

#include <QPainter>

namespace kestrel {

QImage BitmapPart(const TBitmap& bitmap, const QRect& source) {
  const QRect inside = source.intersected(QRect(0, 0, bitmap.Width(), bitmap.Height()));
  if (inside.isEmpty()) return {};
  if (bitmap.BitsPerPixel() != 4) return bitmap.Image().copy(inside); // a view: copies the part
  // Four-bit rows have no image format of their own: unpack just the part.
  QImage part(inside.size(), QImage::Format_Indexed8);
  QList<QRgb> colors(16);
  for (int i = 0; i < 16; ++i)
    colors[i] = 0xFF000000u | bitmap.ColorTable().Colors[i];
  part.setColorTable(colors);
  for (int y = 0; y < inside.height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(inside.top() + y);
    uchar* out = part.scanLine(y);
    for (int x = 0; x < inside.width(); ++x)
      out[x] = static_cast<uchar>(PixelRows::GetIndex(row, inside.left() + x, 4));
  }
  return part;
}

QRect PaintVisible(QPainter& painter, const TBitmap& view, int magnification, TPoint position,
                   TSize free) {
  const int m = std::max(magnification, 1);
  const TPaintSpan x = ClipPaintSpan(position.X, view.Width() * m, free.Width, m, view.Width());
  const TPaintSpan y = ClipPaintSpan(position.Y, view.Height() * m, free.Height, m, view.Height());
  if (x.SourceLength <= 0 || y.SourceLength <= 0) return {};
  const QImage part =
      BitmapPart(view, QRect(x.SourceStart, y.SourceStart, x.SourceLength, y.SourceLength));
  const QRect dest(x.DestStart, y.DestStart, x.DestLength, y.DestLength);
  // Without smoothing a whole-number scale repeats each pixel: plain squares.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (m == 1)
    painter.drawImage(dest.topLeft(), part);
  else
    painter.drawImage(dest, part);
  return dest;
}

} // namespace kestrel
