#include "app/view/ViewTexts.h"
#include "app/view/DrawingPalette.h"
#include "app/view/ImageKind.h"
#include "app/view/Sound.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/jpeg/JpegImage.h"

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(SizeText, UnitsDecimalsAndPrefixes) {
  EXPECT_EQ(SizeText(skFile, 0), "");
  EXPECT_EQ(SizeText(skFile, 500), "Size: 500 Bytes");
  EXPECT_EQ(SizeText(skFile, 1023), "Size: 1023 Bytes");
  EXPECT_EQ(SizeText(skFile, 1024), "Size: 1 KB");
  EXPECT_EQ(SizeText(skFile, 1536), "Size: 1.5 KB");
  EXPECT_EQ(SizeText(skFile, 1025), "Size: 1 KB");       // 1.00098: two decimals, zeros dropped
  EXPECT_EQ(SizeText(skFile, 1048575), "Size: 1024 KB"); // 1023.999 rounds up to 1024.00
  EXPECT_EQ(SizeText(skFile, 1048576), "Size: 1 MB");
  EXPECT_EQ(SizeText(skFile, 1234567), "Size: 1.18 MB");             // 1.1774
  EXPECT_EQ(SizeText(skFile, int64_t(5) << 40), "Size: 5242880 MB"); // no unit past MB
  EXPECT_EQ(SizeText(skPlain, 2048), "2 KB");
  EXPECT_EQ(SizeText(skFreeSpace, 3 << 20), "Space Free: 3 MB");
  EXPECT_EQ(SizeText(skImageMemory, 10), "Memory Size of Image: 10 Bytes");
  EXPECT_EQ(SizeText(7, 10), "Size:10 Bytes");
}

TEST(PixelFormatText, EachKindOfPictureByItsDepth) {
  TBitmap bitmap;
  EXPECT_EQ(PixelFormatText(&bitmap), " ( pfDevice bits/pixel )");
  const struct {
    TPixelFormat Format;
    const char* Text;
  } bitmaps[] = {{pf1bit, "1"},   {pf4bit, "4"},   {pf8bit, "8"},  {pf15bit, "15"},
                 {pf16bit, "16"}, {pf24bit, "24"}, {pf32bit, "32"}};
  for (const auto& b : bitmaps) {
    bitmap.SetPixelFormat(b.Format);
    EXPECT_EQ(PixelFormatText(&bitmap), QString(" ( %1 bits/pixel )").arg(b.Text)) << b.Text;
  }
  TJPEGImage jpeg;
  jpeg.SetPixelFormat(jf8Bit);
  EXPECT_EQ(PixelFormatText(&jpeg), " ( 8 bits/pixel )");
  jpeg.SetPixelFormat(jf24Bit);
  EXPECT_EQ(PixelFormatText(&jpeg), " ( 24 bits/pixel )");
  TDibGraphic dib;
  const struct {
    TImageFormat Format;
    const char* Text;
  } dibs[] = {{ifBlackWhite, "1"}, {ifGray16, "4"},   {ifColor16, "4"},
              {ifGray256, "8"},    {ifColor256, "8"}, {ifTrueColor, "24"}};
  for (const auto& d : dibs) {
    dib.NewImage(2, 2, d.Format);
    EXPECT_EQ(PixelFormatText(&dib), QString(" ( %1 bits/pixel )").arg(d.Text)) << d.Text;
  }
  TSound sound;
  EXPECT_EQ(PixelFormatText(&sound), "");
  EXPECT_EQ(PixelFormatText(nullptr), "");
}

TEST(Captions, ScaleCaptionAndDescription) {
  EXPECT_EQ(CaptionText(2, 1, "/p/a.bmp"), "(Magn 2:1, Scale 1:1) - /p/a.bmp");
  EXPECT_EQ(PaletteText(0, true), "No Palette");
  EXPECT_EQ(PaletteText(256, false), "256 Color Palette");
  EXPECT_EQ(PaletteText(16, true), "16 Color Synthesized Palette");
  EXPECT_EQ(ImageDescriptionText("/p/holiday.2020.jpg", " ( 24 bits/pixel )", "No Palette"),
            "Editor Image: holiday.2020  ( 24 bits/pixel ) - No Palette");
}

TEST(DrawingPalettes, MetafilesIconsGifsAndTheRest) {
  const TPalette& p = Palette236();
  ASSERT_EQ(p.Count(), 236);
  const TPalette& system = SystemPalette20();
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(p[i], system[i]) << i;
    EXPECT_EQ(p[226 + i], system[10 + i]) << i;
  }
  // The cube: red slowest, blue fastest, levels of 51.
  EXPECT_EQ(p[10], (TPaletteEntry{0, 0, 0, 0}));
  EXPECT_EQ(p[11], (TPaletteEntry{0, 0, 51, 0}));
  EXPECT_EQ(p[16], (TPaletteEntry{0, 51, 0, 0}));
  EXPECT_EQ(p[46], (TPaletteEntry{51, 0, 0, 0}));
  EXPECT_EQ(p[225], (TPaletteEntry{255, 255, 255, 0}));

  const auto bitmap = test::IndexedBitmap(4, 4, 5);
  EXPECT_EQ(DrawingPalette(*bitmap, {ikWmf, false, false}), p);
  EXPECT_EQ(DrawingPalette(*bitmap, {ikEmf, false, false}), p);
  const TPalette icon = DrawingPalette(*bitmap, {ikIcon, false, false});
  ASSERT_EQ(icon.Count(), 16);
  EXPECT_EQ(icon[7], system[12]); // entries 0..6, 12, 7, 13..19 of the default palette
  EXPECT_EQ(icon[8], system[7]);
  EXPECT_EQ(icon[15], system[19]);
  EXPECT_TRUE(DrawingPalette(*bitmap, {ikGif, true, false}).IsNull());
  EXPECT_EQ(DrawingPalette(*bitmap, {ikGif, true, true}).Count(), 5);
  EXPECT_EQ(DrawingPalette(*bitmap, {ikBmp, false, false}), bitmap->Palette());
}

} // namespace
} // namespace kestrel
