#pragma once
// Reduction of a true-colour picture, given as rows, to palette indices: the choice of palette,
// lookup and ditherer by their codes, and the walk over the rows.

#include "processing/colour/DitherEngine.h"
#include "processing/colour/OctreePalette.h"

#include <functional>
#include <memory>
#include <span>

namespace kestrel {

// Reduction modes; the codes are stored in GIF frame settings.
enum TReductionMode : int {
  rmNone = 0,            // no reduction: a 24-bit copy
  rmWindows20 = 1,       // the 20 system colours
  rmWindows256 = 2,      // the screen's halftone palette
  rmWindowsGray = 3,     // 4 greys
  rmMonochrome = 4,      // black and white
  rmGrayScale = 5,       // 256 greys
  rmWebCube = 6,         // the 216-colour cube
  rmQuantize = 7,        // octree palette of 2^bits colours
  rmQuantizeWindows = 8, // octree palette of 236 colours with the 20 system colours
  rmPalette = 9,         // the caller's palette
};

enum TDitherMode : int {
  dmNearest = 0,
  dmFloydSteinberg = 1,
  dmStucki = 2,
  dmSierra = 3,
  dmJaJuNi = 4,
  dmSteveArche = 5,
  dmBurkes = 6,
};

// The lookup a reduction mode uses over its palette; nullptr for rmNone and unknown codes.
std::unique_ptr<TColorLookup> CreateColorLookup(int mode, std::span<const TPaletteEntry> palette);
// The ditherer of a dither mode; nullptr for unknown codes.
std::unique_ptr<TDitherEngine> CreateDitherer(int ditherMode, int width, TColorLookup& lookup);

// Hands out row y of the 8-bit result to be filled (width indices).
using TIndexRowSink = std::function<uint8_t*(int y)>;

class TPaletteReduction {
public:
  // Chooses the palette (reading the picture for the octree modes), the lookup and the ditherer.
  // bits: the octree colours of rmQuantize are 2^bits (bits taken in 0..8); custom: the palette of
  // rmPalette.
  TPaletteReduction(int mode, int ditherMode, int bits, const TPalette& custom, int width,
                    int height, const TBgrRowSource& rows);
  ~TPaletteReduction();

  // True when there is nothing to reduce to: mode rmNone, a mode or dither code out of range, or a
  // palette without colours. The reducing caller then gives the empty result.
  bool Empty() const { return !ditherer_; }
  const TPalette& Palette() const { return palette_; }
  // Maps every row, top to bottom, through the ditherer's serpentine walk.
  void Run(const TBgrRowSource& rows, const TIndexRowSink& indices);

private:
  int height_;
  TPalette palette_;
  std::unique_ptr<TColorLookup> lookup_;
  std::unique_ptr<TDitherEngine> ditherer_;
};

} // namespace kestrel
