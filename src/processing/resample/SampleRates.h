#pragma once
// The sample rates of the box resampler: how many times each source pixel is repeated across (X)
// and each source row down (Y) on the oversampled grid the destination is averaged from.

#include <cstdint>

namespace kestrel {

struct TSampleRates {
  int X = 1;
  int Y = 3;
  friend bool operator==(const TSampleRates&, const TSampleRates&) = default;
};

constexpr int kMaxXSampleRate = 12;
constexpr int kMaxYSampleRate = 36;

// The rates for resizing a picture of width x height to newWidth x newHeight, for speed or for
// quality. The longer side of the picture decides: an enlargement samples each pixel as many times
// as it grows (once more for quality), so that every destination pixel is reached; a reduction
// takes the rates that average best at its ratio.
TSampleRates ChooseSampleRates(int64_t width, int64_t height, int64_t newWidth, int64_t newHeight,
                               bool quality);

} // namespace kestrel
