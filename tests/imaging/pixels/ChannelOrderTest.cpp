// Exchanging red and blue in rows of every length (the wide steps and the pixels after them), in
// place and into another row, without touching what lies beyond the row.

#include "imaging/pixels/ChannelOrder.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

TEST(ChannelOrder, SwapsFirstAndThirdBytesOfEveryPixelOnly) {
  for (size_t count = 0; count <= 40; ++count) {
    std::vector<uint8_t> row(count * 3 + 16);
    for (size_t i = 0; i < row.size(); ++i)
      row[i] = static_cast<uint8_t>(i * 11 + 3);
    std::vector<uint8_t> expected = row;
    for (size_t p = 0; p < count; ++p)
      std::swap(expected[3 * p], expected[3 * p + 2]);

    std::vector<uint8_t> copy(row.size(), 0xEE);
    SwapRedAndBlue(row.data(), copy.data(), count);
    for (size_t i = 0; i < copy.size(); ++i)
      ASSERT_EQ(copy[i], i < count * 3 ? expected[i] : 0xEE) << count << " byte " << i;

    SwapRedAndBlue(row.data(), row.data(), count);
    EXPECT_EQ(row, expected) << count;
  }
}

} // namespace
} // namespace kestrel
