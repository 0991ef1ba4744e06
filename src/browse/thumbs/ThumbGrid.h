#pragma once
// The gallery's grid: cells of CW x CH in rows filled left to right, as many columns as the view
// is wide. The drawing area is at most 32000 pixels high: past that the rows are capped and the
// columns grow beyond the view's width instead.

#include <string>

namespace kestrel {

constexpr int kMaxGridHeight = 32000;

struct TThumbGrid {
  int Count = 0;
  int CellWidth = 0;
  int CellHeight = 0;
  int Columns = 0;
  int Rows = 0;  // as the status bar shows them: full rows, or the cap
  int Width = 1; // of the drawing area
  int Height = 1;
  bool Empty() const { return Count == 0 || CellWidth < 1 || CellHeight < 1; }
};

// Lays out count cells of cellWidth x cellHeight in a view clientWidth wide.
TThumbGrid LayOutThumbs(int count, int cellWidth, int cellHeight, int clientWidth);

// The index of the cell under (x, y) in the drawing area, or -1.
int ThumbAt(const TThumbGrid& grid, int x, int y);

// The rows and columns that touch a view at (left, top) of width x height, a row either side.
struct TCellRange {
  int FirstRow = 0, LastRow = -1, FirstColumn = 0, LastColumn = -1;
};
TCellRange VisibleCells(const TThumbGrid& grid, int left, int top, int width, int height);

// Blanks before and after a caption textWidth wide so it fills a cell cellWidth wide (what is left
// of it after a 12-pixel margin), the first blank going before; none when a blank has no width.
struct TCaptionPadding {
  int Before = 0, After = 0;
};
TCaptionPadding PadCaption(int textWidth, int blankWidth, int cellWidth);

} // namespace kestrel
