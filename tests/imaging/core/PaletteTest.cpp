// Palettes: the value type, the palette record, the fixed tables and the nearest-colour converter.

#include "imaging/core/Palette.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/DibPalette.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageFormat.h"
#include "imaging/core/RgbToPaletteConverter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace kestrel {
namespace {

TDibPalette RecordOf(std::initializer_list<TPixelColor> values) {
  TDibPalette p;
  p.Version = TDibPalette::kVersion;
  for (TPixelColor v : values)
    p.SetValue(p.Count++, v);
  return p;
}

TEST(Palette, NearestEntryPrefersTheLowestIndexOnATie) {
  const TPalette p{{0, 0, 0, 0}, {2, 2, 2, 0}, {1, 1, 1, 0}, {1, 1, 1, 0}};
  EXPECT_EQ(p.NearestIndex(RgbColor(1, 1, 1)), 2); // exact beats near, the first of equals wins
  const TPalette q2{{0, 0, 0, 0}, {2, 2, 2, 0}};
  EXPECT_EQ(q2.NearestIndex(RgbColor(1, 1, 1)), 0);    // a tie keeps the lower index
  EXPECT_EQ(TPalette().NearestIndex(clWhite), -1);     // the null palette has no entries
  EXPECT_THROW(TPalette::Black(257), EInvalidGraphic); // never more than 256 entries
  TPalette q = TPalette::Black(2);
  q.SetColor(1, RgbColor(10, 20, 30));
  EXPECT_EQ(q.Color(1), RgbColor(10, 20, 30));
  EXPECT_EQ(q.PixelColor(1), 0x0A141Eu); // red in bits 16..23 of a pixel colour
}

TEST(DibPalette, EntriesHoldBlueGreenRedBytesAndConvertBothWays) {
  TDibPalette record = RecordOf({0x112233});
  EXPECT_EQ(record.Entries[0].Blue, 0x33);
  EXPECT_EQ(record.Entries[0].Green, 0x22);
  EXPECT_EQ(record.Entries[0].Red, 0x11);
  EXPECT_EQ(record.Entries[0].Reserved, 0);
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record.Entries[0]);
  EXPECT_EQ(bytes[0], 0x33); // byte 0 of a colour-table entry is blue
  const TPalette palette = record.ToPalette();
  ASSERT_EQ(palette.Count(), 1);
  EXPECT_EQ(palette.Color(0), RgbColor(0x11, 0x22, 0x33));
  EXPECT_EQ(TDibPalette::FromPalette(palette), record);
}

TEST(DefaultPalettes, TheSixteenColourTableIsStoredByteForByte) {
  const uint8_t expected[16][3] = {{0, 0, 0},     {0, 0, 170},    {0, 170, 0},    {0, 170, 170},
                                   {170, 0, 0},   {170, 0, 170},  {170, 85, 0},   {170, 170, 170},
                                   {85, 85, 85},  {85, 85, 255},  {85, 255, 85},  {85, 255, 255},
                                   {255, 85, 85}, {255, 85, 255}, {255, 255, 85}, {255, 255, 255}};
  for (TImageFormat format : {ifColor16, ifColor256}) {
    const TDibPalette* p = DefaultDibPalette(format);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Version, TDibPalette::kVersion);
    for (int i = 0; i < 16; ++i) {
      const auto* b = reinterpret_cast<const uint8_t*>(&p->Entries[i]);
      EXPECT_EQ(b[0], expected[i][0]) << "entry " << i;
      EXPECT_EQ(b[1], expected[i][1]) << "entry " << i;
      EXPECT_EQ(b[2], expected[i][2]) << "entry " << i;
    }
  }
  EXPECT_EQ(DefaultDibPalette(ifColor16)->Count, 16);
}

TEST(DefaultPalettes, TheTwoHundredFiftySixColourTableHasItsRampWheelAndBlackTail) {
  const TDibPalette& p = *DefaultDibPalette(ifColor256);
  ASSERT_EQ(p.Count, 256);
  const int ramp[16] = {0, 20, 32, 44, 56, 69, 81, 97, 113, 130, 146, 162, 182, 203, 227, 255};
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(p.Value(16 + i), ramp[i] * 0x010101u) << i;
  for (int i = 248; i < 256; ++i)
    EXPECT_EQ(p.Value(i), 0u) << i;
  // Nine runs of 24 hues: three intensities, each at three saturations, the first fully saturated.
  const int maximum[3] = {255, 113, 65};
  std::set<TPixelColor> wheel;
  for (int run = 0; run < 9; ++run) {
    int runMax = 0, runMin = 255;
    for (int i = 0; i < 24; ++i) {
      const auto& e = p.Entries[32 + run * 24 + i];
      const int hi = std::max({e.Blue, e.Green, e.Red}), lo = std::min({e.Blue, e.Green, e.Red});
      EXPECT_EQ(hi, maximum[run / 3]) << "run " << run << " entry " << i; // every hue at full
      runMax = std::max(runMax, hi);
      runMin = std::min(runMin, lo);
      wheel.insert(p.Value(32 + run * 24 + i));
    }
    if (run % 3 == 0)
      EXPECT_EQ(runMin, 0) << run;
    else
      EXPECT_GT(runMin, 0) << run; // paler runs never reach zero
  }
  EXPECT_EQ(wheel.size(), 216u); // 216 distinct colours
}

TEST(DefaultPalettes, GreyAndBlackWhiteTablesAreRamps) {
  const TDibPalette& bw = *DefaultDibPalette(ifBlackWhite);
  EXPECT_EQ(bw.Count, 2);
  EXPECT_EQ(bw.Value(0), 0u);
  EXPECT_EQ(bw.Value(1), 0xFFFFFFu);
  const TDibPalette& g16 = *DefaultDibPalette(ifGray16);
  ASSERT_EQ(g16.Count, 16);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(g16.Value(i), static_cast<TPixelColor>(i * 17) * 0x010101u);
  const TDibPalette& g256 = *DefaultDibPalette(ifGray256);
  ASSERT_EQ(g256.Count, 256);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(g256.Value(i), static_cast<TPixelColor>(i) * 0x010101u);
  EXPECT_EQ(DefaultDibPalette(ifTrueColor), nullptr);
  EXPECT_EQ(DefaultDibPalette(static_cast<TImageFormat>(6)), nullptr);
}

TEST(DefaultPalettes, SystemColoursPutDarkGreyBeforeLightGrey) {
  const TPalette& s16 = SystemPalette16();
  ASSERT_EQ(s16.Count(), 16);
  EXPECT_EQ(s16.Color(0), clBlack);
  EXPECT_EQ(s16.Color(7), clGray);
  EXPECT_EQ(s16.Color(8), clSilver);
  EXPECT_EQ(s16.Color(9), clRed);
  EXPECT_EQ(s16.Color(15), clWhite);
  std::set<TColor> distinct;
  for (int i = 0; i < 16; ++i)
    distinct.insert(s16.Color(i));
  EXPECT_EQ(distinct.size(), 16u);
  const TPalette& s20 = SystemPalette20();
  ASSERT_EQ(s20.Count(), 20);
  EXPECT_EQ(s20.Color(7), clSilver);
  EXPECT_EQ(s20.Color(12), clGray);
}

TEST(FormatDescription, NamesEachFormatAndNothingElse) {
  EXPECT_EQ(FormatDescription(ifBlackWhite), "Black and white");
  EXPECT_EQ(FormatDescription(ifGray16), "16 shades of gray");
  EXPECT_EQ(FormatDescription(ifGray256), "256 shades of gray");
  EXPECT_EQ(FormatDescription(ifColor16), "16 color");
  EXPECT_EQ(FormatDescription(ifColor256), "256 color");
  EXPECT_EQ(FormatDescription(ifTrueColor), "True color");
  EXPECT_EQ(FormatDescription(static_cast<TImageFormat>(6)), "");
}

TEST(RgbToPaletteConverter, FindsTheNearestEntryWithTheLowestIndexOnTies) {
  TDibPalette p = RecordOf({0x000000, 0x020202, 0x0A0A0A, 0x000000});
  TRgbToPaletteConverter converter(p);
  EXPECT_EQ(converter.NearestIndex(0x010101), 0); // tie between 0 and 1
  EXPECT_EQ(converter.NearestIndex(0x000000), 0); // exact match at 0 stops before 3
  EXPECT_EQ(converter.NearestIndex(0x090909), 2);
  EXPECT_EQ(converter.NearestIndex(0xFF090909), 2); // the top byte is not a colour

  TDibPalette two = RecordOf({0x000000, 0xFFFFFF});
  TRgbToPaletteConverter bw(two);
  EXPECT_EQ(bw.NearestIndex(0x808080), 1); // 127 away from white, 128 from black
  EXPECT_EQ(bw.NearestIndex(0x7F7F7F), 0);

  TDibPalette empty = RecordOf({});
  EXPECT_EQ(TRgbToPaletteConverter(empty).NearestIndex(0x123456), 0);

  TDibPalette limited = RecordOf({0x000000, 0x123456});
  limited.Count = 1; // entries past the count are never considered
  EXPECT_EQ(TRgbToPaletteConverter(limited).NearestIndex(0x123456), 0);
}

TEST(RgbToPaletteConverter, CachesOneAnswerPerSlotOfValueModulo1020) {
  TDibPalette p = RecordOf({0x000000, 0x000010});
  TRgbToPaletteConverter converter(p);
  const TPixelColor v = 0x00000C, sameSlot = v + TRgbToPaletteConverter::kCacheSlots;
  EXPECT_EQ(converter.NearestIndex(v), 1);
  p.SetValue(0, 0x00000C); // the palette changes behind the converter's back
  EXPECT_EQ(converter.NearestIndex(v), 1) << "a cached answer is returned without a search";
  EXPECT_EQ(converter.NearestIndex(sameSlot), 0) << "another value searches afresh";
  EXPECT_EQ(converter.NearestIndex(v), 0) << "and replaced the slot, so v is searched again";
  p.SetValue(0, 0xFFFFFF);
  EXPECT_EQ(converter.NearestIndex(v), 0);
  converter.Reset();
  EXPECT_EQ(converter.NearestIndex(v), 1);
}

} // namespace
} // namespace kestrel
