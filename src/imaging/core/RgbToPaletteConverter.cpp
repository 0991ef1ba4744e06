#include "imaging/core/RgbToPaletteConverter.h"

#include <algorithm>

namespace kestrel {

TRgbToPaletteConverter::TRgbToPaletteConverter(const TDibPalette& palette) : palette_(&palette) {}

void TRgbToPaletteConverter::Reset() {
  std::fill(std::begin(cache_), std::end(cache_), Slot{});
}

int TRgbToPaletteConverter::NearestIndex(TPixelColor value) {
  value &= 0xFFFFFF;
  Slot& slot = cache_[value % kCacheSlots];
  if (slot.Index >= 0 && slot.Value == value) return slot.Index;
  const int b0 = value & 0xFF, b1 = value >> 8 & 0xFF, b2 = value >> 16 & 0xFF;
  const int count = std::min<int>(palette_->Count, TDibPalette::kMaxEntries);
  int best = 0;
  int bestDistance = 0;
  for (int i = 0; i < count; ++i) {
    const auto& e = palette_->Entries[i];
    const int d0 = b0 - e.Blue, d1 = b1 - e.Green, d2 = b2 - e.Red;
    const int d = d0 * d0 + d1 * d1 + d2 * d2;
    if (i == 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
      if (d == 0) break;
    }
  }
  slot = {value, static_cast<int16_t>(best)};
  return best;
}

} // namespace kestrel
