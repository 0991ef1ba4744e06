#include "processing/colour/ColorLookup.h"
#include "processing/colour/FixedPalettes.h"

#include "PaletteTestSupport.h"
#include "imaging/core/DefaultPalettes.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace kestrel;

namespace {

void ExpectColour(const TMappedColor& m, int index, int r, int g, int b) {
  EXPECT_EQ(m.Index, index);
  EXPECT_EQ(m.Red, r);
  EXPECT_EQ(m.Green, g);
  EXPECT_EQ(m.Blue, b);
}

} // namespace

TEST(FixedPalettes, SizesFlagsAndLayout) {
  EXPECT_EQ(Of(SystemPalette20()).size(), 20u);
  EXPECT_EQ(Of(SystemPalette20())[0], Rgb(0, 0, 0));
  EXPECT_EQ(Of(SystemPalette20())[19], Rgb(255, 255, 255));

  const Entries& halftone = Of(MakeHalftonePalette());
  ASSERT_EQ(halftone.size(), 256u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(halftone[i], Of(SystemPalette20())[i]);
    EXPECT_EQ(halftone[246 + i], Of(SystemPalette20())[10 + i]);
  }
  EXPECT_EQ(halftone[10 + 36 * 5 + 6 * 2 + 1], Rgb(255, 102, 51));

  const Entries& cube = Of(MakeWebCubePalette());
  ASSERT_EQ(cube.size(), 216u);
  EXPECT_EQ(cube[36 * 1 + 6 * 4 + 3], Rgb(51, 204, 153));
  EXPECT_EQ(cube[215], Rgb(255, 255, 255));
  for (const TPaletteEntry& e : cube)
    EXPECT_EQ(e.Flags, 0);

  ASSERT_EQ(Of(MakeGreyPalette()).size(), 256u);
  EXPECT_EQ(Of(MakeGreyPalette())[77], (TPaletteEntry{77, 77, 77, PC_NOCOLLAPSE}));
  EXPECT_EQ(Of(MakeBlackWhitePalette()),
            (Entries{{0, 0, 0, PC_NOCOLLAPSE}, {255, 255, 255, PC_NOCOLLAPSE}}));
  const Entries& greys = Of(MakeWindowsGreyPalette());
  ASSERT_EQ(greys.size(), 4u);
  EXPECT_EQ(greys[1], (TPaletteEntry{128, 128, 128, PC_NOCOLLAPSE}));
  EXPECT_EQ(greys[2], (TPaletteEntry{192, 192, 192, PC_NOCOLLAPSE}));
}

TEST(FastColorLookup, KeyPacksFiveSixFiveBits) {
  EXPECT_EQ(TFastColorLookup::Key(255, 255, 255), 0xFFFF);
  EXPECT_EQ(TFastColorLookup::Key(8, 0, 0), 1);
  EXPECT_EQ(TFastColorLookup::Key(7, 3, 7), 0);
  EXPECT_EQ(TFastColorLookup::Key(0, 4, 0), 32);
  EXPECT_EQ(TFastColorLookup::Key(0, 0, 8), 2048);
}

TEST(FastColorLookup, EntriesClaimTheirOwnSlotsLowestIndexFirst) {
  // Entries 1 and 2 share a key ((16, 8, 0) and (17, 9, 1) differ below the key's bits).
  Entries palette = {Rgb(0, 0, 0), Rgb(16, 8, 0), Rgb(17, 9, 1), Rgb(200, 100, 40)};
  TFastColorLookup lookup(palette);
  EXPECT_EQ(lookup.ColorCount(), 4);
  EXPECT_EQ(lookup.Slot(TFastColorLookup::Key(16, 8, 0)), 1);
  EXPECT_EQ(lookup.Slot(TFastColorLookup::Key(200, 100, 40)), 3);
  EXPECT_EQ(lookup.Slot(TFastColorLookup::Key(100, 100, 100)), TFastColorLookup::kUnset);
  // Exact lookup of either colour of the shared key finds the lower index.
  ExpectColour(lookup.MapColor(17, 9, 1), 1, 16, 8, 0);
  ExpectColour(lookup.MapColor(16, 8, 0), 1, 16, 8, 0);
}

TEST(FastColorLookup, NearestBySumOfDifferencesFirstOfEqualsWinsFirstCallerDecides) {
  Entries palette = {Rgb(0, 0, 0), Rgb(100, 0, 0), Rgb(0, 100, 0), Rgb(0, 0, 100)};
  TFastColorLookup lookup(palette);
  // (60, 60, 0): black 120, red 40 + 60 = 100, green 60 + 40 = 100: red and green tie, red is
  // first.
  ExpectColour(lookup.MapColor(60, 60, 0), 1, 100, 0, 0);
  // (50, 50, 30): black 130, red 130, green 130, blue 170: black, the first of three.
  ExpectColour(lookup.MapColor(50, 50, 30), 0, 0, 0, 0);
  // The key of r 48..55, g 52..55, b 0..7. First caller (55, 52, 0): black 107, red 97, green 103.
  ExpectColour(lookup.MapColor(55, 52, 0), 1, 100, 0, 0);
  EXPECT_EQ(lookup.Slot(TFastColorLookup::Key(55, 52, 0)), 1);
  // (48, 55, 0) would find green (93 against red 107) but reuses the stored red.
  ExpectColour(lookup.MapColor(48, 55, 0), 1, 100, 0, 0);
  // In a fresh lookup it is the first caller and finds green.
  TFastColorLookup fresh(palette);
  ExpectColour(fresh.MapColor(48, 55, 0), 2, 0, 100, 0);
}

TEST(FastColorLookup, EmptyAndSingleEntryPalettes) {
  TFastColorLookup none(Entries{});
  EXPECT_EQ(none.ColorCount(), 0);
  ExpectColour(none.MapColor(10, 20, 30), 0, 0, 0, 0);

  TFastColorLookup one(Entries{Rgb(9, 8, 7)});
  EXPECT_EQ(one.ColorCount(), 1);
  ExpectColour(one.MapColor(255, 255, 255), 0, 9, 8, 7);
  ExpectColour(one.MapColor(0, 0, 0), 0, 9, 8, 7);

  Entries many(300, Rgb(1, 2, 3));
  EXPECT_EQ(TFastColorLookup(many).ColorCount(), 256);
}

TEST(FastColorLookup, MatchesBruteForceOnTheFirstColourOfEachKey) {
  const Entries& palette = Of(SystemPalette20());
  TFastColorLookup lookup(palette);
  for (int r = 0; r < 256; r += 37)
    for (int g = 1; g < 256; g += 41)
      for (int b = 2; b < 256; b += 43) {
        // Samples lie in keys of their own; a key a palette entry claimed keeps that entry.
        int best = 0, bestDistance = 1 << 30;
        for (size_t i = 0; i < palette.size(); ++i) {
          int d = std::abs(palette[i].Red - r) + std::abs(palette[i].Green - g) +
                  std::abs(palette[i].Blue - b);
          if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
          }
        }
        int slot = lookup.Slot(TFastColorLookup::Key(r, g, b));
        TMappedColor m = lookup.MapColor(r, g, b);
        EXPECT_EQ(m.Index, slot == TFastColorLookup::kUnset ? best : slot)
            << r << "," << g << "," << b;
        EXPECT_EQ(lookup.Slot(TFastColorLookup::Key(r, g, b)), m.Index);
        EXPECT_EQ(palette[m.Index], Rgb(m.Red, m.Green, m.Blue));
      }
}

TEST(FixedLookups, WebCubeLevelsStepAtTheMidpoints) {
  TNetscapeColorLookup cube;
  EXPECT_EQ(cube.ColorCount(), 216);
  ExpectColour(cube.MapColor(47, 48, 255), 0 * 36 + 1 * 6 + 5, 0, 51, 255);
  ExpectColour(cube.MapColor(98, 99, 150), 1 * 36 + 2 * 6 + 3, 51, 102, 153);
  ExpectColour(cube.MapColor(200, 201, 252), 3 * 36 + 4 * 6 + 5, 153, 204, 255);
  // Level L covers 51 L - 3 .. 51 L + 47, and the colour is the cube entry of the index.
  for (int v = 0; v < 256; ++v) {
    TMappedColor m = cube.MapColor(0, 0, v);
    EXPECT_EQ(Of(MakeWebCubePalette())[m.Index], Rgb(m.Red, m.Green, m.Blue));
    EXPECT_LE(m.Blue - 3, v);
    EXPECT_TRUE(m.Blue == 255 || v < m.Blue + 48) << v;
  }
}

TEST(FixedLookups, MonochromeThresholdAndGreyscaleWeights) {
  TMonochromeLookup mono;
  EXPECT_EQ(mono.ColorCount(), 2);
  ExpectColour(mono.MapColor(127, 127, 127), 0, 0, 0, 0);       // 256 * 127 = 32512
  ExpectColour(mono.MapColor(128, 128, 128), 1, 255, 255, 255); // 32768
  ExpectColour(mono.MapColor(0, 216, 3), 0, 0, 0, 0);           // 32400 + 87 = 32487
  ExpectColour(mono.MapColor(0, 216, 4), 1, 255, 255, 255);     // 32400 + 116 = 32516

  TGrayScaleLookup grey;
  EXPECT_EQ(grey.ColorCount(), 256);
  ExpectColour(grey.MapColor(255, 0, 0), 76, 76, 76, 76);         // 19635 / 256
  ExpectColour(grey.MapColor(10, 20, 30), 18, 18, 18, 18);        // (770 + 3000 + 870) / 256
  ExpectColour(grey.MapColor(255, 255, 255), 255, 255, 255, 255); // 65280 / 256
}
