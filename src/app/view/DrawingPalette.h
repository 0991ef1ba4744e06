#pragma once
// The palettes the viewer draws pictures with.

#include "imaging/core/Palette.h"

namespace kestrel {

class TGraphic;

// What a picture is drawn with, by what it is.
struct TDrawingPaletteChoice {
  int ImageKind = 0;
  bool Animated = false;    // a GIF of more than one frame
  bool GifPalettes = false; // the GIF class's choice of its own palettes
};
// Metafiles: the 236-colour palette (MakePalette236); icons: the 16 standard colours; a GIF: none
// when animated without palettes of its own, else its palette; anything else its own palette.
TPalette DrawingPalette(const TGraphic& graphic, const TDrawingPaletteChoice& choice);

} // namespace kestrel
