#pragma once
// Fixed palettes: the five default palettes of the image formats (what NewImage uses when a codec
// gives none) and the system's static colours.

#include "imaging/core/DibPalette.h"
#include "imaging/core/ImageFormat.h"
#include "imaging/core/Palette.h"

namespace kestrel {

// The default palette of a palette format (version 0x0300):
// - ifBlackWhite: black, white;
// - ifGray16: entry i has all three bytes i * 17; ifGray256: all three bytes i;
// - ifColor16: the 16-colour table; ifColor256: the 256-colour table (entries 0..15 the 16-colour
//   table, 16..31 a grey ramp, 32..247 nine runs of a 24-hue colour wheel at three intensities and
//   three saturations, 248..255 black).
// nullptr for ifTrueColor and for values that are no format. Built once, never freed.
const TDibPalette* DefaultDibPalette(TImageFormat format);

// The 20 static colours of the system default palette (the first ten and the last ten entries of
// a 256-colour system palette).
const TPalette& SystemPalette20();
// The 16 standard colours: system colours 0..6, 12, 7, 13..19 (dark grey before light grey).
const TPalette& SystemPalette16();
// Black and white.
const TPalette& BlackWhitePalette();

} // namespace kestrel
