// The canvas size without its window: numbers of any length in the size fields, the palettes
// offered and made, a palette canvas resized, new canvases of every depth, and the canvases
// refused. (The window's own tests type into the fields and grow a picture.)

#include "processing/canvas/CanvasSize.h"

#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(CanvasFields, NumbersOfAnyLengthAndTheirMemoryTexts) {
  EXPECT_EQ(RequestedSide(" 640 "), 640);
  EXPECT_EQ(RequestedSide("12x"), 1);
  EXPECT_EQ(RequestedSide("99999999999999999999"), ImageLimits::kMaxDimension);
  EXPECT_EQ(ClampedSide("-99999999999999999999"), 1);
  EXPECT_TRUE(SideInRange("5000"));
  EXPECT_FALSE(SideInRange("50000"));
  EXPECT_FALSE(SideInRange(""));
  EXPECT_EQ(CanvasMemoryText(32, 32, 8), "1 KB");
  // The largest request the fields allow does not overflow.
  EXPECT_GT(CanvasBytes(ImageLimits::kMaxDimension, ImageLimits::kMaxDimension, 32), 0);
}

TEST(CanvasPalettes, ChoicesDependOnDepthScreenAndPicture) {
  using P = TCanvasPalette;
  EXPECT_EQ(CanvasPaletteChoices(4, true, 24), std::vector<P>{P::Color16});
  EXPECT_EQ(CanvasPaletteChoices(8, false, 24),
            (std::vector<P>{P::Color16, P::Color20, P::WinWeb}));
  EXPECT_EQ(CanvasPaletteChoices(8, true, 24),
            (std::vector<P>{P::Color16, P::Color20, P::WinWeb, P::Image}));
  EXPECT_EQ(CanvasPaletteChoices(24, true, 24),
            (std::vector<P>{P::None, P::Color16, P::Color20, P::WinWeb, P::Image}));
  EXPECT_EQ(CanvasPaletteChoices(16, false, 8),
            (std::vector<P>{P::Color16, P::Color20, P::WinWeb}));
  EXPECT_EQ(CanvasPaletteText(P::Image), "Image  palette");
}

TEST(CanvasPalettes, WinwebHoldsTheCubeBetweenTheSystemColours) {
  const TPalette web = MakeCanvasPalette(TCanvasPalette::WinWeb, {});
  ASSERT_EQ(web.Count(), 236);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        ASSERT_EQ(web.Color(10 + 36 * r + 6 * g + b), RgbColor(51 * r, 51 * g, 51 * b));
  EXPECT_EQ(web.Color(0), SystemPalette20().Color(0));
  EXPECT_EQ(web.Color(235), SystemPalette20().Color(19));
  const TPalette twenty = MakeCanvasPalette(TCanvasPalette::Color20, {});
  EXPECT_EQ(twenty.Count(), 256);
  EXPECT_EQ(twenty.Color(19), SystemPalette20().Color(19));
  EXPECT_EQ(twenty.Color(20), clBlack);
  EXPECT_EQ(MakeCanvasPalette(TCanvasPalette::Color16, {}).Color(7), RgbColor(128, 128, 128));
  EXPECT_TRUE(MakeCanvasPalette(TCanvasPalette::None, SystemPalette16()).IsNull());
}

TEST(CanvasResize, PaletteCanvasTakesTheNearestEntry) {
  TBitmap picture;
  picture.SetPixelFormat(pf4bit);
  picture.SetPalette(SystemPalette16());
  picture.Canvas().Brush.Color = clWhite;
  picture.SetSize(4, 4);
  const auto grown = ResizedCanvas(picture, 8, 4, RgbColor(250, 0, 5));
  EXPECT_EQ(grown->PixelFormat(), pf4bit);
  EXPECT_EQ(ColorOfPixel(grown->PixelColor(7, 0)), clRed);
  EXPECT_EQ(ColorOfPixel(grown->PixelColor(3, 3)), clWhite);
}

TEST(CanvasNew, EveryDepthAllFillWithItsPalette) {
  for (int bits : {4, 8, 16, 24}) {
    const TPalette palette =
        MakeCanvasPalette(bits == 4 ? TCanvasPalette::Color16 : TCanvasPalette::WinWeb, {});
    const auto canvas = EmptyCanvas(30, 20, bits, palette, clYellow);
    EXPECT_EQ(canvas->BitsPerPixel(), bits);
    EXPECT_EQ(canvas->OwnPalette(), palette) << bits;
    EXPECT_EQ(ColorOfPixel(canvas->PixelColor(0, 0)), clYellow) << bits;
    EXPECT_EQ(ColorOfPixel(canvas->PixelColor(29, 19)), clYellow) << bits;
  }
  EXPECT_TRUE(EmptyCanvas(2, 2, 24, {}, clBlack)->OwnPalette().IsNull());
}

TEST(CanvasNew, OversizeAndPastTheMemoryLimitAreRefused) {
  EXPECT_FALSE(CanvasFits(50000, 50000, 24));
  EXPECT_FALSE(CanvasFits(0, 10, 24));
  EXPECT_THROW(EmptyCanvas(50000, 50000, 24, {}, clWhite), EInvalidGraphic);
  const TBitmap picture(64, 64, pf24bit);
  EXPECT_THROW(ResizedCanvas(picture, 5001, 10, clWhite), EInvalidGraphic);
  ImageLimits::SetMaxBytes(1 << 20);
  EXPECT_FALSE(CanvasFits(5000, 5000, 24));
  EXPECT_THROW(ResizedCanvas(picture, 5000, 5000, clWhite), EInvalidGraphic);
  EXPECT_THROW(EmptyCanvas(5000, 5000, 8, {}, clWhite), EInvalidGraphic);
  ImageLimits::SetMaxBytes(0);
  EXPECT_EQ(picture.Width(), 64);
  EXPECT_TRUE(CanvasFits(5000, 5000, 24));
}

} // namespace
} // namespace kestrel
