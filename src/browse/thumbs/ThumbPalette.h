#pragma once
// The palettes the gallery offers on displays of 8 bits per pixel or fewer. Every entry carries the
// no-collapse flag.

#include "imaging/core/Palette.h"

namespace kestrel {

// The choices: 236 colours, or greys of that many shades plus one.
constexpr int kThumbPaletteChoices[] = {0, 15, 31, 63, 127, 235};
constexpr int kDefaultThumbPalette = 31;

// A stored choice that is none of the above becomes the default.
int ValidThumbPalette(int choice);

// 0: ten light greys (247 down to 130), the 6 x 6 x 6 cube (red slowest), ten dark greys (117 down
// to 0). n: n + 1 greys from the lightest (entry 0) to black (entry n), in steps of 255 div n.
TPalette MakeThumbPalette(int choice);

} // namespace kestrel
