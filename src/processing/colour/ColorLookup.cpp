#include "processing/colour/ColorLookup.h"

#include <algorithm>
#include <cstdlib>

namespace kestrel {

TFastColorLookup::TFastColorLookup(std::span<const TPaletteEntry> palette)
    : TColorLookup(static_cast<int>(std::min<size_t>(palette.size(), 256))),
      inverse_(65536, kUnset) {
  std::copy_n(palette.begin(), ColorCount(), entries_.begin());
  // Every palette colour finds itself exactly; of two entries sharing a key the lower index wins.
  for (int i = 0; i < ColorCount(); ++i) {
    const TPaletteEntry& e = entries_[i];
    int16_t& slot = inverse_[Key(e.Red, e.Green, e.Blue)];
    if (slot == kUnset) slot = static_cast<int16_t>(i);
  }
}

int TFastColorLookup::Search(uint8_t red, uint8_t green, uint8_t blue, int key) {
  // Sum of absolute channel differences; the first of equal distances wins. An empty palette maps
  // everything to the black entry 0.
  int best = 0;
  int bestDistance = 196608;
  for (int i = 0; i < ColorCount(); ++i) {
    const TPaletteEntry& e = entries_[i];
    int d = std::abs(e.Red - red) + std::abs(e.Green - green) + std::abs(e.Blue - blue);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  inverse_[key] = static_cast<int16_t>(best);
  return best;
}

} // namespace kestrel
