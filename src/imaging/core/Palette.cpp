#include "imaging/core/Palette.h"

#include "imaging/core/Exceptions.h"

namespace kestrel {

TPalette::TPalette(std::span<const TPaletteEntry> entries) {
  if (entries.size() > kMaxEntries) throw EInvalidGraphic("Invalid palette");
  entries_.assign(entries.begin(), entries.end());
}

TPalette::TPalette(std::initializer_list<TPaletteEntry> entries)
    : TPalette(std::span<const TPaletteEntry>(entries.begin(), entries.size())) {}

TPalette TPalette::Black(int count) {
  TPalette p;
  p.Resize(count);
  return p;
}

void TPalette::Resize(int count) {
  if (count < 0 || count > kMaxEntries) throw EInvalidGraphic("Invalid palette");
  entries_.resize(static_cast<size_t>(count));
}

TColor TPalette::Color(int index) const {
  const auto& e = (*this)[index];
  return RgbColor(e.Red, e.Green, e.Blue);
}

TPixelColor TPalette::PixelColor(int index) const {
  const auto& e = (*this)[index];
  return static_cast<TPixelColor>(e.Red) << 16 | static_cast<TPixelColor>(e.Green) << 8 | e.Blue;
}

void TPalette::SetColor(int index, TColor color, uint8_t flags) {
  (*this)[index] = {RedOf(color), GreenOf(color), BlueOf(color), flags};
}

int TPalette::NearestIndex(TColor color) const {
  int best = -1;
  int bestDistance = 0;
  for (int i = 0; i < Count(); ++i) {
    const auto& e = entries_[static_cast<size_t>(i)];
    const int dr = e.Red - RedOf(color), dg = e.Green - GreenOf(color), db = e.Blue - BlueOf(color);
    const int d = dr * dr + dg * dg + db * db;
    if (best < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
      if (d == 0) break;
    }
  }
  return best;
}

} // namespace kestrel
