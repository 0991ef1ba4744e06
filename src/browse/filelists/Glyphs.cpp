#include "browse/filelists/Glyphs.h"

#include <QPainter>
#include <QPolygon>

#include <map>

namespace kestrel {
namespace {

const QColor kKey(255, 0, 255); // never used inside a glyph
const QColor kOutline(48, 48, 48);
const QColor kFolderFront(255, 216, 96);
const QColor kFolderBack(214, 164, 40);
const QColor kFolderLine(128, 88, 0);

void Box(QPainter& p, int x, int y, int w, int h, const QColor& fill, const QColor& line) {
  p.setPen(line);
  p.setBrush(fill);
  p.drawRect(x, y, w - 1, h - 1);
}

void Dot(QPainter& p, int x, int y, int w, int h, const QColor& colour) {
  p.fillRect(x, y, w, h, colour);
}

void DriveBody(QPainter& p, int top) {
  Box(p, 1, top, 14, 7, QColor(192, 192, 192), kOutline);
  Dot(p, 2, top + 4, 12, 1, QColor(128, 128, 128));
  Dot(p, 11, top + 2, 2, 1, QColor(0, 200, 0));
}

void DrawHard(QPainter& p) {
  DriveBody(p, 5);
}

void DrawNetwork(QPainter& p) {
  DriveBody(p, 2);
  Dot(p, 7, 9, 2, 4, kOutline);
  Dot(p, 2, 13, 12, 2, QColor(0, 64, 160));
}

void DrawFloppy(QPainter& p) { // a removable stick
  Box(p, 1, 5, 11, 7, QColor(40, 80, 160), kOutline);
  Box(p, 11, 6, 4, 5, QColor(208, 208, 208), kOutline);
  Dot(p, 3, 7, 6, 3, QColor(240, 240, 240));
  Dot(p, 12, 8, 2, 1, kOutline);
}

void DrawCDRom(QPainter& p) {
  p.setPen(kOutline);
  p.setBrush(QColor(200, 200, 216));
  p.drawEllipse(1, 1, 13, 13);
  p.setBrush(QColor(150, 190, 230));
  p.drawEllipse(4, 4, 7, 7);
  p.setBrush(Qt::white);
  p.drawEllipse(6, 6, 3, 3);
}

void DrawRam(QPainter& p) {
  for (int x = 2; x < 14; x += 2) {
    Dot(p, x, 3, 1, 2, QColor(200, 160, 0));
    Dot(p, x, 11, 1, 2, QColor(200, 160, 0));
  }
  Box(p, 1, 5, 14, 6, QColor(0, 128, 0), kOutline);
  Dot(p, 3, 7, 3, 2, kOutline);
  Dot(p, 7, 7, 3, 2, kOutline);
  Dot(p, 11, 7, 2, 2, kOutline);
}

void FolderBack(QPainter& p) {
  Box(p, 1, 2, 6, 3, kFolderBack, kFolderLine);
  Box(p, 1, 4, 14, 10, kFolderBack, kFolderLine);
}

void DrawClosedFolder(QPainter& p) {
  FolderBack(p);
  Box(p, 1, 5, 14, 9, kFolderFront, kFolderLine);
}

void OpenFront(QPainter& p, const QColor& fill) {
  p.setPen(kFolderLine);
  p.setBrush(fill);
  p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
}

void DrawOpenFolder(QPainter& p) {
  FolderBack(p);
  OpenFront(p, kFolderFront);
}

void DrawCurrentFolder(QPainter& p) {
  FolderBack(p);
  OpenFront(p, QColor(255, 240, 160));
  Dot(p, 11, 1, 4, 4, QColor(0, 96, 224)); // the marker of "you are here"
}

void DrawExecutable(QPainter& p) {
  Box(p, 1, 2, 14, 12, Qt::white, kOutline);
  Dot(p, 2, 3, 12, 2, QColor(0, 0, 128));
  Dot(p, 12, 3, 1, 1, Qt::white);
  Dot(p, 3, 7, 5, 1, QColor(160, 160, 160));
  Dot(p, 3, 9, 8, 1, QColor(160, 160, 160));
}

void DrawUnknownFile(QPainter& p) {
  p.setPen(kOutline);
  p.setBrush(Qt::white);
  p.drawPolygon(
      QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
  p.setBrush(QColor(176, 176, 176));
  p.drawPolygon(QPolygon({QPoint(10, 1), QPoint(10, 4), QPoint(13, 4)}));
  for (int y = 6; y <= 12; y += 2)
    Dot(p, 5, y, 6, 1, QColor(160, 160, 160));
}

void Paint(TGlyph glyph, QPainter& p) {
  switch (glyph) {
  case TGlyph::Floppy:
    return DrawFloppy(p);
  case TGlyph::Hard:
    return DrawHard(p);
  case TGlyph::Network:
    return DrawNetwork(p);
  case TGlyph::CDRom:
    return DrawCDRom(p);
  case TGlyph::Ram:
    return DrawRam(p);
  case TGlyph::OpenFolder:
    return DrawOpenFolder(p);
  case TGlyph::ClosedFolder:
    return DrawClosedFolder(p);
  case TGlyph::CurrentFolder:
    return DrawCurrentFolder(p);
  case TGlyph::Executable:
    return DrawExecutable(p);
  case TGlyph::UnknownFile:
    return DrawUnknownFile(p);
  case TGlyph::None:
    return;
  }
}

// Every pixel of the bottom-left pixel's colour becomes transparent.
QImage TransparentByBottomLeft(const QImage& image) {
  QImage result = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = result.pixel(0, result.height() - 1);
  for (int y = 0; y < result.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
    for (int x = 0; x < result.width(); ++x)
      if (line[x] == key) line[x] = 0;
  }
  return result;
}

} // namespace

QImage GlyphImage(TGlyph glyph) {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(kKey);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false); // no blending into the key colour
  Paint(glyph, painter);
  return image;
}

const QPixmap& GlyphPixmap(TGlyph glyph) {
  // Kept for the life of the process: pixmaps must not outlive the application object's end.
  static auto& made = *new std::map<TGlyph, QPixmap>;
  auto it = made.find(glyph);
  if (it == made.end()) {
    const QPixmap pixmap = glyph == TGlyph::None
                               ? QPixmap()
                               : QPixmap::fromImage(TransparentByBottomLeft(GlyphImage(glyph)));
    it = made.emplace(glyph, pixmap).first;
  }
  return it->second;
}

} // namespace kestrel
