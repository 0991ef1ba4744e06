#include "app/main/ToolbarImages.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace kestrel {
namespace {

const QColor kInk(32, 32, 32);
const QColor kBlue(0, 80, 200);

void LocateSelector(QPainter& p) { // a target over a list line
  p.fillRect(1, 7, 14, 3, kBlue);
  p.setPen(kInk);
  p.drawEllipse(4, 4, 8, 8);
  p.drawLine(8, 0, 8, 3);
  p.drawLine(8, 13, 8, 15);
}

void FitWindow(QPainter& p) { // a picture stretched to a frame
  p.setPen(kInk);
  p.drawRect(0, 2, 15, 11);
  p.fillRect(2, 4, 12, 8, kBlue);
}

void FitImage(QPainter& p) { // a frame shrunk round a picture
  p.setPen(kInk);
  p.drawRect(3, 4, 9, 7);
  p.fillRect(4, 5, 8, 6, kBlue);
  p.drawLine(0, 0, 3, 3);
  p.drawLine(15, 0, 12, 3);
  p.drawLine(0, 15, 3, 12);
  p.drawLine(15, 15, 12, 12);
}

void SlideShow(QPainter& p) { // "play"
  p.setPen(kInk);
  p.setBrush(QColor(0, 160, 0));
  p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(13, 8), QPoint(4, 14)}));
}

void Hide(QPainter& p) { // an arrow to the left edge
  p.setPen(kInk);
  p.setBrush(kBlue);
  p.drawPolygon(QPolygon({QPoint(3, 8), QPoint(9, 2), QPoint(9, 5), QPoint(14, 5), QPoint(14, 11),
                          QPoint(9, 11), QPoint(9, 14)}));
  p.drawLine(1, 1, 1, 14);
}

} // namespace

QIcon ToolbarImage(const QString& buttonName) {
  void (*draw)(QPainter&) = nullptr;
  if (buttonName == "FindSelector") draw = LocateSelector;
  if (buttonName == "Toolbutton2") draw = FitWindow;
  if (buttonName == "ToolButton3") draw = FitImage;
  if (buttonName == "ToolButton4") draw = SlideShow;
  if (buttonName == "ToolButton5") draw = Hide;
  if (!draw) return {};
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  draw(painter);
  painter.end();
  return QIcon(pixmap);
}

} // namespace kestrel
