// Icons: files written by other programs read against those programs' own decoding, the choice
// of the image shown, transparent drawing, and the one-image files we write.

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"
#include "imaging/icon/Icon.h"

#include <QImage>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::DataPath;
using test::ReadFileBytes;

std::unique_ptr<TIcon> LoadIcon(const std::vector<uint8_t>& bytes) {
  auto icon = std::make_unique<TIcon>();
  TSpanStream stream(bytes.data(), bytes.size());
  icon->LoadFromStream(stream);
  return icon;
}

std::unique_ptr<TIcon> LoadIconFile(const std::string& name) {
  return LoadIcon(ReadFileBytes(DataPath("icon/" + name)));
}

// The same alpha everywhere, and the same colour wherever a pixel is not wholly transparent.
void ExpectSameImage(const QImage& actual, const QImage& reference) {
  const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
  const QImage r = reference.convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(a.size(), r.size());
  int differ = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = r.pixel(x, y);
      const bool same = qAlpha(p) == qAlpha(q) && (qAlpha(p) == 0 || p == q);
      if (!same && differ++ == 0)
        ADD_FAILURE() << "first difference at " << x << ", " << y << std::hex << ": " << p
                      << " instead of " << q;
    }
  }
  EXPECT_EQ(differ, 0);
}

class IconFiles : public ::testing::TestWithParam<const char*> {};

TEST_P(IconFiles, DecodeAsTheirWritersReferenceDoes) {
  const std::string name = GetParam();
  const auto icon = LoadIconFile(name + ".ico");
  ExpectSameImage(icon->Image(), QImage(QString::fromStdString(DataPath("icon/" + name + ".png"))));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, IconFiles,
                         ::testing::Values("pal1", "pal4-mask", "pal8-mask", "rgb24", "argb32",
                                           "nomask32", "multi", "png"),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(Icon, EveryImageIsListedAndTheLargestDeepestIsShown) {
  const auto multi = LoadIconFile("multi.ico");
  ASSERT_EQ(multi->Entries().size(), 3u);
  EXPECT_EQ(multi->Entries()[0].Width, 16);
  EXPECT_EQ(multi->Entries()[1].Width, 48);
  EXPECT_EQ(multi->Entries()[2].Width, 32);
  EXPECT_EQ(multi->ShownEntry(), 1);
  EXPECT_EQ(multi->Width(), 48);
  EXPECT_EQ(multi->Height(), 48);

  const auto png = LoadIconFile("png.ico");
  EXPECT_TRUE(png->Entries()[0].Png);
  EXPECT_EQ(png->Width(), 48);

  const auto depths = LoadIconFile("depths.ico");
  std::vector<int> bits, palettes;
  for (const TIcoEntry& e : depths->Entries()) {
    EXPECT_EQ(e.Width, 32);
    EXPECT_FALSE(e.Png);
    bits.push_back(e.BitsPerPixel);
    palettes.push_back(e.PaletteEntries);
  }
  EXPECT_EQ(bits, (std::vector<int>{1, 4, 32, 8, 24}));
  EXPECT_EQ(palettes, (std::vector<int>{2, 16, 0, 256, 0}));
  EXPECT_EQ(depths->ShownEntry(), 2);
  ExpectSameImage(depths->Image(), QImage(QString::fromStdString(DataPath("icon/argb32.png"))));
  const TImageInfo info = depths->Info();
  EXPECT_EQ(info.BitsPerPixel, 32);
  EXPECT_EQ(info.Frames, 5);

  TFileStream stream(DataPath("icon/pal8-mask.ico"), TFileMode::OpenRead);
  const TImageInfo read = TIcon().ReadInfo(stream);
  EXPECT_EQ(read.Width, 32);
  EXPECT_EQ(read.BitsPerPixel, 8);
  EXPECT_EQ(read.PaletteEntries, 256);
}

TEST(Icon, DrawingLeavesTransparentPixelsAlone) {
  const auto icon = LoadIconFile("pal4-mask.ico");
  for (const TPixelFormat format : {pf24bit, pf8bit, pf32bit}) {
    TBitmap canvas(40, 40, format);
    canvas.Canvas().Brush.Color = clLime;
    canvas.Canvas().FillRect({0, 0, 40, 40});
    canvas.Canvas().Draw(4, 4, *icon);
    EXPECT_EQ(canvas.PixelColor(5, 5), 0x00FF00u) << format;   // the icon's transparent border
    EXPECT_EQ(canvas.PixelColor(9, 9), 0x0000FFu) << format;   // its first, blue, block
    EXPECT_EQ(canvas.PixelColor(25, 25), 0xFF0000u) << format; // a red one
    EXPECT_EQ(canvas.PixelColor(38, 38), 0x00FF00u) << format; // beside the icon
  }
  // Half-transparent pixels are blended with what is beneath.
  const auto alpha = LoadIconFile("png.ico");
  TBitmap black(48, 48, pf24bit);
  black.Canvas().Brush.Color = clBlack;
  black.Canvas().FillRect({0, 0, 48, 48});
  black.Canvas().StretchDraw({0, 0, 96, 96}, *alpha);
  EXPECT_EQ(black.PixelColor(2, 2), 0u);
  EXPECT_EQ(black.PixelColor(40, 40), alpha->Image().pixel(20, 20) & 0xFFFFFF); // stretched 2:1
}

TEST(Icon, ImagesMadeFromAColourAndAMaskAreWrittenAndReadBack) {
  for (const TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
    const auto color = test::PatternBitmap(20, 10, format);
    TBitmap mask(20, 10, pf1bit);
    mask.Canvas().Brush.Color = clBlack;
    mask.Canvas().FillRect({0, 0, 20, 10});
    mask.Canvas().Brush.Color = clWhite;
    mask.Canvas().FillRect({0, 0, 5, 3});
    TIcon icon;
    icon.SetImages(*color, mask);
    TMemoryStream stream;
    icon.SaveToStream(stream);
    const auto read = LoadIcon(stream.Bytes());
    ASSERT_EQ(read->Entries().size(), 1u);
    EXPECT_EQ(read->Entries()[0].BitsPerPixel, format == pf32bit ? 24 : color->BitsPerPixel());
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 20; ++x) {
        const QRgb p = read->Image().pixel(x, y);
        ASSERT_EQ(qAlpha(p), x < 5 && y < 3 ? 0 : 255) << x << "," << y;
        ASSERT_EQ(p & 0xFFFFFF, color->PixelColor(x, y)) << x << "," << y << " " << format;
      }
    }
    // The directory and header as other readers expect them: height doubled, 1 plane.
    const std::vector<uint8_t>& b = stream.Bytes();
    EXPECT_EQ(b[6], 20);
    EXPECT_EQ(b[7], 10);
    EXPECT_EQ(b[22 + 8], 20); // the info header's height covers colour rows and mask rows
    EXPECT_EQ(b[22 + 12], 1);
  }
}

TEST(Icon, WhatCannotBeAnIconIsRefused) {
  TIcon icon;
  TMemoryStream stream;
  EXPECT_THROW(icon.SaveToStream(stream), EInvalidGraphic);
  TBitmap big(257, 4, pf24bit), mask(257, 4, pf1bit);
  EXPECT_THROW(icon.SetImages(big, mask), EInvalidGraphic);
  EXPECT_TRUE(icon.Empty());
  EXPECT_THROW(icon.SetWidth(10), EInvalidGraphicOperation);
  TBitmap bitmap(4, 4, pf24bit);
  EXPECT_THROW(icon.Assign(&bitmap), EConvertError);
}

TEST(Icon, RegisteredForIcoFilesAndSavedAsRead) {
  const auto format = TPicture::FindFileFormat("x.ICO");
  ASSERT_TRUE(format);
  EXPECT_EQ(format->Description, "Icons");
  TPicture picture;
  picture.LoadFromFile(DataPath("icon/multi.ico"));
  ASSERT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
  TMemoryStream saved;
  picture.Graphic()->SaveToStream(saved);
  EXPECT_EQ(saved.Bytes(), ReadFileBytes(DataPath("icon/multi.ico")));
  TIcon copy;
  copy.Assign(picture.Graphic());
  EXPECT_EQ(copy.ShownEntry(), 1);
  // A bitmap gets the icon on white.
  TBitmap bitmap;
  bitmap.Assign(&copy);
  EXPECT_EQ(bitmap.Width(), 48);
  EXPECT_EQ(bitmap.PixelColor(0, 0), 0xFFFFFFu);
  EXPECT_EQ(bitmap.PixelColor(20, 20), copy.Image().pixel(20, 20) & 0xFFFFFF);
}

} // namespace
} // namespace kestrel
