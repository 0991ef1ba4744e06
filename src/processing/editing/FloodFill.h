#pragma once
// The fill tool's flood fill, straight on a bitmap's rows in any of its pixel formats. Colours are
// compared as the bitmap holds them: two palette entries of the same colour are the same colour,
// a 15- or 16-bit pixel is its packed value, and the fourth byte of a 32-bit pixel is never read.
// The fill spreads to the four neighbours of a pixel (never diagonally), one span of a row at a
// time, so it reads each pixel about twice and writes it once.

#include "imaging/core/Canvas.h"
#include "imaging/core/Color.h"
#include "imaging/core/Types.h"

namespace kestrel {

class TBitmap;

// Fills the region connected to start with fill, in place:
// - fsSurface: the region of the colour start has;
// - fsBorder: the region bounded by pixels of colour border (the whole picture when border is
//   nowhere).
// fill and border are taken as the bitmap would store them (the nearest palette entry, the packed
// 15/16-bit value). Returns the rectangle of the pixels filled; empty when start lies outside the
// picture, lies on the border colour, or the fill would change nothing.
TRect FloodFillBitmap(TBitmap& bitmap, TPoint start, TColor fill, TColor border, TFillStyle style);

} // namespace kestrel
