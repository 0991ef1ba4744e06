// The device bitmap: size changes, pixel formats, palettes, the display image, transparency and
// assignment.

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Picture.h"

#include <gtest/gtest.h>

#include <set>

namespace kestrel {
namespace {

using test::PatternBitmap;
using test::PixelsOf;

constexpr TPixelFormat kAllFormats[] = {pf1bit,  pf4bit,  pf8bit,  pf15bit,
                                        pf16bit, pf24bit, pf32bit, pfDevice};

TEST(BitmapSize, NewBitmapsAreWhiteAndGrowingFillsWithTheBrush) {
  for (TPixelFormat f : kAllFormats) {
    TBitmap b(3, 2, f);
    EXPECT_EQ(PixelsOf(b), std::vector<TPixelColor>(6, 0xFFFFFF)) << f;
    b.Canvas().SetPixel(0, 0, clBlack);
    b.Canvas().Brush.Color = clBlack;
    b.SetSize(5, 3);
    const std::vector<TPixelColor> expected = {
        0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(PixelsOf(b), expected) << f;
    b.SetSize(1, 2); // shrinking cuts off the right and bottom
    EXPECT_EQ(PixelsOf(b), (std::vector<TPixelColor>{0, 0xFFFFFF})) << f;
    b.SetSize(0, 2);
    EXPECT_TRUE(b.Empty());
  }
}

TEST(BitmapSize, LargePicturesAreFilledCopiedAndFreedLikeSmallOnes) {
  // Above a few megabytes the pixels live in memory of another kind (huge pages).
  TBitmap big(2200, 1600, pf24bit);
  const auto allWhite = [](const TBitmap& b) {
    for (int y = 0; y < b.Height(); ++y) {
      const uint8_t* row = b.ScanLine(y);
      for (int x = 0; x < b.Width() * 3; ++x)
        if (row[x] != 0xFF) return false;
    }
    return true;
  };
  EXPECT_TRUE(allWhite(big));
  TBitmap copy;
  copy.Assign(&big);
  big.Canvas().SetPixel(2199, 1599, clBlack);
  EXPECT_EQ(big.Canvas().Pixel(2199, 1599), clBlack);
  EXPECT_TRUE(allWhite(copy));
  big.SetSize(2300, 1700); // a new block, the old pixels carried over
  EXPECT_EQ(big.Canvas().Pixel(2199, 1599), clBlack);
  EXPECT_EQ(big.Canvas().Pixel(2299, 1699), clWhite);
}

TEST(BitmapSize, TheMemoryLimitIsChecked) {
  ImageLimits::SetMaxBytes(4096);
  TBitmap b;
  EXPECT_THROW(b.SetSize(100, 100), EInvalidGraphic);
  EXPECT_THROW(b.NewImage(100, 100, pf24bit, {}), EInvalidGraphic);
  ImageLimits::SetMaxBytes(0);
  EXPECT_TRUE(b.Empty());
  EXPECT_THROW(b.ScanLine(0), EInvalidGraphicOperation);
}

TEST(BitmapFormat, ConversionsBetweenDirectFormatsKeepWhatBothCanHold) {
  auto source = PatternBitmap(13, 7, pf24bit);
  for (TPixelFormat f : {pf32bit, pfDevice}) {
    TBitmap b;
    b.Assign(source.get());
    b.SetPixelFormat(f);
    EXPECT_EQ(b.BitsPerPixel(), 32);
    EXPECT_EQ(PixelsOf(b), PixelsOf(*source));
  }
  for (TPixelFormat f : {pf15bit, pf16bit}) {
    TBitmap b;
    b.Assign(source.get());
    b.SetPixelFormat(f);
    const auto once = PixelsOf(b);
    const auto original = PixelsOf(*source);
    for (size_t i = 0; i < once.size(); ++i)
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(int(once[i] >> shift & 0xFF), int(original[i] >> shift & 0xFF), 8);
    b.SetPixelFormat(pf24bit);
    b.SetPixelFormat(f);
    EXPECT_EQ(PixelsOf(b), once) << "quantising twice changes nothing more";
  }
}

TEST(BitmapFormat, PaletteFormatsKeepIndicesWhenGrowing) {
  auto b = PatternBitmap(9, 3, pf1bit);
  const TPalette palette = b->OwnPalette();
  const auto colours = PixelsOf(*b);
  b->SetPixelFormat(pf4bit);
  b->SetPixelFormat(pf8bit);
  EXPECT_EQ(b->OwnPalette(), palette);
  EXPECT_EQ(PixelsOf(*b), colours);
  EXPECT_EQ(b->ScanLine(1)[0], 1); // index (0 + 3) % 2
  b->SetPixelFormat(pf24bit);
  EXPECT_EQ(PixelsOf(*b), colours);
  EXPECT_EQ(b->OwnPalette(), palette) << "a direct-colour bitmap keeps its palette attached";
}

TEST(BitmapFormat, ToAPaletteFormatColoursTakeTheNearestEntry) {
  TBitmap b(3, 1, pf24bit);
  b.Canvas().SetPixel(0, 0, RgbColor(250, 10, 10));
  b.Canvas().SetPixel(1, 0, RgbColor(10, 10, 240));
  b.Canvas().SetPixel(2, 0, RgbColor(0, 200, 0));
  b.SetPalette(TPalette{{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}});
  b.SetPixelFormat(pf8bit);
  EXPECT_EQ(b.ScanLine(0)[0], 0);
  EXPECT_EQ(b.ScanLine(0)[1], 2);
  EXPECT_EQ(b.ScanLine(0)[2], 1);
  // Without a palette that fits, the format's default is used: the 16 standard colours here.
  TBitmap plain(2, 1, pf24bit);
  plain.Canvas().SetPixel(0, 0, clBlack);
  plain.SetPixelFormat(pf4bit);
  EXPECT_EQ(plain.OwnPalette(), SystemPalette16());
  EXPECT_EQ(PixelRows::GetIndex(plain.ScanLine(0), 0, 4), 0);
  EXPECT_EQ(PixelRows::GetIndex(plain.ScanLine(0), 1, 4), 15);
  EXPECT_THROW(plain.SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST(BitmapPalette, SettingItRecoloursPaletteFormatsAndIgnorePaletteHidesIt) {
  auto b = PatternBitmap(4, 4, pf4bit);
  TPalette inverted = b->OwnPalette();
  for (int i = 0; i < inverted.Count(); ++i)
    inverted.SetColor(i, 0xFFFFFF ^ inverted.Color(i));
  const auto before = PixelsOf(*b);
  b->SetPalette(inverted);
  const auto after = PixelsOf(*b);
  for (size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(after[i], 0xFFFFFF ^ before[i]);
  b->SetIgnorePalette(true);
  EXPECT_TRUE(b->Palette().IsNull());
  EXPECT_EQ(b->OwnPalette(), inverted);
  EXPECT_EQ(PixelsOf(*b), after) << "the colour table still colours the pixels";
  TPalette big = TPalette::Black(40);
  b->SetPalette(big);
  EXPECT_EQ(b->OwnPalette().Count(), 16) << "a 4-bit bitmap holds 16 entries at most";
}

TEST(BitmapImage, TheDisplayImageShowsThePixelsOfEveryFormat) {
  for (TPixelFormat f : kAllFormats) {
    auto b = PatternBitmap(10, 3, f);
    const QImage image = b->Image();
    ASSERT_EQ(image.width(), 10);
    const auto ours = PixelsOf(*b);
    const auto shown = PixelsOf(image);
    // Qt widens 5- and 6-bit channels by copying bits, we round: they may differ by one.
    for (size_t i = 0; i < ours.size(); ++i)
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(int(shown[i] >> shift & 0xFF), int(ours[i] >> shift & 0xFF),
                    f == pf15bit || f == pf16bit ? 1 : 0)
            << f << " pixel " << i;
  }
}

TEST(BitmapImage, TheImageIsAViewOfTheStorage) {
  TBitmap b(4, 2, pf24bit);
  const QImage image = b.Image();
  EXPECT_EQ(image.format(), QImage::Format_BGR888);
  EXPECT_EQ(image.constBits(), b.ScanLine(0)) << "no copy is made";
  uint8_t* row = b.ScanLine(1);
  row[0] = 0x10, row[1] = 0x20, row[2] = 0x30;
  EXPECT_EQ(image.pixel(0, 1) & 0xFFFFFF, 0x302010u);
}

TEST(BitmapImage, LoadingAQtImageKeepsItsDepth) {
  QImage mono(9, 2, QImage::Format_Mono);
  mono.setColorTable({0xFF000000, 0xFFFF0000});
  mono.fill(0);
  mono.setPixel(3, 1, 1);
  TBitmap b;
  b.LoadFromImage(mono);
  EXPECT_EQ(b.PixelFormat(), pf1bit);
  EXPECT_EQ(b.PixelColor(3, 1), 0xFF0000u);
  EXPECT_EQ(b.PixelColor(2, 1), 0u);

  QImage rgb(2, 1, QImage::Format_RGB888);
  rgb.setPixel(1, 0, 0xFF123456);
  b.LoadFromImage(rgb);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.PixelColor(1, 0), 0x123456u);

  for (auto [format, pixel] :
       {std::pair{QImage::Format_RGB16, pf16bit}, std::pair{QImage::Format_RGB555, pf15bit},
        std::pair{QImage::Format_Indexed8, pf8bit}}) {
    QImage q(3, 3, format);
    if (format == QImage::Format_Indexed8) q.setColorTable({0xFF000000, 0xFF00FF00});
    if (format == QImage::Format_Indexed8)
      q.fill(1);
    else
      q.fill(QColor(0, 255, 0));
    b.LoadFromImage(q);
    EXPECT_EQ(b.PixelFormat(), pixel);
    EXPECT_EQ(b.PixelColor(2, 2), 0x00FF00u);
  }

  QImage alpha(1, 1, QImage::Format_ARGB32);
  alpha.setPixel(0, 0, qRgba(200, 100, 50, 128));
  b.LoadFromImage(alpha);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  const TPixelColor c = b.PixelColor(0, 0);
  EXPECT_NEAR(int(c >> 16), 100, 1) << "alpha is dropped onto black";
  EXPECT_EQ(b.Image().pixel(0, 0) >> 24, 0xFFu) << "32-bit pixels read as opaque";
}

TEST(BitmapTransparency, TransparentPixelsAreNotDrawn) {
  TBitmap sprite(3, 1, pf24bit);
  sprite.Canvas().SetPixel(0, 0, clRed);
  sprite.Canvas().SetPixel(1, 0, clLime);
  sprite.Canvas().SetPixel(2, 0, clRed);
  EXPECT_EQ(sprite.TransparentColor(), clRed) << "automatic: the bottom-left pixel";
  sprite.SetTransparent(true);
  TBitmap target(3, 1, pf24bit);
  target.Canvas().Draw(0, 0, sprite);
  EXPECT_EQ(PixelsOf(target), (std::vector<TPixelColor>{0xFFFFFF, 0x00FF00, 0xFFFFFF}));
  const QImage mask = sprite.TransparencyMask();
  EXPECT_EQ(mask.pixelIndex(0, 0), 1);
  EXPECT_EQ(mask.pixelIndex(1, 0), 0);
  sprite.SetTransparentColor(clLime);
  EXPECT_EQ(sprite.TransparentMode(), tmFixed);
  target.Canvas().Draw(0, 0, sprite);
  EXPECT_EQ(PixelsOf(target), (std::vector<TPixelColor>{0xFF0000, 0x00FF00, 0xFF0000}));
}

TEST(BitmapAssign, CopiesAreDeepAndCompleteAndOtherSourcesAreAsked) {
  auto source = PatternBitmap(5, 4, pf8bit);
  source->SetPelsPerMeter(100, 200);
  source->SetIgnorePalette(true);
  TBitmap copy;
  copy.Assign(source.get());
  EXPECT_EQ(copy.PixelFormat(), pf8bit);
  EXPECT_EQ(copy.OwnPalette(), source->OwnPalette());
  EXPECT_EQ(copy.XPelsPerMeter(), 100);
  EXPECT_TRUE(copy.IgnorePalette());
  EXPECT_EQ(PixelsOf(copy), PixelsOf(*source));
  source->ScanLine(0)[0] ^= 1;
  EXPECT_NE(copy.ScanLine(0)[0], source->ScanLine(0)[0]);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  TPicture nothing;
  try {
    copy.Assign(&nothing);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TPicture to a TBitmap");
  }
}

TEST(BitmapEvents, DrawingSignalsAChange) {
  TBitmap b(4, 4, pf24bit);
  int changes = 0;
  b.OnChange = [&](TGraphic&) { ++changes; };
  b.Canvas().FillRect({0, 0, 2, 2});
  EXPECT_GE(changes, 1);
  EXPECT_TRUE(b.Modified());
}

TEST(BitmapClipboard, BitmapsTravelWithTheirPalette) {
  auto b = PatternBitmap(6, 2, pf24bit);
  b->SetPalette(SystemPalette16());
  TClipboardFormat format = 0;
  TClipboardData data;
  TPalette palette;
  b->SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, CF_BITMAP);
  EXPECT_EQ(palette, SystemPalette16());
  TBitmap back;
  back.LoadFromClipboardFormat(format, data, palette);
  EXPECT_EQ(PixelsOf(back), PixelsOf(*b));
  EXPECT_THROW(back.LoadFromClipboardFormat(7, data, palette), EInvalidGraphic);
}

} // namespace
} // namespace kestrel
