// GIF frames made from true-colour bitmaps through the reducer this library installs into the
// image library, and frames dithered onto the colour cube.

#include "imaging/core/Bitmap.h"
#include "imaging/core/BitmapReducer.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFImage.h"
#include "processing/colour/ReduceToPalette.h"

#include "PaletteTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace kestrel {
namespace {

// A true-colour picture of 60 distinct colours in bands.
std::unique_ptr<TBitmap> Bands(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int k = (x / 3 + y / 2) % 60;
      bitmap->Canvas().SetPixel(x, y, RgbColor(k * 4, 250 - k * 3, (k * 37) % 256));
    }
  return bitmap;
}

TPixelColor FrameColour(const TGIFSubImage& frame, int x, int y) {
  const TGIFColor c = frame.ActiveColorMap().Color(frame.Pixel(x, y));
  return TPixelColor(c.Red) << 16 | c.Green << 8 | c.Blue;
}

std::unique_ptr<TGIFImage> ImageWith(int method, int bits) {
  auto image = std::make_unique<TGIFImage>();
  image->SetColorReduction(method);
  image->SetReductionBits(bits);
  return image;
}

} // namespace

TEST(GIFReduction, TheProcessingLibraryInstallsItsReducer) {
  EXPECT_TRUE(HasBitmapReducer());
}

TEST(GIFReduction, OctreeWithSystemColoursKeepsFewColoursExact) {
  const auto source = Bands(45, 31);
  auto image = ImageWith(rmQuantizeWindows, 8);
  image->Assign(source.get());
  ASSERT_EQ(image->FrameCount(), 1);
  const TGIFSubImage& frame = image->Images()[0];
  // The system colours come first in the table.
  EXPECT_EQ(frame.ColorMap().Color(0), TGIFColor{});
  for (int y = 0; y < 31; ++y)
    for (int x = 0; x < 45; ++x)
      ASSERT_EQ(FrameColour(frame, x, y), source->PixelColor(x, y)) << x << "," << y;
  // The same picture through the program's settings.
  const TGIFOptions saved = GIFDefaults();
  ApplyProgramGIFDefaults();
  TGIFImage program;
  program.Assign(source.get());
  GIFDefaults() = saved;
  EXPECT_EQ(program.Images()[0].Data(), frame.Data());
}

TEST(GIFReduction, ModesChooseTheTable) {
  const auto source = Bands(20, 10);
  // The colour cube: each channel to its nearest step of 51.
  auto cube = ImageWith(rmWebCube, 8);
  cube->Assign(source.get());
  for (int x = 0; x < 20; ++x) {
    const TPixelColor c = source->PixelColor(x, 5);
    TPixelColor expected = 0;
    for (int shift : {16, 8, 0})
      expected |= TPixelColor(((c >> shift & 0xFF) + 3) / 51 * 51) << shift;
    EXPECT_EQ(FrameColour(cube->Images()[0], x, 5), expected);
  }
  // 2^bits octree colours.
  auto sixteen = ImageWith(rmQuantize, 4);
  sixteen->Assign(source.get());
  EXPECT_LE(sixteen->Images()[0].ColorMap().Count(), 16) << "not the writer's padding to 256";
  EXPECT_GT(sixteen->Images()[0].ColorMap().Count(), 8);
  // The source's own palette.
  source->SetPalette(TPalette{{0, 0, 0, 0}, {255, 255, 255, 0}});
  auto custom = ImageWith(rmPalette, 8);
  custom->Assign(source.get());
  const std::set<uint8_t> used(custom->Images()[0].Data().begin(),
                               custom->Images()[0].Data().end());
  EXPECT_EQ(used, (std::set<uint8_t>{0, 1}));
  EXPECT_EQ(custom->Images()[0].ColorMap().Color(1), (TGIFColor{255, 255, 255}));
  // No palette to reduce to.
  for (int mode : {int(rmNone), 12}) {
    auto none = ImageWith(mode, 8);
    try {
      none->Assign(source.get());
      ADD_FAILURE() << mode;
    } catch (const GIFException& e) {
      EXPECT_EQ(std::string(e.what()), "Invalid color reduction method");
    }
  }
}

TEST(GIFReduction, TransparencyComesFromTheTrueColourSource) {
  auto source = Bands(12, 8);
  for (int x = 2; x < 6; ++x)
    source->Canvas().SetPixel(x, 3, RgbColor(1, 2, 3));
  source->SetTransparentColor(RgbColor(1, 2, 3));
  source->SetTransparent(true);
  auto image = ImageWith(rmQuantizeWindows, 8);
  image->Assign(source.get());
  const TGIFSubImage& frame = image->Images()[0];
  const int transparent = frame.TransparentColorIndex();
  ASSERT_GE(transparent, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x)
      EXPECT_EQ(frame.Pixel(x, y) == transparent, y == 3 && x >= 2 && x < 6) << x << "," << y;
  EXPECT_EQ(frame.ActiveColorMap().Color(transparent), (TGIFColor{1, 2, 3}));
}

TEST(GIFReduction, DitheringRendersOntoTheCubeAndKeepsTheMeanColour) {
  TGIFImage image;
  image.Header().Width = 64;
  image.Header().Height = 64;
  image.GlobalColorMap().Add({128, 128, 128});
  image.GlobalColorMap().Add({200, 40, 90});
  auto frame = std::make_unique<TGIFSubImage>(&image);
  frame->SetBounds(0, 0, 64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 32; x < 64; ++x)
      frame->SetPixel(x, y, 1);
  image.Images().Add(std::move(frame));
  image.SetDrawOptions(gdDither);
  const TBitmap& rendered = image.Images()[0].Bitmap();
  ASSERT_EQ(rendered.OwnPalette().Count() >= 216, true);
  EXPECT_EQ(Of(image.Palette()).size(), 216u);
  // Each half keeps its mean colour, within what the ditherer's error limit lets drift: far
  // closer than the nearest cube colour alone (25 or more away).
  for (int half = 0; half < 2; ++half) {
    double sum[3] = {};
    std::set<TPixelColor> colours;
    for (int y = 0; y < 64; ++y)
      for (int x = half * 32; x < half * 32 + 32; ++x) {
        const TPixelColor c = rendered.PixelColor(x, y);
        colours.insert(c);
        sum[0] += c >> 16 & 0xFF;
        sum[1] += c >> 8 & 0xFF;
        sum[2] += c & 0xFF;
      }
    const double want[2][3] = {{128, 128, 128}, {200, 40, 90}};
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(sum[i] / 2048, want[half][i], 8.0) << half << " channel " << i;
    EXPECT_GT(colours.size(), 1u) << "mixed from neighbouring cube colours";
    for (TPixelColor c : colours)
      for (int shift : {16, 8, 0})
        EXPECT_EQ((c >> shift & 0xFF) % 51, 0u);
  }
}

} // namespace kestrel
