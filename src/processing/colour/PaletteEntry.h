#pragma once
// One palette colour as the palette makers and reducers pass it around: red, green, blue and the
// entry's flags byte.

#include <cstdint>
#include <vector>

namespace kestrel {

struct TPaletteEntry {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t flags = 0;

  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

// Flag of entries that must keep a slot of their own in the display's palette.
constexpr uint8_t kPaletteNoCollapse = 4;

using TPaletteEntries = std::vector<TPaletteEntry>;

} // namespace kestrel
