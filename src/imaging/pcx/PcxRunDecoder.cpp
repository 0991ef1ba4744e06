#include "imaging/pcx/PcxRunDecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kestrel {

namespace {

constexpr uint8_t kCountMark = 0xC0;

// The number of leading bytes of p[0..limit) that are literals (below 0xC0). Eight bytes are
// tested at once: a byte is a count when its bits 7 and 6 are both set.
size_t LiteralSpan(const uint8_t* p, size_t limit) {
  size_t n = 0;
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kTopBits = 0x8080808080808080ull;
    while (n + 8 <= limit) {
      uint64_t word;
      std::memcpy(&word, p + n, sizeof word);
      const uint64_t counts = word & (word << 1) & kTopBits;
      if (counts) return n + static_cast<size_t>(std::countr_zero(counts) >> 3);
      n += 8;
    }
  }
  while (n < limit && p[n] < kCountMark)
    ++n;
  return n;
}

} // namespace

bool TPcxRunDecoder::Decode(uint8_t* out, size_t count) {
  while (count > 0) {
    if (runLeft_ > 0) {
      const size_t n = std::min(runLeft_, count);
      if (out) {
        std::memset(out, runValue_, n);
        out += n;
      }
      runLeft_ -= n;
      count -= n;
      continue;
    }
    if (input_.Available() < 2 && input_.Fill(2) == 0) return false;
    const uint8_t* p = input_.Data();
    const size_t available = input_.Available();
    const size_t literals = LiteralSpan(p, std::min(available, count));
    if (literals > 0) {
      if (out) {
        std::memcpy(out, p, literals);
        out += literals;
      }
      input_.Consume(literals);
      count -= literals;
      continue;
    }
    if (available < 2) return false; // a count with nothing after it
    runLeft_ = p[0] & 0x3F;
    runValue_ = p[1];
    input_.Consume(2);
  }
  return true;
}

} // namespace kestrel
