#include "processing/resample/SampleRates.h"

namespace kestrel {

TSampleRates ChooseSampleRates(int64_t width, int64_t height, int64_t newWidth, int64_t newHeight,
                               bool quality) {
  const bool wide = width > height;
  const int64_t o = wide ? width : height;
  const int64_t n = wide ? newWidth : newHeight;
  TSampleRates rates{1, 1};
  if (o <= 0) return rates;
  // The smallest whole enlargement that holds the new size (nothing beyond ten times).
  int grow = 0;
  for (int k = 10; k >= 1; --k)
    if (n <= k * o) grow = k;
  if (grow > 0) rates = {grow, grow};
  // The ratio in hundredths; each later test overrides the one before.
  const auto atMost = [&](int64_t percent) { return 100 * n <= percent * o; };
  if (atMost(99)) rates = {2, 2};
  if (atMost(92)) rates = {1, 3};
  if (atMost(80)) rates = {1, 2};
  if (atMost(51)) rates = {1, 1};
  if (100 * n < 49 * o) rates = {1, 2};
  if (!quality) return rates;
  if (grow > 0) rates = {grow + 1, grow + 1};
  if (atMost(99)) rates = {2, 3};
  if (atMost(50)) rates = {1, 3};
  return rates;
}

} // namespace kestrel
