#pragma once
// The drawing styles of metafile records in Qt's terms: colours, the raster operations of pens
// and of block copies, hatch patterns and the dash patterns of thin pens.

#include "imaging/core/Color.h"

#include <QColor>
#include <QList>
#include <QPainter>

#include <cstdint>

namespace kestrel {

// A 0x00BBGGRR colour of a record (flag bits of palette colours ignored).
QColor ColorOf(TColor color);
// The composition mode of a pen's binary raster operation (1..16; anything else copies).
QPainter::CompositionMode Rop2Mode(int rop2);
// The composition mode of a block copy's ternary raster code (its source-and-destination part).
QPainter::CompositionMode BltMode(uint32_t rop);
// Raster codes that read no source bitmap (black, white, destination inverted, the pattern).
bool PatternOnly(uint32_t rop);
Qt::BrushStyle HatchStyle(uint32_t hatch);
// Dash lengths in pixels of a thin pen's style; empty for solid lines.
QList<qreal> DashPattern(uint32_t style);

} // namespace kestrel
