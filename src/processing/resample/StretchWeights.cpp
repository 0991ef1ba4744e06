#include "processing/resample/StretchWeights.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kestrel {

namespace {

// Weights in int16 with sums kept in int32: the precision is as high as both allow, never above
// this (which leaves 255 times a run's absolute weights room in an int32).
constexpr int kMaxPrecision = 22;
constexpr int kTapMultiple = 4;

// The index a kernel position j reads, or -1 when it falls outside even when mirrored.
int Mirrored(long long j, int size) {
  if (j < 0) j = -j;
  if (j >= size) j = 2LL * size - 1 - j;
  return j >= 0 && j < size ? static_cast<int>(j) : -1;
}

struct TRun {
  int First = 0;
  std::vector<double> Weights; // normalised to a sum of 1
};

// The run of destination pixel i, weights summed per source pixel after mirroring. folded is a
// zeroed scratch of size entries, left zeroed.
TRun MakeRun(int i, int size, double scale, const TResampleFilterInfo& filter,
             std::vector<double>& folded) {
  const double centre = i / scale;
  const double radius = scale >= 1.0 ? filter.Support : filter.Support / scale;
  // A strong reduction widens the kernel to cover the source pixels of a destination pixel.
  const bool widened = scale <= 0.55;
  const long long lo = static_cast<long long>(std::floor(centre - radius));
  const long long hi = static_cast<long long>(std::ceil(centre + radius));
  int first = size, last = -1;
  for (long long j = lo; j <= hi; ++j) {
    const double w = widened ? scale * filter.Kernel(i - j * scale) : filter.Kernel(centre - j);
    const int at = Mirrored(j, size);
    if (w == 0.0 || at < 0) continue;
    folded[static_cast<size_t>(at)] += w;
    first = std::min(first, at);
    last = std::max(last, at);
  }
  TRun run;
  double total = 0.0, largest = 0.0;
  for (int j = first; j <= last; ++j) {
    total += folded[static_cast<size_t>(j)];
    largest = std::max(largest, std::fabs(folded[static_cast<size_t>(j)]));
  }
  const auto clear = [&] {
    if (last >= first) std::fill(folded.begin() + first, folded.begin() + last + 1, 0.0);
  };
  // Weights that nearly cancel out have no sound scale: the nearest pixel stands in.
  if (last < first || total < 1e-6 || largest / total > 2.0) {
    run.First = std::clamp(static_cast<int>(std::lround(centre)), 0, size - 1);
    run.Weights = {1.0};
    clear();
    return run;
  }
  run.First = first;
  for (int j = first; j <= last; ++j)
    run.Weights.push_back(folded[static_cast<size_t>(j)] / total);
  clear();
  return run;
}

// The highest precision at which the largest weight, with what rounding may add to it, fits an
// int16, and 255 times a run's absolute weights an int32 with room to spare.
int PrecisionFor(double largest, double absoluteSum, size_t longest) {
  int precision = kMaxPrecision;
  while (precision > 1 &&
         (std::ldexp(largest, precision) + static_cast<double>(longest) > 32767.0 ||
          std::ldexp(absoluteSum * 255.0, precision) > 2147483647.0 / 2))
    --precision;
  return precision;
}

} // namespace

TStretchWeights MakeStretchWeights(int sourceSize, int destinationSize,
                                   const TResampleFilterInfo& filter) {
  const double scale = sourceSize == 1
                           ? static_cast<double>(destinationSize) / sourceSize
                           : static_cast<double>(destinationSize - 1) / (sourceSize - 1);
  std::vector<TRun> runs;
  runs.reserve(static_cast<size_t>(destinationSize));
  double largest = 0.0, absoluteSum = 0.0;
  size_t longest = 1;
  std::vector<double> folded(static_cast<size_t>(sourceSize), 0.0);
  for (int i = 0; i < destinationSize; ++i) {
    runs.push_back(MakeRun(i, sourceSize, scale, filter, folded));
    double sum = 0.0;
    for (double w : runs.back().Weights) {
      largest = std::max(largest, std::fabs(w));
      sum += std::fabs(w);
    }
    absoluteSum = std::max(absoluteSum, sum);
    longest = std::max(longest, runs.back().Weights.size());
  }

  TStretchWeights result;
  result.Precision = PrecisionFor(largest, absoluteSum, longest);
  result.Taps = static_cast<int>((longest + kTapMultiple - 1) / kTapMultiple * kTapMultiple);
  result.Weights.assign(static_cast<size_t>(destinationSize) * result.Taps, 0);
  const long one = 1L << result.Precision;
  for (int i = 0; i < destinationSize; ++i) {
    const TRun& run = runs[static_cast<size_t>(i)];
    int16_t* w = result.Weights.data() + static_cast<size_t>(i) * result.Taps;
    long sum = 0;
    size_t heaviest = 0;
    for (size_t k = 0; k < run.Weights.size(); ++k) {
      w[k] = static_cast<int16_t>(std::lround(std::ldexp(run.Weights[k], result.Precision)));
      sum += w[k];
      if (std::abs(w[k]) > std::abs(w[heaviest])) heaviest = k;
    }
    // Rounding leaves the sum a little off 1; the heaviest weight takes the difference.
    w[heaviest] = static_cast<int16_t>(w[heaviest] + (one - sum));
    result.First.push_back(run.First);
    result.Count.push_back(static_cast<int>(run.Weights.size()));
  }
  return result;
}

} // namespace kestrel
