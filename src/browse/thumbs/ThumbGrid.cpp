#include "browse/thumbs/ThumbGrid.h"

#include <algorithm>

namespace kestrel {

TThumbGrid LayOutThumbs(int count, int cellWidth, int cellHeight, int clientWidth) {
  TThumbGrid grid;
  grid.Count = count;
  grid.CellWidth = cellWidth;
  grid.CellHeight = cellHeight;
  if (grid.Empty()) return grid;
  grid.Columns = std::max(1, clientWidth / cellWidth);
  grid.Rows = count / grid.Columns;
  const int mostRows = std::max(1, kMaxGridHeight / cellHeight);
  const bool capped = grid.Rows >= mostRows;
  if (capped) {
    grid.Rows = mostRows;
    grid.Columns = count / grid.Rows + 1;
  }
  const int rowsShown = count / grid.Columns + (count % grid.Columns != 0 || capped ? 1 : 0);
  grid.Width = grid.Columns * cellWidth;
  grid.Height = rowsShown * cellHeight;
  return grid;
}

int ThumbAt(const TThumbGrid& grid, int x, int y) {
  if (grid.Empty() || x < 0 || y < 0) return -1;
  const int column = x / grid.CellWidth, row = y / grid.CellHeight;
  if (column >= grid.Columns) return -1;
  const long long index = static_cast<long long>(row) * grid.Columns + column;
  return index < grid.Count ? static_cast<int>(index) : -1;
}

TCellRange VisibleCells(const TThumbGrid& grid, int left, int top, int width, int height) {
  TCellRange range;
  if (grid.Empty()) return range;
  const int lastRow = (grid.Count - 1) / grid.Columns;
  range.FirstRow = std::clamp((top - grid.CellHeight) / grid.CellHeight, 0, lastRow);
  range.LastRow = std::clamp((top + height + grid.CellHeight) / grid.CellHeight, 0, lastRow);
  range.FirstColumn = std::clamp(left / grid.CellWidth, 0, grid.Columns - 1);
  range.LastColumn = std::clamp((left + width) / grid.CellWidth, 0, grid.Columns - 1);
  return range;
}

TCaptionPadding PadCaption(int textWidth, int blankWidth, int cellWidth) {
  const int room = cellWidth - 12 - textWidth; // padding goes on while this is 1 or more
  if (blankWidth <= 0 || room < 1) return {};
  const int blanks = (room - 1) / blankWidth + 1;
  return {(blanks + 1) / 2, blanks / 2};
}

} // namespace kestrel
