#include "imaging/pixels/ChannelOrder.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define KESTREL_X86_SHUFFLE 1
#endif

namespace kestrel {

namespace {

void SwapBytes(const uint8_t* from, uint8_t* to, size_t count) {
  for (size_t i = 0; i < count; ++i, from += 3, to += 3) {
    const uint8_t first = from[0];
    to[0] = from[2];
    to[1] = from[1];
    to[2] = first;
  }
}

#ifdef KESTREL_X86_SHUFFLE
// Five pixels per 16-byte shuffle; the sixteenth byte written is rewritten by the next step, and
// the last pixels, whose sixteenth byte would pass the row, go one by one.
__attribute__((target("ssse3"))) void SwapShuffled(const uint8_t* from, uint8_t* to, size_t count) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  size_t i = 0;
  for (; i + 6 <= count; i += 5, from += 15, to += 15)
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(to),
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)), order));
  SwapBytes(from, to, count - i);
}

const bool hasShuffle = [] {
  __builtin_cpu_init(); // this runs among the static initializers
  return __builtin_cpu_supports("ssse3") != 0;
}();
#endif

} // namespace

void SwapRedAndBlue(const uint8_t* from, uint8_t* to, size_t count) {
#ifdef KESTREL_X86_SHUFFLE
  if (hasShuffle) return SwapShuffled(from, to, count);
#endif
  SwapBytes(from, to, count);
}

} // namespace kestrel
