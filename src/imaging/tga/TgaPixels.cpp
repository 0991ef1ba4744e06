#include "imaging/tga/TgaPixels.h"

#include <cstring>

namespace kestrel {

void TTgaPixels::Convert(const uint8_t* from, int count, uint8_t* to) const {
  const size_t n = static_cast<size_t>(count);
  if (fileBytes_ == pictureBytes_) {
    std::memcpy(to, from, n * static_cast<size_t>(fileBytes_));
    return;
  }
  if (pictureBytes_ == 1) { // grey plus alpha
    for (size_t i = 0; i < n; ++i)
      to[i] = from[2 * i];
    return;
  }
  if (fileBytes_ == 4) {
    for (size_t i = 0; i < n; ++i, to += 3, from += 4)
      std::memcpy(to, from, 3);
    return;
  }
  for (size_t i = 0; i < n; ++i, to += 3, from += 2) {
    const unsigned word = from[0] | from[1] << 8;
    to[0] = static_cast<uint8_t>((word & 0x1F) << 3);
    to[1] = static_cast<uint8_t>((word >> 5 & 0x1F) << 3);
    to[2] = static_cast<uint8_t>((word >> 10 & 0x1F) << 3);
  }
}

void TTgaPixels::RepeatLong(const uint8_t* from, int count, uint8_t* to) const {
  uint8_t pixel[3];
  Convert(from, 1, pixel);
  if (pictureBytes_ == 1) {
    std::memset(to, pixel[0], static_cast<size_t>(count));
    return;
  }
  // Eight pixels at a time from a ready pattern.
  constexpr int kPatternPixels = 8;
  uint8_t pattern[3 * kPatternPixels];
  for (int i = 0; i < kPatternPixels; ++i)
    std::memcpy(pattern + 3 * i, pixel, 3);
  for (; count >= kPatternPixels; count -= kPatternPixels, to += sizeof pattern)
    std::memcpy(to, pattern, sizeof pattern);
  std::memcpy(to, pattern, 3 * static_cast<size_t>(count));
}

} // namespace kestrel
