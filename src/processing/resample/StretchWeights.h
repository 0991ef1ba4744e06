#pragma once
// The weights of one direction of the filtered stretch: for each destination pixel along a row (or
// down a column), the run of source pixels it is made from and their weights in fixed point.

#include "processing/resample/ResampleFilter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel {

struct TStretchWeights {
  int Taps = 0;      // weights kept per destination pixel: the longest run, rounded up to 4
  int Precision = 0; // fraction bits; the weights of every run add up to exactly 1 << Precision
  std::vector<int> First;       // first source pixel of each run
  std::vector<int> Count;       // source pixels in each run (the rest of its Taps weights are 0)
  std::vector<int16_t> Weights; // Taps weights per destination pixel

  int Size() const { return static_cast<int>(First.size()); }
  const int16_t* Of(int i) const { return Weights.data() + static_cast<size_t>(i) * Taps; }
};

// The weights for stretching sourceSize pixels (at least 1) to destinationSize (at least 2). The
// first and last destination pixels sit on the first and last source pixels. Where a kernel reaches
// past an end of the source, the pixels inside are taken again, mirrored about the first pixel or
// the last edge; pixels that even the mirror cannot reach are left out, and each run's weights are
// scaled to add up to 1, so a flat area keeps its level exactly.
TStretchWeights MakeStretchWeights(int sourceSize, int destinationSize,
                                   const TResampleFilterInfo& filter);

} // namespace kestrel
