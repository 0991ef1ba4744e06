#include "browse/index/IndexLayout.h"

#include "browse/index/IndexTestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(IndexGeometry, CellSizesFollowThePageBordersSpacingAndLabels) {
  TIndexPageConfig config = test::PlainSpec();
  // (800 - 2 - 2 x 10 x 7) / 7 and (600 - 30 - 20 - 10 - 0 - 2) / 3 - 15 - 10 - 0.
  TIndexGeometry g = IndexGeometryOf(config, 30, 20, 15);
  EXPECT_EQ(g.CellWidth, 94);
  EXPECT_EQ(g.CellHeight, 154);
  config.ThumbBorder = 3; // outside frames take room on every side
  g = IndexGeometryOf(config, 30, 20, 15);
  EXPECT_EQ(g.Border, 3);
  EXPECT_EQ(g.CellWidth, (798 - 2 * 13 * 7) / 7);
  EXPECT_EQ(g.CellHeight, (600 - 30 - 20 - 13 - 2) / 3 - 15 - 13);
  config.ThumbBorder = -3; // inside frames take none
  EXPECT_EQ(IndexGeometryOf(config, 30, 20, 15).CellWidth, 94);
}

TEST(IndexGeometry, NoColumnsOrRowsCountAsOneInsteadOfDividingByZero) {
  TIndexPageConfig config = test::PlainSpec();
  config.Columns = 0;
  config.Rows = 0;
  const TIndexGeometry g = IndexGeometryOf(config, 0, 0, 0);
  EXPECT_EQ(g.CellWidth, 800 - 2 - 20);
  EXPECT_EQ(g.CellHeight, 600 - 10 - 2 - 10);
}

TEST(IndexGeometry, PicturesKeepTheirProportionsAndAreCentredInTheirCell) {
  const TIndexPageConfig config = test::PlainSpec();
  const TIndexGeometry g = IndexGeometryOf(config, 30, 20, 15); // 94 x 154 cells
  // Landscape 3:2: 62 = 94 / 1.5 high, 93 = 62 x 1.5 wide; the third column starts two cell
  // widths and spacings on.
  TRect r = IndexPictureRect(config, g, 300, 200, 2, 0);
  EXPECT_EQ(r.Width(), 93);
  EXPECT_EQ(r.Height(), 62);
  EXPECT_EQ(r.Left, 1 + 10 + 2 * (20 + 94));
  EXPECT_EQ(r.Top, 30 + 1 + 10);
  // A tall picture is held to the cell's height and centred across it.
  r = IndexPictureRect(config, g, 100, 1000, 0, 100);
  EXPECT_EQ(r.Height(), 154);
  EXPECT_EQ(r.Width(), 15);
  EXPECT_EQ(r.Left, 11 + (94 - 15) / 2);
  EXPECT_EQ(r.Top, 100 + 41);
  // No width or no height: laid out square.
  r = IndexPictureRect(config, g, 0, 50, 0, 0);
  EXPECT_EQ(r.Width(), 94);
  EXPECT_EQ(r.Height(), 94);
  EXPECT_EQ(IndexCellBox(config, g, 1, 7), Bounds(11 + 114, 7 + 41, 94, 154));
  EXPECT_EQ(IndexNextRowOffset(config, g, 7, 62), 7 + 62 + 10 + 15);
}

TEST(IndexGeometry, ThumbnailFramesLieOutsideForPositiveAndInsideForNegativeThickness) {
  const TRect picture{10, 20, 50, 60};
  const auto outside = ThumbnailFrames(picture, 3);
  ASSERT_EQ(outside.size(), 3u);
  EXPECT_EQ(outside[0], TRect({7, 17, 53, 63}));
  EXPECT_EQ(outside[2], TRect({9, 19, 51, 61}));
  EXPECT_EQ(FramedRect(picture, 3).Bottom, 63); // the caption moves down by 3
  const auto inside = ThumbnailFrames(picture, -3);
  ASSERT_EQ(inside.size(), 3u);
  EXPECT_EQ(inside[0], picture);
  EXPECT_EQ(inside[2], TRect({12, 22, 48, 58}));
  EXPECT_EQ(FramedRect(picture, -3), picture);
  EXPECT_TRUE(ThumbnailFrames(picture, 0).empty());
}

TEST(IndexGrid, ProposalFollowsThePageProportionsAndHoldsEveryPicture) {
  // sqrt(21 x 4/3) = 5.29: 5 columns, 4 rows, then one more column.
  EXPECT_EQ(ProposeIndexGrid(21, 800, 600), (TIndexGrid{6, 4}));
  EXPECT_EQ(ProposeIndexGrid(1, 800, 600), (TIndexGrid{1, 1}));
  EXPECT_EQ(ProposeIndexGrid(0, 800, 600), (TIndexGrid{0, 0}));
  // Portrait pages grow rows first.
  EXPECT_EQ(ProposeIndexGrid(10, 600, 800), (TIndexGrid{3, 4}));
  // A very tall page proposes no column for one picture (Start then makes it 1 x 1).
  EXPECT_EQ(ProposeIndexGrid(1, 100, 5000), (TIndexGrid{0, 0}));
  EXPECT_FALSE(ProposeIndexGrid(5, 800, 0).has_value());
  EXPECT_FALSE(ProposeIndexGrid(5, 0, 600).has_value());
  for (int n = 1; n <= 60; ++n) {
    const TIndexGrid grid = *ProposeIndexGrid(n, 800, 600);
    EXPECT_GE(grid.Columns * grid.Rows, n) << n;
  }
}

} // namespace
} // namespace kestrel
