#include "imaging/metafile/MetaStyles.h"

namespace kestrel {

QColor ColorOf(TColor color) {
  return QColor::fromRgb(0xFF000000u | PixelColorOf(color & 0xFFFFFF));
}

QPainter::CompositionMode Rop2Mode(int rop2) {
  switch (rop2) {
  case 1:
    return QPainter::RasterOp_ClearDestination;
  case 2:
    return QPainter::RasterOp_NotSourceAndNotDestination;
  case 3:
    return QPainter::RasterOp_NotSourceAndDestination;
  case 4:
    return QPainter::RasterOp_NotSource;
  case 5:
    return QPainter::RasterOp_SourceAndNotDestination;
  case 6:
    return QPainter::RasterOp_NotDestination;
  case 7:
    return QPainter::RasterOp_SourceXorDestination;
  case 8:
    return QPainter::RasterOp_NotSourceOrNotDestination;
  case 9:
    return QPainter::RasterOp_SourceAndDestination;
  case 10:
    return QPainter::RasterOp_NotSourceXorDestination;
  case 12:
    return QPainter::RasterOp_NotSourceOrDestination;
  case 14:
    return QPainter::RasterOp_SourceOrNotDestination;
  case 15:
    return QPainter::RasterOp_SourceOrDestination;
  case 16:
    return QPainter::RasterOp_SetDestination;
  default:
    return QPainter::CompositionMode_SourceOver;
  }
}

// The binary operation of a block copy's raster code (its third byte), as a composition mode.
QPainter::CompositionMode BltMode(uint32_t rop) {
  switch (rop >> 16 & 0xFF) {
  case 0xEE:
    return QPainter::RasterOp_SourceOrDestination;
  case 0x88:
    return QPainter::RasterOp_SourceAndDestination;
  case 0x66:
    return QPainter::RasterOp_SourceXorDestination;
  case 0x44:
    return QPainter::RasterOp_SourceAndNotDestination;
  case 0x33:
    return QPainter::RasterOp_NotSource;
  case 0x11:
    return QPainter::RasterOp_NotSourceAndNotDestination;
  case 0xBB:
    return QPainter::RasterOp_NotSourceOrDestination;
  default:
    return QPainter::CompositionMode_SourceOver;
  }
}

// Raster codes that do not read a source bitmap.
bool PatternOnly(uint32_t rop) {
  switch (rop >> 16 & 0xFF) {
  case 0x00:
  case 0xFF:
  case 0x55:
  case 0x5A:
  case 0xF0:
    return true;
  default:
    return false;
  }
}

Qt::BrushStyle HatchStyle(uint32_t hatch) {
  switch (hatch) {
  case 0:
    return Qt::HorPattern;
  case 1:
    return Qt::VerPattern;
  case 2:
    return Qt::FDiagPattern;
  case 3:
    return Qt::BDiagPattern;
  case 4:
    return Qt::CrossPattern;
  default:
    return Qt::DiagCrossPattern;
  }
}

// Dash patterns of one-pixel pens, in pixels.
QList<qreal> DashPattern(uint32_t style) {
  switch (style) {
  case 1:
    return {18, 6};
  case 2:
    return {3, 3};
  case 3:
    return {9, 6, 3, 6};
  case 4:
    return {9, 3, 3, 3, 3, 3};
  default:
    return {};
  }
}

} // namespace kestrel
