#include "app/view/ViewTexts.h"
#include "app/view/DrawingPalette.h"
#include "app/view/ImageKind.h"
#include "app/view/Sound.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/jpeg/JpegImage.h"
#include "processing/colour/FixedPalettes.h"

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

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
  const TPalette p = MakePalette236();
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
