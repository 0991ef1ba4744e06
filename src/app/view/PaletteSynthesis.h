#pragma once
// Palette synthesis: on a screen of 8 bits per pixel or fewer a true-colour device bitmap without
// a palette gets one made from its own colours, or, when pixels are to be preserved as the screen
// shows them, is reduced to 8 bits with that palette (octree colours, Floyd-Steinberg dithering).

#include <QString>

namespace kestrel {

class TGraphic;

struct TSynthesis {
  bool Synthesized = false; // the bitmap got a palette made here
  QString Error;            // why making it failed
};

// Whether the graphic is one synthesis applies to on a screen of screenDepth bits.
bool NeedsSynthesizedPalette(const TGraphic& graphic, int screenDepth);
// Does the synthesis when it applies; the graphic is left as it was on failure.
TSynthesis SynthesizePalette(TGraphic& graphic, int screenDepth, bool preservePixels);

} // namespace kestrel
