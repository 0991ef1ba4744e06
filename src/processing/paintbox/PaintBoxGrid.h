#pragma once
// The colour grid of the "Paint Box": which cells a palette type shows, the colour of each cell,
// and where the cells lie. No widgets: the window draws and hit-tests through this.
//
// A type generates a cube of N levels per channel, walked with blue fastest, then red, then green;
// every S-th combination becomes a cell. Types with a start offset hide the first combination
// (black) and show it last instead. The shade types colour cell n by formula, types 0 and 1 by
// entry n of a palette.

#include "imaging/core/Color.h"
#include "imaging/core/Palette.h"
#include "imaging/core/Types.h"

#include <array>

namespace kestrel {

struct TPaletteType {
  const char* Text; // as the list shows it
  int Levels;       // N: values per channel
  int Step;         // S: every S-th combination is a cell
  int Columns;      // C: cells per row
  int ScalePercent; // cell size factor, in hundredths
  int StartOffset;  // 1: the first combination (black) comes last
};

constexpr int kPaletteTypeCount = 25;
constexpr int kImagePaletteType = 0;
constexpr int kSystemPaletteType = 1;
constexpr int kWebPaletteType = 2;
const std::array<TPaletteType, kPaletteTypeCount>& PaletteTypes();

// Whether the "Alt" switch means anything for a type (the one-hue and two-hue shade families).
bool AltApplies(int type);

// Size positions 0..6 of the size control.
constexpr int kSizePositions = 7;
// The cell's side in pixels for a size position, a type and the screen's dots per inch.
int CellSize(int sizePosition, int type, int dotsPerInch);
// The palette list's width in pixels for a size position.
int PaletteListWidth(int sizePosition, int dotsPerInch);

class TPaintBoxGrid {
public:
  // Margin round the cells, and the gap between two cells.
  static constexpr int kMargin = 4;
  static constexpr int kGap = 1;

  // palette: the entries types 0 and 1 show (entries past its count are black).
  TPaintBoxGrid(int type, bool alt, const TPalette& palette, int cellSize);

  int Type() const { return type_; }
  int Columns() const { return info_.Columns; }
  // The number of the last cell (cells run from 0 to it).
  int LastCell() const;
  int Rows() const;
  int CellSize() const { return size_; }
  // The grid's area: the cells with the margin on every side.
  TSize Extent() const;

  // The colour of cell n (0..LastCell()).
  TColor CellColor(int n) const;
  // The cell's rectangle in the grid's area (right and bottom exclusive).
  TRect CellRect(int n) const;
  // The cell at a point of the grid's area; -1 in a gap, the margin or past the last cell.
  int CellAt(int x, int y) const;

private:
  TColor CubeColor(int combination) const;
  TColor ShadeColor(int n) const;

  int type_;
  TPaletteType info_;
  uint8_t alt_, base_, inverse_;
  TPalette palette_;
  int size_;
};

} // namespace kestrel
