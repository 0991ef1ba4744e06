#include "desktop/install/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace kestrel {
namespace {

// A kestrel hovering, seen from below, on a 100 by 100 grid: long pointed wings, a small head,
// a slim body and a long narrow tail.
QPainterPath Bird() {
  QPainterPath path(QPointF(44, 34));
  path.cubicTo(30, 25, 14, 21, 3, 26);
  path.cubicTo(12, 37, 27, 48, 43, 52);
  path.lineTo(45, 61);
  path.lineTo(41, 86);
  path.cubicTo(47, 89, 53, 89, 59, 86);
  path.lineTo(55, 61);
  path.lineTo(57, 52);
  path.cubicTo(73, 48, 88, 37, 97, 26);
  path.cubicTo(86, 21, 70, 25, 56, 34);
  path.closeSubpath();
  QPainterPath head;
  head.addEllipse(QPointF(50, 31), 6, 7.5);
  return path.united(head);
}

} // namespace

QImage AppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 100.0, size / 100.0);
  QLinearGradient sky(0, 0, 0, 100);
  sky.setColorAt(0, QColor(0xCB, 0xE8, 0xFF));
  sky.setColorAt(1, QColor(0x3B, 0x7D, 0xC8));
  painter.setPen(QPen(QColor(0x2A, 0x5C, 0x96), 2));
  painter.setBrush(sky);
  painter.drawRoundedRect(QRectF(2, 2, 96, 96), 18, 18);
  const QPainterPath bird = Bird();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xB8, 0x5C, 0x26));
  painter.drawPath(bird);
  // Dark wing tips and a dark band across the tail's end, as the bird has.
  painter.setClipPath(bird);
  painter.setBrush(QColor(0x3A, 0x1A, 0x08));
  painter.drawPolygon(QPolygonF({{0, 10}, {22, 10}, {11, 50}, {0, 50}}));
  painter.drawPolygon(QPolygonF({{100, 10}, {78, 10}, {89, 50}, {100, 50}}));
  painter.drawRect(QRectF(0, 78, 100, 4));
  painter.setClipping(false);
  painter.setPen(QPen(QColor(0x5A, 0x2A, 0x10), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(bird);
  return image;
}

QIcon AppIconSet() {
  QIcon icon;
  for (const int size : kAppIconSizes)
    icon.addPixmap(QPixmap::fromImage(AppIcon(size)));
  return icon;
}

} // namespace kestrel
