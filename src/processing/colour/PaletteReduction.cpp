#include "processing/colour/PaletteReduction.h"

#include "imaging/core/DefaultPalettes.h"
#include "processing/colour/FixedPalettes.h"
#include "processing/colour/FloydSteinbergDitherer.h"
#include "processing/colour/KernelDitherers.h"

#include <algorithm>

namespace kestrel {

namespace {

bool KnownDitherMode(int ditherMode) {
  return ditherMode >= dmNearest && ditherMode <= dmBurkes;
}

TPalette ModePalette(int mode, int bits, const TPalette& custom, int width, int height,
                     const TBgrRowSource& rows) {
  switch (mode) {
  case rmWindows20:
    return SystemPalette20();
  case rmWindows256:
    return MakeHalftonePalette();
  case rmWindowsGray:
    return MakeWindowsGreyPalette();
  case rmMonochrome:
    return MakeBlackWhitePalette();
  case rmGrayScale:
    return MakeGreyPalette();
  case rmWebCube:
    return MakeWebCubePalette();
  case rmQuantize:
    return OctreePalette(width, height, rows, 1 << std::clamp(bits, 0, 8), 8, false);
  case rmQuantizeWindows:
    return OctreePalette(width, height, rows, 256, 8, true);
  case rmPalette:
    return custom;
  default:
    return {};
  }
}

} // namespace

std::unique_ptr<TColorLookup> CreateColorLookup(int mode, std::span<const TPaletteEntry> palette) {
  switch (mode) {
  case rmMonochrome:
    return std::make_unique<TMonochromeLookup>(palette);
  case rmGrayScale:
    return std::make_unique<TGrayScaleLookup>(palette);
  case rmWebCube:
    return std::make_unique<TNetscapeColorLookup>(palette);
  case rmWindows20:
  case rmWindows256:
  case rmWindowsGray:
  case rmQuantize:
  case rmQuantizeWindows:
  case rmPalette:
    return std::make_unique<TFastColorLookup>(palette);
  default:
    return nullptr;
  }
}

std::unique_ptr<TDitherEngine> CreateDitherer(int ditherMode, int width, TColorLookup& lookup) {
  switch (ditherMode) {
  case dmNearest:
    return std::make_unique<TDitherEngine>(width, lookup);
  case dmFloydSteinberg:
    return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
  case dmStucki:
    return std::make_unique<TStuckiDitherer>(width, lookup);
  case dmSierra:
    return std::make_unique<TSierraDitherer>(width, lookup);
  case dmJaJuNi:
    return std::make_unique<TJaJuNiDitherer>(width, lookup);
  case dmSteveArche:
    return std::make_unique<TSteveArcheDitherer>(width, lookup);
  case dmBurkes:
    return std::make_unique<TBurkesDitherer>(width, lookup);
  default:
    return nullptr;
  }
}

TPaletteReduction::TPaletteReduction(int mode, int ditherMode, int bits, const TPalette& custom,
                                     int width, int height, const TBgrRowSource& rows)
    : height_(std::max(height, 0)) {
  // An unknown dither code gives the empty result whatever the palette; checking it first spares
  // reading the picture for an octree that would be thrown away.
  if (!KnownDitherMode(ditherMode)) return;
  palette_ = ModePalette(mode, bits, custom, width, height_, rows);
  lookup_ = CreateColorLookup(mode, palette_.Entries());
  if (lookup_ && lookup_->ColorCount() > 0) ditherer_ = CreateDitherer(ditherMode, width, *lookup_);
}

TPaletteReduction::~TPaletteReduction() = default;

void TPaletteReduction::Run(const TBgrRowSource& rows, const TIndexRowSink& indices) {
  if (!ditherer_) return;
  for (int y = 0; y < height_; ++y)
    ditherer_->DitherRow(rows(y), indices(y));
}

} // namespace kestrel
