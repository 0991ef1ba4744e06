// Frames as bitmaps: rendering with the colour table, the transparency mask, drawing at the frame's
// place, tiled or through the mask, and frames made from palette bitmaps.

#include "imaging/core/Bitmap.h"
#include "imaging/core/BitmapReducer.h"
#include "imaging/core/Canvas.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFGraphicControlExtension.h"
#include "imaging/gif/GIFImage.h"

#include "../support/ImagingTestSupport.h"
#include "GIFImageTestSupport.h"
#include "GifReference.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

constexpr TPixelColor kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr TPixelColor kGrey = 0x808080;

// A 4-colour frame (red, green, blue, white) whose index 3 is transparent.
TGIFSubImage& ColourFrame(TGIFImage& image, int left, int top, int width, int height,
                          const std::vector<uint8_t>& pixels, bool transparent = true) {
  TGIFSubImage& frame = AddFrame(image, left, top, width, height, pixels);
  for (TPixelColor c : {kRed, kGreen, kBlue, kWhite})
    frame.ColorMap().Add({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
  auto control = std::make_unique<TGIFGraphicControlExtension>();
  control->Transparent = transparent;
  control->TransparentColorIndex = 3;
  frame.Extensions().Add(std::move(control));
  return frame;
}

std::unique_ptr<TBitmap> GreyCanvas(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
  bitmap->Canvas().Brush.Color = ColorOfPixel(kGrey);
  bitmap->Canvas().FillRect({0, 0, width, height});
  return bitmap;
}

} // namespace

TEST(GIFRender, FrameBitmapAndMask) {
  TGIFImage image;
  image.Header().Width = 3;
  image.Header().Height = 2;
  WarningLog log;
  image.OnWarning = log.Event();
  TGIFSubImage& frame = ColourFrame(image, 0, 0, 3, 2, {0, 1, 2, 3, 7, 1});
  const TBitmap& bitmap = frame.Bitmap();
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  EXPECT_EQ(bitmap.OwnPalette().Count(), 4);
  EXPECT_EQ(test::PixelsOf(bitmap),
            (std::vector<TPixelColor>{kRed, kGreen, kBlue, kWhite, kRed, kGreen}));
  EXPECT_EQ(log.messages, std::vector<std::string>{"Invalid color index"})
      << "index 7 shows entry 0";
  const TBitmap* mask = frame.Mask();
  ASSERT_TRUE(mask);
  EXPECT_EQ(mask->PixelFormat(), pf1bit);
  EXPECT_EQ(test::PixelsOf(*mask), (std::vector<TPixelColor>{0, 0, 0, kWhite, 0, 0}));
  // A changed pixel renders anew.
  frame.SetPixel(0, 1, 2);
  EXPECT_EQ(frame.Bitmap().PixelColor(0, 1), kBlue);
  frame.SetPixel(0, 0, 3);
  EXPECT_EQ(test::PixelsOf(*frame.Mask()), (std::vector<TPixelColor>{kWhite, 0, 0, 0, 0, 0}));
  // No pixel with the transparent index, or no transparency: no mask.
  EXPECT_EQ(ColourFrame(image, 0, 0, 2, 1, {0, 1}).Mask(), nullptr);
  EXPECT_EQ(ColourFrame(image, 0, 0, 2, 1, {3, 3}, false).Mask(), nullptr);
  TGIFSubImage empty(&image);
  EXPECT_THROW(empty.Bitmap(), GIFException);
  EXPECT_THROW(empty.ScanLine(0), GIFException);
  EXPECT_THROW(frame.Pixel(3, 0), GIFException);
  EXPECT_THROW(frame.SetBounds(0, 0, 70000, 1), GIFException);
}

TEST(GIFRender, DrawingPlacesScalesTilesAndMasks) {
  TGIFImage image;
  image.Header().Width = 10;
  image.Header().Height = 10;
  // 2 x 2 at (2, 1): red, white (transparent) / green, blue.
  ColourFrame(image, 2, 1, 2, 2, {0, 3, 1, 2});
  // Transparent drawing into a 20 x 20 rectangle: the frame lands at (4, 2) scaled by 2 and the
  // masked pixels keep the grey underneath.
  auto target = GreyCanvas(20, 20);
  image.Draw(target->Canvas(), {0, 0, 20, 20});
  EXPECT_EQ(target->PixelColor(3, 3), kGrey);
  EXPECT_EQ(target->PixelColor(4, 2), kRed);
  EXPECT_EQ(target->PixelColor(5, 3), kRed);
  EXPECT_EQ(target->PixelColor(6, 2), kGrey);
  EXPECT_EQ(target->PixelColor(7, 3), kGrey);
  EXPECT_EQ(target->PixelColor(4, 4), kGreen);
  EXPECT_EQ(target->PixelColor(7, 5), kBlue);
  EXPECT_EQ(target->PixelColor(8, 6), kGrey);
  // Without the transparent option the white pixel is drawn.
  image.SetTransparent(false);
  image.Draw(target->Canvas(), {0, 0, 20, 20});
  EXPECT_EQ(target->PixelColor(6, 2), kWhite);
  // Tiled: copies at the frame's own size from the rectangle's corner, cut at its edge.
  image.SetDrawOptions(gdTile | gdTransparent);
  target = GreyCanvas(7, 5);
  image.Draw(target->Canvas(), {1, 1, 6, 5});
  const std::vector<TPixelColor> tiled = test::PixelsOf(*target);
  const TPixelColor g = kGrey;
  EXPECT_EQ(tiled, (std::vector<TPixelColor>{g, g,      g,     g,      g,     g,      g, //
                                             g, kRed,   g,     kRed,   g,     kRed,   g, //
                                             g, kGreen, kBlue, kGreen, kBlue, kGreen, g, //
                                             g, kRed,   g,     kRed,   g,     kRed,   g, //
                                             g, kGreen, kBlue, kGreen, kBlue, kGreen, g}));
}

TEST(GIFRender, AssigningToABitmap) {
  // A frame covering the screen gives its 8-bit rendering, transparent in the masked colour.
  TGIFImage image;
  image.Header().Width = 2;
  image.Header().Height = 2;
  ColourFrame(image, 0, 0, 2, 2, {0, 3, 1, 2});
  TBitmap bitmap;
  bitmap.Assign(&image);
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  EXPECT_EQ(test::PixelsOf(bitmap), (std::vector<TPixelColor>{kRed, kWhite, kGreen, kBlue}));
  EXPECT_TRUE(bitmap.Transparent());
  EXPECT_EQ(bitmap.TransparentColor(), clWhite);
  // A smaller frame is drawn over the background colour of the screen.
  image.Header().Width = 3;
  image.Header().Height = 3;
  image.Images()[0].SetBounds(1, 1, 2, 2);
  image.SetBackgroundColor(clYellow);
  bitmap.Assign(&image);
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  const TPixelColor y = 0xFFFF00;
  EXPECT_EQ(test::PixelsOf(bitmap),
            (std::vector<TPixelColor>{y, y, y, y, kRed, y, y, kGreen, kBlue}));
  // The background index of the global table, when no colour is set.
  image.SetBackgroundColor(clNone);
  FillGreyMap(image.GlobalColorMap(), 2);
  image.Header().BackgroundColorIndex = 1;
  EXPECT_EQ(image.EffectiveBackgroundColor(), clWhite);
  image.GlobalColorMap().Clear();
  EXPECT_EQ(image.EffectiveBackgroundColor(), ColorToRgb(clWindow));
  image.Clear();
  bitmap.Assign(&image);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(GIFRender, FramesFromPaletteBitmaps) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit}) {
    SCOPED_TRACE(format);
    const int colours = 1 << PixelFormatBits(format);
    TBitmap bitmap(7, 3, format);
    std::vector<TPaletteEntry> entries;
    for (int i = 0; i < colours; ++i)
      entries.push_back({uint8_t(i), uint8_t(i * 3), uint8_t(255 - i), 0});
    bitmap.SetPalette(TPalette(entries));
    std::vector<uint8_t> expected;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 7; ++x) {
        const int index = (x * 5 + y * 3) % colours;
        PixelRows::SetIndex(bitmap.ScanLine(y), x, PixelFormatBits(format), index);
        expected.push_back(uint8_t(index));
      }
    TGIFImage image;
    image.Assign(&bitmap);
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Width(), 7);
    EXPECT_TRUE(image.GlobalColorMap().Empty());
    const TGIFSubImage& frame = image.Images()[0];
    EXPECT_EQ(frame.Data(), expected);
    EXPECT_EQ(frame.ColorMap().Count(), colours);
    EXPECT_EQ(frame.ColorMap().Color(1), (TGIFColor{1, 3, 254}));
    const std::vector<uint8_t> bytes = SaveGIF(image);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
    const auto ref = gifref::Slurp(bytes);
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->Frames[0].Pixels, expected);
  }
}

TEST(GIFRender, TransparentBitmapsMakeTransparentFrames) {
  // Four colours, of which white is the transparent one; green is used most.
  TBitmap bitmap(4, 2, pf8bit);
  bitmap.SetPalette(TPalette{{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}});
  const uint8_t pixels[8] = {1, 1, 3, 0, 1, 2, 3, 1};
  for (int i = 0; i < 8; ++i)
    bitmap.ScanLine(i / 4)[i % 4] = pixels[i];
  bitmap.SetTransparentColor(clWhite);
  bitmap.SetTransparent(true);
  TGIFImage image;
  image.Assign(&bitmap);
  const TGIFSubImage& frame = image.Images()[0];
  // The table is sorted by use (green, white, red, blue), the transparent colour appended.
  EXPECT_TRUE(frame.ColorMap().Optimized());
  ASSERT_EQ(frame.ColorMap().Count(), 5);
  EXPECT_EQ(frame.ColorMap().Color(0), (TGIFColor{0, 255, 0}));
  EXPECT_EQ(frame.TransparentColorIndex(), 4);
  EXPECT_EQ(frame.ColorMap().Color(4), (TGIFColor{255, 255, 255}));
  EXPECT_EQ(frame.Data(), (std::vector<uint8_t>{0, 0, 4, 2, 0, 3, 4, 0}));
  const std::vector<uint8_t> bytes = SaveGIF(image);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
  EXPECT_EQ(bytes[10] & 0x80, 0) << "no global table";
  const auto ref = gifref::Slurp(bytes);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->Frames[0].TransparentIndex, 4);
  TBitmap back;
  back.Assign(&image);
  EXPECT_TRUE(back.Transparent());
  EXPECT_EQ(test::PixelsOf(back), test::PixelsOf(bitmap));

  // No pixel in the transparent colour: no transparency and no extra colour (the unused one is
  // dropped by the sorting).
  bitmap.SetPalette(
      TPalette{{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}, {0, 0, 0, 0}});
  bitmap.SetTransparentColor(clBlack);
  image.Assign(&bitmap);
  EXPECT_FALSE(image.Images()[0].Transparent());
  EXPECT_EQ(image.Images()[0].ColorMap().Count(), 4);
  // A full table of 256 used colours has no room for the transparent one.
  TBitmap full(256, 1, pf8bit);
  std::vector<TPaletteEntry> grey;
  for (int i = 0; i < 256; ++i) {
    grey.push_back({uint8_t(i), uint8_t(i), uint8_t(i), 0});
    full.ScanLine(0)[i] = uint8_t(i);
  }
  full.SetPalette(TPalette(grey));
  full.SetTransparentColor(clBlack);
  full.SetTransparent(true);
  image.Assign(&full);
  EXPECT_FALSE(image.Images()[0].Transparent());
  EXPECT_EQ(image.Images()[0].ColorMap().Count(), 256);
}

TEST(GIFRender, DeepBitmapsNeedTheColourReducer) {
  if (HasBitmapReducer()) GTEST_SKIP() << "this program links the reducer";
  TBitmap deep(3, 3, pf24bit);
  TGIFImage image;
  try {
    image.Assign(&deep);
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(std::string(e.what()), "Colour reduction is not available");
  }
  EXPECT_TRUE(image.Empty());
}
