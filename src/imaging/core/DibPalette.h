#pragma once
// TDibPalette: the palette record of a device-independent image, laid out like a logical palette
// record (version word, entry count, 256 four-byte entries) whose entries hold the bytes of a
// bitmap colour-table entry: byte 0 blue, byte 1 green, byte 2 red, byte 3 zero. Codecs fill it
// in this order; the same bytes go unchanged into a bitmap's colour table.

#include "imaging/core/Color.h"
#include "imaging/core/Palette.h"

#include <cstdint>

namespace kestrel {

struct TDibPaletteEntry {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Reserved = 0;
  friend bool operator==(const TDibPaletteEntry&, const TDibPaletteEntry&) = default;
};

struct TDibPalette {
  static constexpr uint16_t kVersion = 0x0300;
  static constexpr int kMaxEntries = 256;

  uint16_t Version = 0;
  uint16_t Count = 0; // 1..256 once stored in a picture with a palette
  TDibPaletteEntry Entries[kMaxEntries] = {};

  // The packed colour of an entry: byte 0 | byte 1 << 8 | byte 2 << 16.
  TPixelColor Value(int index) const {
    const auto& e = Entries[index];
    return static_cast<TPixelColor>(e.Red) << 16 | static_cast<TPixelColor>(e.Green) << 8 | e.Blue;
  }
  void SetValue(int index, TPixelColor value) {
    Entries[index] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                      static_cast<uint8_t>(value >> 16), 0};
  }

  // Conversions to and from the palette value type (red, green, blue taken from the entry's
  // bytes 2, 1, 0; flags dropped). Count is clamped to 256.
  TPalette ToPalette() const;
  static TDibPalette FromPalette(const TPalette& palette);

  friend bool operator==(const TDibPalette& a, const TDibPalette& b);
};

static_assert(sizeof(TDibPaletteEntry) == 4);
static_assert(sizeof(TDibPalette) == 4 + 4 * 256);

} // namespace kestrel
