#pragma once
// The colour reducers of device bitmaps: ReduceToPalette turns a bitmap of any depth into an 8-bit
// palette bitmap, BuildOctreePalette gives the optimised palette of a bitmap alone.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Palette.h"
#include "processing/colour/PaletteReduction.h"

#include <memory>

namespace kestrel {

// A new bitmap: the source reduced by reduction mode (TReductionMode) and dither mode
// (TDitherMode), 8 bits per pixel with the mode's palette as a 256-entry colour table; for rmNone a
// 24-bit copy. bits gives rmQuantize its 2^bits colours; customPalette is the palette of rmPalette.
// Codes out of range, and a palette without colours, give an empty bitmap. A source of 0 width or
// height with a palette mode raises GIFException "Invalid image dimensions"; errors pass on and
// no partial result is left behind.
std::unique_ptr<TBitmap> ReduceToPalette(const TBitmap& source, int mode, int ditherMode, int bits,
                                         const TPalette& customPalette);

// The octree palette of a bitmap (see OctreePalette): with systemColors 256 entries with the 20
// system colours at both ends, else exactly colors entries.
TPalette BuildOctreePalette(const TBitmap& bitmap, int colors, int colorBits, bool systemColors);

} // namespace kestrel
