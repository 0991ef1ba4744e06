#pragma once
// Small helpers of the colour tests: palette entries by their channels, and palettes as plain entry
// lists that compare and print in test failures.

#include "imaging/core/Palette.h"

#include <ostream>
#include <vector>

namespace kestrel {

using Entries = std::vector<TPaletteEntry>;

inline TPaletteEntry Rgb(int r, int g, int b) {
  return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

inline Entries Of(const TPalette& palette) {
  return {palette.Entries().begin(), palette.Entries().end()};
}

inline std::ostream& operator<<(std::ostream& out, const TPaletteEntry& e) {
  return out << "(" << int(e.Red) << "," << int(e.Green) << "," << int(e.Blue) << ";"
             << int(e.Flags) << ")";
}

} // namespace kestrel
