#include "imaging/pcx/PcxRunDecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kestrel {

namespace {

constexpr uint8_t kCountMark = 0xC0;
constexpr uint64_t kTopBits = 0x8080808080808080ull;
constexpr uint64_t kEveryByte = 0x0101010101010101ull;

// The number of leading literals (bytes below 0xC0) among the eight bytes of word, read in
// memory order: a byte is a count when its bits 7 and 6 are both set.
size_t LeadingLiterals(uint64_t word) {
  const uint64_t counts = word & (word << 1) & kTopBits;
  if constexpr (std::endian::native == std::endian::little)
    return counts ? static_cast<size_t>(std::countr_zero(counts)) >> 3 : 8;
  else
    return counts ? static_cast<size_t>(std::countl_zero(counts)) >> 3 : 8;
}

} // namespace

// Stores the run of the count at token (and its value after it) at out, at most room bytes;
// what does not fit is kept for the next call. Returns the bytes stored.
inline size_t TPcxRunDecoder::Run(const uint8_t* token, uint8_t* out, size_t room) {
  size_t run = token[0] & 0x3F;
  const uint8_t value = token[1];
  if (run <= 16 && room >= 16) { // short runs are the common case: two plain stores
    const uint64_t pattern = value * kEveryByte;
    std::memcpy(out, &pattern, sizeof pattern);
    std::memcpy(out + 8, &pattern, sizeof pattern);
    return run;
  }
  if (run > room) {
    runLeft_ = run - room;
    runValue_ = value;
    run = room;
  }
  std::memset(out, value, run);
  return run;
}

bool TPcxRunDecoder::Decode(uint8_t* out, size_t count) {
  if (!out) return Skip(count);
  uint8_t* o = out;
  uint8_t* const end = out + count;
  while (o < end) {
    if (runLeft_ > 0) {
      const size_t n = std::min(runLeft_, static_cast<size_t>(end - o));
      std::memset(o, runValue_, n);
      o += n;
      runLeft_ -= n;
      continue;
    }
    if (input_.Available() < 2 && input_.Fill(2) < 2) {
      // The data end: a last literal is still good, a count without its value is not.
      if (input_.Available() == 0 || *input_.Data() >= kCountMark) return false;
      *o++ = *input_.Data();
      input_.Consume(1);
      continue;
    }
    const uint8_t* const first = input_.Data();
    const uint8_t* p = first;
    const uint8_t* const last = first + input_.Available();
    // Far from both ends, eight literals are copied at once and the count that stops them is
    // taken in the same step.
    while (last - p >= 16 && end - o >= 32) {
      if (*p < kCountMark) {
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        std::memcpy(o, &word, sizeof word);
        const size_t literals = LeadingLiterals(word);
        p += literals;
        o += literals;
        if (literals == 8) continue;
      }
      o += Run(p, o, static_cast<size_t>(end - o));
      p += 2;
    }
    // Near an end, one step at a time; a count always has its value, as two bytes remain.
    while (o < end && last - p >= 2) {
      if (*p < kCountMark) {
        *o++ = *p++;
        continue;
      }
      o += Run(p, o, static_cast<size_t>(end - o));
      p += 2;
    }
    input_.Consume(static_cast<size_t>(p - first));
  }
  return true;
}

bool TPcxRunDecoder::Skip(size_t count) {
  uint8_t scratch[256];
  while (count > 0) {
    const size_t n = std::min(count, sizeof scratch);
    if (!Decode(scratch, n)) return false;
    count -= n;
  }
  return true;
}

} // namespace kestrel
