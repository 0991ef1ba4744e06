#include "processing/resample/Halving.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace kestrel {
namespace {

// One halved row from two rows of 24-bit pixels: the vertical sums of whole rows first (which
// the compiler vectorises), then the horizontal pairs of those sums.
void HalveRows(const uint8_t* __restrict upper, const uint8_t* __restrict lower, int width,
               uint16_t* __restrict sums, uint8_t* __restrict out) {
  const size_t bytes = static_cast<size_t>(width) * 6;
  for (size_t i = 0; i < bytes; ++i)
    sums[i] = static_cast<uint16_t>(upper[i] + lower[i]);
  const uint16_t* pair = sums;
  for (int x = 0; x < width; ++x, out += 3, pair += 6) {
    out[0] = static_cast<uint8_t>((pair[0] + pair[3]) >> 2);
    out[1] = static_cast<uint8_t>((pair[1] + pair[4]) >> 2);
    out[2] = static_cast<uint8_t>((pair[2] + pair[5]) >> 2);
  }
}

// The rows of a picture halved several times, made one at a time: each row of a level comes
// from two rows of the level above, so the levels between the picture and the result never exist
// whole, only two rows of each. The pixels are those of halving the whole picture level by level.
class THalvingChain {
public:
  THalvingChain(const TBitmap& source, int levels) : source_(source), rows_(levels + 1) {
    for (int level = 1; level <= levels; ++level)
      for (auto& row : rows_[level])
        row.resize(static_cast<size_t>(source.Width() >> level) * 3);
    sums_.resize(static_cast<size_t>(source.Width()) * 3);
  }

  // Row r of level (0: the picture).
  const uint8_t* Row(int level, int r) {
    if (level == 0) return source_.ScanLine(r);
    const uint8_t* upper = Row(level - 1, 2 * r);
    const uint8_t* lower = Row(level - 1, 2 * r + 1);
    uint8_t* out = rows_[level][r & 1].data();
    HalveRows(upper, lower, source_.Width() >> level, sums_.data(), out);
    return out;
  }

private:
  const TBitmap& source_;
  std::vector<std::array<std::vector<uint8_t>, 2>> rows_;
  std::vector<uint16_t> sums_;
};

// How many halvings the height needs to reach height or less; each starts from a picture of at
// least 2 x 2.
int HalvingsAbove(int width, int height, int target) {
  int levels = 0;
  while (height > target && width >= 2 && height >= 2) {
    width /= 2;
    height /= 2;
    ++levels;
  }
  return levels;
}

void Halve(const TBitmap& source, TBitmap& target, int levels) {
  const int width = source.Width() >> levels;
  const int height = source.Height() >> levels;
  target.NewImage(width, height, pf24bit, {});
  THalvingChain chain(source, levels);
  const size_t bytes = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = chain.Row(levels, y);
    std::copy(row, row + bytes, target.ScanLine(y));
  }
}

} // namespace

bool CanReduce(int width, int height, int reduction) {
  return reduction > 0 && width / reduction >= 1 && height / reduction >= 1;
}

void HalveBitmap(const TBitmap& source, TBitmap& target) {
  Halve(source, target, 1);
}

void HalveWhileAbove(const TBitmap& source, TBitmap& target, int height) {
  const int levels = HalvingsAbove(source.Width(), source.Height(), height);
  if (levels == 0) {
    target.Assign(&source);
    return;
  }
  if (source.PixelFormat() != pf24bit) {
    TBitmap deep;
    deep.Assign(&source);
    deep.SetPixelFormat(pf24bit);
    Halve(deep, target, levels);
    return;
  }
  Halve(source, target, levels);
}

} // namespace kestrel
