#include "processing/resample/Halving.h"

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace kestrel {
namespace {

// The rule on its own: a grid of colours, each halving averaging 2 x 2 blocks channel by channel
// with the remainder dropped.
using TGrid = std::vector<std::vector<std::array<int, 3>>>;

TGrid GridOf(const TBitmap& bitmap) {
  TGrid grid(static_cast<size_t>(bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TPixelColor c = bitmap.PixelColor(x, y);
      grid[y].push_back({int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF)});
    }
  return grid;
}

TGrid Halved(const TGrid& grid) {
  TGrid half(grid.size() / 2);
  for (size_t y = 0; y < half.size(); ++y)
    for (size_t x = 0; x < grid[0].size() / 2; ++x) {
      std::array<int, 3> c{};
      for (int k = 0; k < 3; ++k)
        c[k] = (grid[2 * y][2 * x][k] + grid[2 * y][2 * x + 1][k] + grid[2 * y + 1][2 * x][k] +
                grid[2 * y + 1][2 * x + 1][k]) >>
               2;
      half[y].push_back(c);
    }
  return half;
}

TEST(Reduction, FifteenAtOneToEightGoesThroughSevenAndThreeToOne) {
  const auto picture = test::PatternBitmap(15, 15);
  TBitmap view;
  HalveWhileAbove(*picture, view, 15 / 8);
  EXPECT_EQ(view.Width(), 1);
  EXPECT_EQ(view.Height(), 1);
  const TGrid seven = Halved(GridOf(*picture));
  ASSERT_EQ(seven.size(), 7u);
  const TGrid three = Halved(seven);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(GridOf(view), Halved(three));
  EXPECT_EQ(view.PixelFormat(), pf24bit);
}

TEST(Reduction, TooSmallPicturesAreNotReduced) {
  EXPECT_FALSE(CanReduce(3, 3, 4)); // 3 div 4 is 0
  EXPECT_TRUE(CanReduce(4, 4, 4));
  EXPECT_FALSE(CanReduce(100, 7, 8));
  EXPECT_TRUE(CanReduce(15, 15, 8));
  // A copy already low enough is taken as it is.
  const auto picture = test::PatternBitmap(9, 4);
  TBitmap view;
  HalveWhileAbove(*picture, view, 4);
  EXPECT_EQ(GridOf(view), GridOf(*picture));
}

TEST(Reduction, EachHalvingAveragesBlocksAndDropsTheRemainder) {
  TBitmap picture;
  picture.NewImage(3, 2, pf24bit, {});
  const TPixelColor colors[6] = {0x010203, 0x020304, 0xFFFFFF, 0x020202, 0x020304, 0xFFFFFF};
  for (int i = 0; i < 6; ++i)
    PixelRows::Write(picture.ScanLine(i / 3), 24, i % 3, 1, &colors[i], nullptr);
  TBitmap half;
  HalveBitmap(picture, half);
  ASSERT_EQ(half.Width(), 1); // the odd last column is dropped
  ASSERT_EQ(half.Height(), 1);
  // red (1+2+2+2)/4 = 1, green (2+3+2+3)/4 = 2, blue (3+4+2+4)/4 = 3
  EXPECT_EQ(half.PixelColor(0, 0), 0x010203u);
}

TEST(Reduction, ChainsEqualHalvingLevelByLevelForOddSizesAndEveryDepth) {
  const auto picture = test::PatternBitmap(203, 117);
  TGrid expected = GridOf(*picture);
  for (int target : {117 / 2, 117 / 4, 117 / 8}) {
    expected = Halved(expected);
    TBitmap view;
    HalveWhileAbove(*picture, view, target);
    EXPECT_EQ(GridOf(view), expected) << target;
  }
  // A palette picture is halved from its colours.
  const auto indexed = test::IndexedBitmap(40, 30, 7);
  TBitmap view;
  HalveWhileAbove(*indexed, view, 30 / 4);
  EXPECT_EQ(GridOf(view), Halved(Halved(GridOf(*indexed))));
}

} // namespace
} // namespace kestrel
