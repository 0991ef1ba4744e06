// The paint box's colour grid: how many cells each palette type shows and in which colours, the
// shade families with and without "Alt", the cell size, and which cell a point falls on. (The
// window's own tests draw and click the grid.)

#include "processing/paintbox/PaintBoxGrid.h"

#include "imaging/core/DefaultPalettes.h"

#include <gtest/gtest.h>

#include <set>

namespace kestrel {
namespace {

TPaintBoxGrid Grid(int type, bool alt = false, const TPalette& palette = {}) {
  return TPaintBoxGrid(type, alt, palette, 14);
}

std::vector<TColor> Colors(const TPaintBoxGrid& grid) {
  std::vector<TColor> colors;
  for (int n = 0; n <= grid.LastCell(); ++n)
    colors.push_back(grid.CellColor(n));
  return colors;
}

// Every cube type shows as many different colours as its list text names, and the types that
// hide black show it exactly once, at the end.
TEST(PaintBoxGrid, CubeTypesShowTheColoursTheirNamesPromise) {
  const std::vector<std::pair<int, size_t>> named = {{16, 27}, {17, 8},   {18, 22},  {19, 44},
                                                     {20, 64}, {21, 274}, {22, 344}, {23, 820}};
  for (auto [type, count] : named) {
    const TPaintBoxGrid grid = Grid(type);
    const auto colors = Colors(grid);
    EXPECT_EQ(colors.size(), count) << type;
    EXPECT_EQ(std::set<TColor>(colors.begin(), colors.end()).size(), count) << type;
    if (PaletteTypes()[type].StartOffset == 1) {
      EXPECT_EQ(colors.back(), clBlack) << type;
    } else {
      EXPECT_EQ(colors.front(), clBlack) << type;
    }
  }
  // Blue runs fastest, then red.
  EXPECT_EQ(Grid(2).CellColor(1), RgbColor(0, 0, 51));
  EXPECT_EQ(Grid(2).CellColor(6), RgbColor(51, 0, 0));
  // The low-dither cube never holds the values a 16-colour screen would dither.
  for (TColor c : Colors(Grid(16)))
    for (int v : {RedOf(c), GreenOf(c), BlueOf(c)})
      EXPECT_TRUE(v == 0 || v == 128 || v == 255) << v;
}

TEST(PaintBoxGrid, ShadesRunFromTheHueToWhiteOrFromBlackWithAlt) {
  EXPECT_EQ(Grid(4).CellColor(0), RgbColor(255, 0, 0));
  EXPECT_EQ(Grid(4).CellColor(255), RgbColor(255, 255, 255));
  EXPECT_EQ(Grid(4, true).CellColor(0), RgbColor(0, 0, 0));
  EXPECT_EQ(Grid(4, true).CellColor(255), RgbColor(255, 0, 0));
  const TColor hues[] = {RgbColor(0, 255, 0), RgbColor(0, 0, 255), RgbColor(255, 255, 0),
                         RgbColor(255, 0, 255), RgbColor(0, 255, 255)};
  for (int type = 5; type <= 9; ++type) {
    EXPECT_EQ(Grid(type).CellColor(0), hues[type - 5]) << type;
    EXPECT_EQ(Grid(type).CellColor(255), clWhite) << type;
    EXPECT_EQ(Grid(type, true).CellColor(0), clBlack) << type;
    EXPECT_EQ(Grid(type, true).CellColor(255), hues[type - 5]) << type;
  }
  // A two-hue family switches its second hue.
  EXPECT_EQ(Grid(10).CellColor(255), RgbColor(255, 255, 0));
  EXPECT_EQ(Grid(10, true).CellColor(255), RgbColor(255, 0, 255));
  EXPECT_EQ(Grid(24).CellColor(0), RgbColor(255, 128, 0));
  EXPECT_EQ(Grid(24, true).CellColor(254), RgbColor(254, 127, 0));
  EXPECT_EQ(Grid(3).LastCell(), 255);
  EXPECT_TRUE(AltApplies(4) && AltApplies(15) && AltApplies(24));
  EXPECT_FALSE(AltApplies(3) || AltApplies(16) || AltApplies(0));
}

TEST(PaintBoxGrid, CellSizeFollowsSizeTypeAndResolution) {
  EXPECT_EQ(TPaintBoxGrid(1, false, SystemPalette20(), 14).LastCell(), 19);
  EXPECT_EQ(CellSize(0, 0, 120), 11);   // 14 x 0.8
  EXPECT_EQ(CellSize(6, 17, 120), 126); // 28 x 4.5
  EXPECT_EQ(CellSize(3, 18, 96), 71);   // 22 x 4.05 x 0.8 = 71.28
  // A stored size out of range counts as the nearest one.
  EXPECT_EQ(CellSize(9, 2, 96), CellSize(6, 2, 96));
  EXPECT_EQ(PaletteListWidth(1, 96), 110);
}

TEST(PaintBoxGrid, PointsFindTheirCellAndGapsFindNone) {
  const TPaintBoxGrid grid = Grid(17); // 8 cells, 3 to a row
  for (int n = 0; n <= grid.LastCell(); ++n) {
    const TRect r = grid.CellRect(n);
    EXPECT_EQ(grid.CellAt(r.Left, r.Top), n);
    EXPECT_EQ(grid.CellAt(r.Right - 1, r.Bottom - 1), n);
    EXPECT_EQ(grid.CellAt(r.Right, r.Top), -1) << "gap after " << n;
    EXPECT_EQ(grid.CellAt(r.Left, r.Bottom), -1) << "gap below " << n;
  }
  EXPECT_EQ(grid.CellAt(2, 10), -1); // margin
  const TRect last = grid.CellRect(grid.LastCell());
  EXPECT_EQ(grid.CellAt(last.Right + 2, last.Top + 2), -1); // past the last cell
  EXPECT_EQ(grid.CellAt(grid.Extent().Width + 5, 10), -1);  // right of the grid
  EXPECT_EQ(grid.Extent().Width, 3 * 15 + 8);
}

} // namespace
} // namespace kestrel
