#include "processing/colour/ReduceToPalette.h"
#include "PaletteTestSupport.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/gif/GIFException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace kestrel;

namespace {

const Entries kSeven = {Rgb(0, 0, 0),     Rgb(255, 255, 255), Rgb(255, 0, 0), Rgb(0, 0, 255),
                        Rgb(255, 255, 0), Rgb(0, 255, 255),   Rgb(0, 255, 0)};

std::unique_ptr<TBitmap> TrueColour(int w, int h, TPixelFormat format,
                                    const std::function<TPaletteEntry(int, int)>& colour) {
  auto b = std::make_unique<TBitmap>(w, h, pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      TPaletteEntry c = colour(x, y);
      uint8_t* p = b->ScanLine(y) + 3 * x;
      p[0] = c.Blue, p[1] = c.Green, p[2] = c.Red;
    }
  b->SetPixelFormat(format);
  return b;
}

TPaletteEntry Pixel(const TBitmap& b, int x, int y) {
  TPixelColor c = b.PixelColor(x, y);
  return Rgb(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF);
}

// A many-coloured picture: a gradient over all three channels.
std::unique_ptr<TBitmap> Gradient(int w, int h) {
  return TrueColour(w, h, pf24bit,
                    [](int x, int y) { return Rgb(4 * x, 4 * y, 255 - 2 * x - 2 * y); });
}

} // namespace

TEST(ReduceToPalette, EveryInputDepthMapsExactColoursToTheirIndices) {
  // The custom palette holds the picture's colours in another order, so every pixel finds its
  // entry exactly and no error is left to diffuse.
  const Entries shuffled = {kSeven[4], kSeven[1], kSeven[6], kSeven[0],
                            kSeven[3], kSeven[5], kSeven[2]};
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(PixelFormatBits(format));
    const Entries colours = format == pf1bit ? Entries{kSeven[0], kSeven[1]} : kSeven;
    auto source = TrueColour(6, 4, pf24bit,
                             [&](int x, int y) { return colours[(x + 3 * y) % colours.size()]; });
    if (PixelFormatBits(format) <= 8) source->SetPalette(TPalette(colours));
    source->SetPixelFormat(format);
    for (int dither = dmNearest; dither <= dmBurkes; ++dither) {
      auto result = ReduceToPalette(*source, rmPalette, dither, 8, TPalette(shuffled));
      ASSERT_EQ(result->PixelFormat(), pf8bit);
      ASSERT_EQ(result->Width(), 6);
      ASSERT_EQ(result->Height(), 4);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
          const TPaletteEntry& c = colours[(x + 3 * y) % colours.size()];
          int expected =
              static_cast<int>(std::find(shuffled.begin(), shuffled.end(), c) - shuffled.begin());
          EXPECT_EQ(result->ScanLine(y)[x], expected) << x << "," << y << " dither " << dither;
        }
    }
    EXPECT_EQ(source->PixelFormat(), format);
  }
}

TEST(ReduceToPalette, ModeNoneIsATrueColourCopy) {
  for (TPixelFormat format : {pf8bit, pf16bit, pf32bit}) {
    auto source = Gradient(9, 7);
    if (format == pf8bit) source->SetPalette(TPalette(kSeven));
    source->SetPixelFormat(format);
    auto copy = ReduceToPalette(*source, rmNone, 99, 99, TPalette());
    ASSERT_EQ(copy->PixelFormat(), pf24bit);
    ASSERT_EQ(copy->Width(), 9);
    ASSERT_EQ(copy->Height(), 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x)
        EXPECT_EQ(copy->PixelColor(x, y), source->PixelColor(x, y));
  }
}

TEST(ReduceToPalette, ResultHasTheModePaletteAsAWholeColourTable) {
  auto source = TrueColour(2, 1, pf24bit,
                           [](int x, int) { return x ? Rgb(128, 128, 128) : Rgb(127, 127, 127); });
  auto mono = ReduceToPalette(*source, rmMonochrome, dmNearest, 8, TPalette());
  Entries table = Of(mono->OwnPalette());
  ASSERT_EQ(table.size(), 256u);
  EXPECT_EQ(table[0], Rgb(0, 0, 0));
  EXPECT_EQ(table[1], Rgb(255, 255, 255));
  EXPECT_EQ(table[2], Rgb(0, 0, 0));
  EXPECT_EQ(mono->ScanLine(0)[0], 0);
  EXPECT_EQ(mono->ScanLine(0)[1], 1);

  auto cube = ReduceToPalette(*source, rmWebCube, dmNearest, 8, TPalette());
  EXPECT_EQ(Pixel(*cube, 0, 0), Rgb(102, 102, 102)); // level (127 + 3) / 51 = 2
}

TEST(ReduceToPalette, SystemColoursSitAtBothEndsOfTheQuantizedPalette) {
  auto source = Gradient(64, 48);
  auto result = ReduceToPalette(*source, rmQuantizeWindows, dmFloydSteinberg, 3, TPalette());
  Entries table = Of(result->OwnPalette());
  ASSERT_EQ(table.size(), 256u);
  Entries system = Of(SystemPalette20());
  EXPECT_EQ(Entries(table.begin(), table.begin() + 10),
            Entries(system.begin(), system.begin() + 10));
  EXPECT_EQ(Entries(table.end() - 10, table.end()), Entries(system.begin() + 10, system.end()));
  // The octree part is the palette BuildOctreePalette gives for the same picture.
  EXPECT_EQ(table, Of(BuildOctreePalette(*source, 256, 8, true)));
  // 3072 colours went in: the last merge started above 236 leaves and took away at most 7, so at
  // least 230 quantized colours (none of them black in this picture) fill the middle.
  EXPECT_GE(std::count_if(table.begin() + 10, table.end() - 10,
                          [](const TPaletteEntry& e) { return !(e == Rgb(0, 0, 0)); }),
            230);
  // BuildOctreePalette alone keeps the asked size without the system colours.
  EXPECT_EQ(BuildOctreePalette(*source, 16, 4, false).Count(), 16);
}

TEST(ReduceToPalette, CodesOutOfRangeGiveTheEmptyResult) {
  auto small = Gradient(10, 10);
  for (auto [mode, dither] :
       {std::pair{10, 0}, std::pair{-1, 1}, std::pair{7, 7}, std::pair{1, -1}}) {
    auto result = ReduceToPalette(*small, mode, dither, 8, TPalette());
    EXPECT_TRUE(result->Empty()) << mode << " " << dither;
    EXPECT_EQ(result->PixelFormat(), TBitmap().PixelFormat());
  }
  // Above 500000 pixels the empty result has been made 1 bit per pixel first.
  TBitmap large(1001, 500, pf24bit);
  auto result = ReduceToPalette(large, rmQuantize, 9, 8, TPalette());
  EXPECT_TRUE(result->Empty());
  EXPECT_EQ(result->PixelFormat(), pf1bit);
}

TEST(ReduceToPalette, BadInputGivesADefinedResultOrTheError) {
  TBitmap empty;
  EXPECT_TRUE(ReduceToPalette(empty, rmNone, 0, 8, TPalette())->Empty());
  EXPECT_TRUE(ReduceToPalette(empty, 12, 0, 8, TPalette())->Empty());
  EXPECT_TRUE(BuildOctreePalette(empty, 16, 8, false) == TPalette::Black(16));
  for (int mode = rmWindows20; mode <= rmQuantizeWindows; ++mode) {
    try {
      ReduceToPalette(empty, mode, dmFloydSteinberg, 8, TPalette());
      ADD_FAILURE() << "mode " << mode;
    } catch (const GIFException& e) {
      EXPECT_EQ(std::string(e.what()), "Invalid image dimensions");
    }
  }

  auto dot = TrueColour(1, 1, pf32bit, [](int, int) { return Rgb(200, 100, 50); });
  for (int mode = rmWindows20; mode <= rmQuantizeWindows; ++mode)
    for (int dither = dmNearest; dither <= dmBurkes; ++dither) {
      auto result = ReduceToPalette(*dot, mode, dither, 8, TPalette());
      ASSERT_EQ(result->Width(), 1);
      ASSERT_EQ(result->PixelFormat(), pf8bit);
    }
  EXPECT_EQ(Pixel(*ReduceToPalette(*dot, rmQuantize, dmBurkes, 8, TPalette()), 0, 0),
            Rgb(200, 100, 50));

  // A custom palette of no colours gives the empty result; of one colour, that colour everywhere.
  auto picture = Gradient(5, 4);
  EXPECT_TRUE(ReduceToPalette(*picture, rmPalette, dmFloydSteinberg, 8, TPalette())->Empty());
  auto one = ReduceToPalette(*picture, rmPalette, dmFloydSteinberg, 8, TPalette{Rgb(9, 8, 7)});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(Pixel(*one, x, y), Rgb(9, 8, 7));
}
