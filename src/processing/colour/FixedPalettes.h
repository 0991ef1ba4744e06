#pragma once
// The fixed palettes of colour reduction, as entry tables.

#include "processing/colour/PaletteEntry.h"

namespace kestrel {

// The system's 20 static colours: the 16 standard colours with four user-interface tints, ten at
// the low end of a 256-colour display palette and ten at the high end.
const TPaletteEntries& SystemDefaultEntries();

// What a 256-colour screen offers for halftoning: the first ten system colours, the 216-colour
// cube, twenty greys between the cube's greys, then the last ten system colours.
const TPaletteEntries& HalftoneEntries();

// Greys: entry i = (i, i, i), 256 entries, no-collapse flag.
const TPaletteEntries& Grey256Entries();

// Black then white, no-collapse flag.
const TPaletteEntries& BlackWhiteEntries();

// The four greys of a plain 16-colour display: 0, 128, 192, 255, no-collapse flag.
const TPaletteEntries& WindowsGreyEntries();

// The 216-colour cube: entry 36r + 6g + b = (51r, 51g, 51b) for r, g, b in 0..5, no flag.
const TPaletteEntries& WebCubeEntries();

} // namespace kestrel
