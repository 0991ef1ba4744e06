#pragma once
// The palettes of the fixed reduction modes. Each maker returns a palette of its own (what a new
// palette handle is here). The system's 20 static colours are SystemPalette20() of the image model.

#include "imaging/core/Palette.h"

namespace kestrel {

// What a 256-colour screen offers for halftoning: the first ten system colours, the 216-colour
// cube, twenty greys between the cube's greys, then the last ten system colours.
TPalette MakeHalftonePalette();

// The 236-colour palette of metafiles, animated GIFs and the "web" save choices: the first ten
// system colours, the 216-colour cube (red slowest, blue fastest), then the last ten.
TPalette MakePalette236();

// The 20 system colours followed by 236 black entries: the default palette of a 256-colour
// bitmap.
TPalette MakeDefaultPalette256();

// Greys: entry i = (i, i, i), 256 entries, no-collapse flag.
TPalette MakeGreyPalette();

// Black then white, no-collapse flag.
TPalette MakeBlackWhitePalette();

// The four greys of a plain 16-colour display: 0, 128, 192, 255, no-collapse flag.
TPalette MakeWindowsGreyPalette();

// The 216-colour cube: entry 36r + 6g + b = (51r, 51g, 51b) for r, g, b in 0..5, no flag.
TPalette MakeWebCubePalette();

} // namespace kestrel
