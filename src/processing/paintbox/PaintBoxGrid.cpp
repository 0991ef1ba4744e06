#include "processing/paintbox/PaintBoxGrid.h"

#include <algorithm>

namespace kestrel {
namespace {

constexpr int kLowDitherType = 16;
constexpr int kOrangeType = 24;
// Cell sides by size position, before the type's scale and the screen's resolution.
constexpr int kBaseSizes[kSizePositions] = {14, 16, 18, 22, 24, 26, 28};
// The palette list's width in hundredths of an inch, by size position.
constexpr int kListWidths[kSizePositions] = {100, 115, 130, 140, 160, 180, 200};

} // namespace

const std::array<TPaletteType, kPaletteTypeCount>& PaletteTypes() {
  static const std::array<TPaletteType, kPaletteTypeCount> types = {{
      {"0  Image Palette", 8, 2, 16, 80, 0},
      {"1  Windows Palette", 6, 11, 4, 340, 0},
      {"2  216 colors (Web Palette)", 6, 1, 12, 110, 0},
      {"3  Greyscale", 8, 2, 16, 80, 0},
      {"4  Red Shades", 8, 2, 16, 80, 0},
      {"5  Green Shades", 8, 2, 16, 80, 0},
      {"6  Blue Shades", 8, 2, 16, 80, 0},
      {"7  Yellow Shades", 8, 2, 16, 80, 0},
      {"8  Magenta Shades", 8, 2, 16, 80, 0},
      {"9  Cyan Shades", 8, 2, 16, 80, 0},
      {"10 Red-Yellow/Magenta", 8, 2, 16, 80, 0},
      {"11 Red-Cyan/Blue", 8, 2, 16, 80, 0},
      {"12 Green-Cyan/yellow", 8, 2, 16, 80, 0},
      {"13 Green-Red/Magenta", 8, 2, 16, 80, 0},
      {"14 Bue-Maganta/Cyan", 8, 2, 16, 80, 0},
      {"15 Blue-Yellow/green", 8, 2, 16, 80, 0},
      {"16 27 color Low Dither", 3, 1, 5, 270, 0},
      {"17 8 colors", 2, 1, 3, 450, 1},
      {"18 22 colors", 4, 3, 4, 405, 1},
      {"19 44 colors", 6, 5, 6, 230, 1},
      {"20 64 colors", 4, 1, 8, 170, 0},
      {"21 274 colors", 16, 15, 16, 80, 1},
      {"22 344 colors", 18, 17, 18, 75, 1},
      {"23 820 colors", 16, 5, 28, 45, 0},
      {"24 Orange Shades", 8, 2, 16, 80, 0},
  }};
  return types;
}

bool AltApplies(int type) {
  return (type >= 4 && type <= 15) || type == kOrangeType;
}

int CellSize(int sizePosition, int type, int dotsPerInch) {
  const int base = kBaseSizes[std::clamp(sizePosition, 0, kSizePositions - 1)];
  const int scale =
      PaletteTypes()[static_cast<size_t>(std::clamp(type, 0, kPaletteTypeCount - 1))].ScalePercent;
  // Whole numbers throughout, so a size such as 16 x 1.1 x 96 / 120 is exactly 14.
  return base * scale * dotsPerInch / (100 * 120);
}

int PaletteListWidth(int sizePosition, int dotsPerInch) {
  return dotsPerInch * kListWidths[std::clamp(sizePosition, 0, kSizePositions - 1)] / 100;
}

TPaintBoxGrid::TPaintBoxGrid(int type, bool alt, const TPalette& palette, int cellSize)
    : type_(std::clamp(type, 0, kPaletteTypeCount - 1)),
      info_(PaletteTypes()[static_cast<size_t>(type_)]), alt_(alt ? 1 : 0), base_(alt ? 0 : 255),
      inverse_(alt ? 0 : 1), palette_(palette), size_(std::max(cellSize, 1)) {}

int TPaintBoxGrid::LastCell() const {
  const int n = info_.Levels;
  return (n * n * n - 1) / info_.Step;
}

int TPaintBoxGrid::Rows() const {
  return (LastCell() + info_.Columns) / info_.Columns;
}

TSize TPaintBoxGrid::Extent() const {
  const int pitch = size_ + kGap;
  return {info_.Columns * pitch + 2 * kMargin, Rows() * pitch + 2 * kMargin};
}

TColor TPaintBoxGrid::CubeColor(int combination) const {
  const int n = info_.Levels;
  const int step = 255 / (n - 1);
  auto level = [&](int counter) {
    int value = step * counter;
    if (type_ == kLowDitherType && value > 126 && value < 255) ++value;
    return value;
  };
  const int i = combination % n;
  const int j = combination / n % n;
  const int k = combination / (n * n) % n;
  return RgbColor(level(j), level(k), level(i));
}

TColor TPaintBoxGrid::ShadeColor(int n) const {
  const int alt = alt_ * n, base = base_, inv = inverse_ * n;
  switch (type_) {
  case 3:
    return RgbColor(n, n, n);
  case 4:
    return RgbColor(alt + base, inv, inv);
  case 5:
    return RgbColor(inv, alt + base, inv);
  case 6:
    return RgbColor(inv, inv, alt + base);
  case 7:
    return RgbColor(alt + base, alt + base, inv);
  case 8:
    return RgbColor(alt + base, inv, alt + base);
  case 9:
    return RgbColor(inv, alt + base, alt + base);
  case 10:
    return RgbColor(255, inv, alt);
  case 11:
    return RgbColor(255 - n, inv, n);
  case 12:
    return RgbColor(alt, 255, inv);
  case 13:
    return RgbColor(n, 255 - n, alt);
  case 14:
    return RgbColor(inv, alt, 255);
  case 15:
    return RgbColor(inv, n, 255 - n);
  default: // orange
    return RgbColor(alt + base, 128 * inverse_ + n / 2, inv);
  }
}

TColor TPaintBoxGrid::CellColor(int n) const {
  if (type_ == kImagePaletteType || type_ == kSystemPaletteType)
    return n >= 0 && n < palette_.Count() ? palette_.Color(n) : clBlack;
  if ((type_ >= 3 && type_ <= 15) || type_ == kOrangeType) return ShadeColor(n);
  // With a start offset the walk begins one cell later and goes on one combination past the
  // cube's end, which wraps round to the first (black).
  if (info_.StartOffset && n == LastCell()) return CubeColor(0);
  return CubeColor((n + info_.StartOffset) * info_.Step);
}

TRect TPaintBoxGrid::CellRect(int n) const {
  const int pitch = size_ + kGap;
  return Bounds(kMargin + n % info_.Columns * pitch, kMargin + n / info_.Columns * pitch, size_,
                size_);
}

int TPaintBoxGrid::CellAt(int x, int y) const {
  const int pitch = size_ + kGap;
  x -= kMargin;
  y -= kMargin;
  if (x < 0 || y < 0 || x % pitch >= size_ || y % pitch >= size_) return -1;
  const int column = x / pitch;
  if (column >= info_.Columns) return -1;
  const int n = y / pitch * info_.Columns + column;
  return n <= LastCell() ? n : -1;
}

} // namespace kestrel
