// The fill tool on every pixel format: a surface fill takes exactly the 4-connected region of the
// start colour (checked against a plain breadth-first search over random pictures), a border
// fill stops at the border colour and takes the whole picture when that colour is nowhere, and
// palette entries of one colour count as one colour.

#include "processing/editing/FloodFill.h"

#include "imaging/core/Bitmap.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <random>
#include <vector>

namespace kestrel {
namespace {

constexpr TColor kRed = RgbColor(255, 0, 0);
constexpr TColor kBlue = RgbColor(0, 0, 255);
constexpr TColor kWhite = RgbColor(255, 255, 255);
constexpr TColor kGreen = RgbColor(0, 255, 0);

// Black, white, red, green and blue at the start of every palette, so all formats hold them.
std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat format, int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  TPalette palette;
  if (format == pf1bit) {
    palette = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  } else if (format == pf4bit || format == pf8bit) {
    palette = TPalette::Black(format == pf4bit ? 16 : 256);
    palette.SetColor(1, kWhite);
    palette.SetColor(2, kRed);
    palette.SetColor(3, kGreen);
    palette.SetColor(4, kBlue);
  }
  bitmap->NewImage(width, height, format, palette);
  return bitmap;
}

std::vector<TColor> Colors(const TBitmap& bitmap) {
  std::vector<TColor> colors;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      colors.push_back(ColorOfPixel(bitmap.PixelColor(x, y)));
  return colors;
}

// What a fill should give, by a search that knows nothing of spans.
std::vector<TColor> ReferenceFill(std::vector<TColor> colors, int w, int h, TPoint start,
                                  TColor fill, TColor border, TFillStyle style) {
  const TColor target = colors[static_cast<size_t>(start.Y * w + start.X)];
  auto inside = [&](TColor c) { return style == fsSurface ? c == target : c != border; };
  std::vector<bool> seen(colors.size());
  std::deque<TPoint> queue{start};
  seen[static_cast<size_t>(start.Y * w + start.X)] = true;
  if (!inside(target)) return colors;
  while (!queue.empty()) {
    const TPoint p = queue.front();
    queue.pop_front();
    colors[static_cast<size_t>(p.Y * w + p.X)] = fill;
    for (const TPoint n :
         {TPoint{p.X - 1, p.Y}, TPoint{p.X + 1, p.Y}, TPoint{p.X, p.Y - 1}, TPoint{p.X, p.Y + 1}}) {
      if (n.X < 0 || n.Y < 0 || n.X >= w || n.Y >= h) continue;
      const size_t i = static_cast<size_t>(n.Y * w + n.X);
      if (seen[i] || !inside(colors[i])) continue;
      seen[i] = true;
      queue.push_back(n);
    }
  }
  return colors;
}

class FloodFillFormats : public ::testing::TestWithParam<TPixelFormat> {};

TEST_P(FloodFillFormats, SurfaceAndBorderFillsMatchASearchOnRandomPictures) {
  const TPixelFormat format = GetParam();
  const bool mono = format == pf1bit;
  std::mt19937 random(17);
  for (int round = 0; round < 12; ++round) {
    const int w = 5 + static_cast<int>(random() % 200), h = 3 + static_cast<int>(random() % 40);
    auto bitmapOwner = MakeBitmap(format, w, h);
    TBitmap& bitmap = *bitmapOwner;
    // Noise dense enough to make winding regions, with pockets the fill must not reach.
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        bitmap.Canvas().SetPixel(x, y, random() % 100 < 45 ? (mono ? clBlack : kRed) : kWhite);
    const TPoint start{static_cast<int>(random() % w), static_cast<int>(random() % h)};
    const TFillStyle style = round % 2 ? fsBorder : fsSurface;
    const TColor fill = mono ? (round % 4 < 2 ? clBlack : kWhite) : kBlue;
    const TColor border = mono ? clBlack : kRed;
    const std::vector<TColor> before = Colors(bitmap);
    const std::vector<TColor> expected = ReferenceFill(before, w, h, start, fill, border, style);
    const TRect changed = FloodFillBitmap(bitmap, start, fill, border, style);
    ASSERT_EQ(Colors(bitmap), expected) << "round " << round;
    // Every pixel that changed lies inside the reported rectangle.
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (before[static_cast<size_t>(y * w + x)] != expected[static_cast<size_t>(y * w + x)]) {
          ASSERT_TRUE(x >= changed.Left && x < changed.Right && y >= changed.Top &&
                      y < changed.Bottom);
        }
  }
}

TEST_P(FloodFillFormats, BorderFillStaysInsideAClosedWall) {
  const bool mono = GetParam() == pf1bit;
  const TColor wall = mono ? clBlack : kRed, fill = mono ? clBlack : kBlue;
  auto bitmapOwner = MakeBitmap(GetParam(), 20, 20);
  TBitmap& bitmap = *bitmapOwner;
  bitmap.Canvas().Brush.Color = kWhite;
  bitmap.Canvas().FillRect({0, 0, 20, 20});
  bitmap.Canvas().Brush.Color = wall;
  bitmap.Canvas().FrameRect({5, 5, 15, 15});
  const TRect changed = FloodFillBitmap(bitmap, {9, 9}, fill, wall, fsBorder);
  EXPECT_EQ(changed, (TRect{6, 6, 14, 14}));
  EXPECT_EQ(bitmap.Canvas().Pixel(6, 6), fill);
  EXPECT_EQ(bitmap.Canvas().Pixel(4, 4), kWhite);
  EXPECT_EQ(bitmap.Canvas().Pixel(5, 9), wall);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, FloodFillFormats,
                         ::testing::Values(pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit,
                                           pf32bit));

// Two-colour pictures always hold both colours, so this runs on the formats of more.
TEST(FloodFill, BorderFillWithAnAbsentBorderColourFillsEverything) {
  for (TPixelFormat format : {pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    auto bitmapOwner = MakeBitmap(format, 23, 11);
    TBitmap& bitmap = *bitmapOwner;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 23; ++x)
        bitmap.Canvas().SetPixel(x, y, (x * 7 + y * 3) % 5 == 0 ? kRed : kWhite);
    const TRect changed = FloodFillBitmap(bitmap, {4, 4}, kBlue, kGreen, fsBorder);
    EXPECT_EQ(changed, (TRect{0, 0, 23, 11})) << format;
    for (TColor c : Colors(bitmap))
      ASSERT_EQ(c, kBlue) << format;
  }
}

TEST(FloodFill, PaletteEntriesOfOneColourAreOneRegionAndTheFillTakesTheFirstEntry) {
  auto bitmapOwner = MakeBitmap(pf8bit, 6, 1);
  TBitmap& bitmap = *bitmapOwner;
  TPalette palette = bitmap.Palette();
  palette.SetColor(5, kWhite); // a second white
  bitmap.SetPalette(palette);
  const uint8_t indices[6] = {1, 5, 1, 2, 5, 1};
  std::copy(indices, indices + 6, bitmap.ScanLine(0));
  EXPECT_EQ(FloodFillBitmap(bitmap, {0, 0}, kBlue, 0, fsSurface), (TRect{0, 0, 3, 1}));
  const uint8_t* row = bitmap.ScanLine(0);
  EXPECT_EQ(std::vector<int>(row, row + 6), (std::vector<int>{4, 4, 4, 2, 5, 1}));
}

TEST(FloodFill, StartsOutsideOrOnTheFillColourChangeNothing) {
  auto bitmapOwner = MakeBitmap(pf24bit, 4, 4);
  TBitmap& bitmap = *bitmapOwner;
  EXPECT_TRUE(FloodFillBitmap(bitmap, {4, 0}, kBlue, 0, fsSurface).IsEmpty());
  EXPECT_TRUE(FloodFillBitmap(bitmap, {-1, 2}, kBlue, 0, fsBorder).IsEmpty());
  EXPECT_TRUE(FloodFillBitmap(bitmap, {1, 1}, clBlack, 0, fsSurface).IsEmpty());
  // A start on the border colour has nothing to spread into.
  EXPECT_TRUE(FloodFillBitmap(bitmap, {1, 1}, kBlue, clBlack, fsBorder).IsEmpty());
  for (TColor c : Colors(bitmap))
    EXPECT_EQ(c, clBlack);
}

} // namespace
} // namespace kestrel
