#include "imaging/core/Color.h"

#include <atomic>

namespace kestrel {

namespace {

// A plain light theme, used until the platform layer installs the desktop's own colours.
constexpr TColor kDefaultSystemColors[kSystemColorCount] = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
    0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
    0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF};

std::atomic<TSystemColorResolver> resolver{nullptr};

} // namespace

TColor ColorToRgb(TColor color) {
  if (color >= 0) return color & 0xFFFFFF;
  const int index = color & 0xFF;
  if (index >= kSystemColorCount) return clBlack;
  if (auto r = resolver.load()) return r(index) & 0xFFFFFF;
  return kDefaultSystemColors[index];
}

void SetSystemColorResolver(TSystemColorResolver r) {
  resolver.store(r);
}

} // namespace kestrel
