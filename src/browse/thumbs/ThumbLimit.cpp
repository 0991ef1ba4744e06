#include "browse/thumbs/ThumbLimit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace kestrel {
namespace {

// Far above any memory, and 8 x it still fits 64 bits.
constexpr double kLargestBytes = 1e17;

} // namespace

uint64_t ThumbLimitBits(const std::string& megabytes) {
  if (megabytes.empty() || !AcceptableLimitText(megabytes)) return kPresetLimitBits;
  const double value = std::strtod(megabytes.c_str(), nullptr);
  const double bytes = std::min(std::trunc(value * 1000000.0), kLargestBytes);
  if (!(bytes >= 1)) return kPresetLimitBits;
  return static_cast<uint64_t>(bytes) * 8;
}

int ThumbMaximumCount(const std::string& megabytes, int size, int bitsPerPixel) {
  const uint64_t perTile = static_cast<uint64_t>(std::max(size, 1)) *
                           static_cast<uint64_t>(std::max(size, 1)) *
                           static_cast<uint64_t>(std::max(bitsPerPixel, 1));
  return static_cast<int>(std::min<uint64_t>(ThumbLimitBits(megabytes) / perTile, INT_MAX));
}

bool AcceptableLimitText(const std::string& text) {
  int digits = 0, points = 0;
  for (const char c : text) {
    if (c == '.')
      ++points;
    else if (c >= '0' && c <= '9')
      ++digits;
    else
      return false;
  }
  return points <= 1 && (points == 1 || digits <= 3);
}

} // namespace kestrel
