#pragma once
// TRgbToPaletteConverter: nearest palette entry for a packed colour, with a small direct-mapped
// cache, because Pixels writes on palette images search once per pixel.

#include "imaging/core/Color.h"
#include "imaging/core/DibPalette.h"

#include <cstdint>

namespace kestrel {

class TRgbToPaletteConverter {
public:
  static constexpr int kCacheSlots = 1020;

  // The palette is searched, not owned; it must outlive the converter. Entries past Count are
  // never considered. When the palette's entries change, call Reset.
  explicit TRgbToPaletteConverter(const TDibPalette& palette);

  // The index of the entry nearest to value (byte 0 | byte 1 << 8 | byte 2 << 16) by squared
  // distance over the three bytes; the lowest index wins a tie and the search stops at an exact
  // match. 0 for an empty palette. The answer is cached in slot value mod 1020, replacing what
  // was there.
  int NearestIndex(TPixelColor value);

  // Empties every cache slot.
  void Reset();

  const TDibPalette& Palette() const { return *palette_; }

private:
  struct Slot {
    TPixelColor Value = 0;
    int16_t Index = -1;
  };
  const TDibPalette* palette_;
  Slot cache_[kCacheSlots];
};

} // namespace kestrel
