#include "processing/editing/TextStamp.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace kestrel {
namespace {

QString WithoutTrailingBlanks(QString line) {
  while (!line.isEmpty() && line.back().isSpace())
    line.chop(1);
  return line;
}

QColor QColorOfTColor(TColor color) {
  const TColor rgb = ColorToRgb(color);
  return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

} // namespace

TSize TextBlockSize(const QStringList& lines, const QFont& font) {
  const QFontMetrics metrics(font);
  int width = 0;
  for (const QString& line : lines)
    width = std::max(width, metrics.horizontalAdvance(WithoutTrailingBlanks(line)));
  if (width == 0) return {};
  return {width, static_cast<int>(lines.size()) * metrics.height()};
}

TRect WriteTextOnPicture(TBitmap& picture, TPoint topLeft, const QStringList& lines,
                         const TTextStyle& style) {
  QFont font = style.Font;
  // Blended letter edges would stand out as a halo of the box colour when that colour is left out.
  if (style.Transparent) font.setStyleStrategy(QFont::NoAntialias);
  const TSize block = TextBlockSize(lines, font);
  if (block.Width == 0 || block.Height == 0) return {};
  const TRect target =
      IntersectRects({topLeft.X, topLeft.Y, topLeft.X + block.Width, topLeft.Y + block.Height},
                     {0, 0, picture.Width(), picture.Height()});
  if (target.IsEmpty()) return {};

  // The picture under the block, in true colour, with the block drawn on it.
  QImage region(block.Width, block.Height, QImage::Format_RGB32);
  region.fill(Qt::black);
  {
    const QImage under =
        picture.Image().copy(target.Left, target.Top, target.Width(), target.Height());
    QPainter painter(&region);
    painter.drawImage(target.Left - topLeft.X, target.Top - topLeft.Y, under);
  }
  QImage text(block.Width, block.Height, QImage::Format_ARGB32);
  text.fill(QColorOfTColor(style.Background));
  {
    QPainter painter(&text);
    painter.setFont(font);
    painter.setPen(QColorOfTColor(style.Color));
    const QFontMetrics metrics(font);
    for (int i = 0; i < lines.size(); ++i)
      painter.drawText(0, i * metrics.height() + metrics.ascent(), WithoutTrailingBlanks(lines[i]));
  }
  if (style.Transparent) {
    const QRgb key = QColorOfTColor(style.Background).rgb();
    for (int y = 0; y < text.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(text.scanLine(y));
      for (int x = 0; x < text.width(); ++x)
        if (row[x] == key) row[x] = 0;
    }
  }
  {
    QPainter painter(&region);
    painter.drawImage(0, 0, text);
  }
  const TQImageSource source(region);
  const TRect from{target.Left - topLeft.X, target.Top - topLeft.Y, target.Right - topLeft.X,
                   target.Bottom - topLeft.Y};
  picture.Canvas().StretchBlt(target, source, from);
  return target;
}

} // namespace kestrel
