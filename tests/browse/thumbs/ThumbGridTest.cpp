// The gallery's grid: columns from the view's width, the 32000-pixel cap on its height, hits, the
// visible range, and caption padding that always ends.

#include "browse/thumbs/ThumbGrid.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ThumbGrid, FillsRowsToTheViewWidthWithAPartialLastRow) {
  const TThumbGrid ten = LayOutThumbs(10, 100, 120, 530);
  EXPECT_EQ(ten.Columns, 5);
  EXPECT_EQ(ten.Rows, 2);
  EXPECT_EQ(ten.Width, 500);
  EXPECT_EQ(ten.Height, 240);
  const TThumbGrid eleven = LayOutThumbs(11, 100, 120, 530);
  EXPECT_EQ(eleven.Rows, 2);
  EXPECT_EQ(eleven.Height, 360);
  EXPECT_EQ(LayOutThumbs(3, 100, 120, 50).Columns, 1); // narrower than a cell
  EXPECT_TRUE(LayOutThumbs(0, 100, 120, 500).Empty());
  EXPECT_EQ(LayOutThumbs(0, 100, 120, 500).Height, 1);
}

TEST(ThumbGrid, AThousandLargeTilesCapTheRowsAndWidenTheGrid) {
  const int cellHeight = 233; // S = 200 and a caption 13 pixels high
  const TThumbGrid grid = LayOutThumbs(1000, 220, cellHeight, 600);
  EXPECT_EQ(grid.Rows, 32000 / cellHeight);
  EXPECT_GT(grid.Columns, 600 / 220);
  EXPECT_LE(grid.Height, kMaxGridHeight);
  // Every tile still has its cell inside the drawing area.
  for (int index : {0, 7, 500, 999}) {
    const int x = index % grid.Columns * 220 + 5, y = index / grid.Columns * cellHeight + 5;
    EXPECT_LT(y, grid.Height);
    EXPECT_LT(x, grid.Width);
    EXPECT_EQ(ThumbAt(grid, x, y), index);
  }
}

TEST(ThumbGrid, HitsAndVisibleCellsStayInsideTheGrid) {
  const TThumbGrid grid = LayOutThumbs(11, 100, 120, 530);
  EXPECT_EQ(ThumbAt(grid, 150, 130), 6);
  EXPECT_EQ(ThumbAt(grid, 150, 250), -1); // row 2 holds only index 10
  EXPECT_EQ(ThumbAt(grid, 510, 10), -1);  // right of the last column
  EXPECT_EQ(ThumbAt(grid, -1, 10), -1);
  const TCellRange range = VisibleCells(grid, 0, 130, 250, 100);
  EXPECT_EQ(range.FirstRow, 0);
  EXPECT_EQ(range.LastRow, 2);
  EXPECT_EQ(range.FirstColumn, 0);
  EXPECT_EQ(range.LastColumn, 2);
  const TCellRange beyond = VisibleCells(grid, 0, 5000, 250, 100);
  EXPECT_EQ(beyond.FirstRow, 2);
  EXPECT_EQ(beyond.LastRow, 2);
}

TEST(ThumbGrid, CaptionPaddingFillsTheCellAndEndsForBlanksWithoutWidth) {
  // 100 wide less 12 leaves 88; a name of 40 and blanks of 4: twelve blanks, the first before.
  const TCaptionPadding pad = PadCaption(40, 4, 100);
  EXPECT_EQ(pad.Before + pad.After, 12);
  EXPECT_EQ(pad.Before, 6);
  const TCaptionPadding odd = PadCaption(41, 4, 100);
  EXPECT_EQ(odd.Before + odd.After, 12);
  const TCaptionPadding uneven = PadCaption(39, 4, 100); // thirteen: the odd one goes before
  EXPECT_EQ(uneven.Before, 7);
  EXPECT_EQ(uneven.After, 6);
  EXPECT_EQ(PadCaption(95, 4, 100).Before, 0); // already too wide
  const TCaptionPadding none = PadCaption(10, 0, 100);
  EXPECT_EQ(none.Before + none.After, 0);
}

} // namespace
} // namespace kestrel
