// The two images a saved icon is built from.

#include "SaveTestSupport.h"

#include "app/save/IconImages.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

constexpr TColor kFrame = 0x336699;

TEST(IconImages, ASmallPictureSitsTopLeftOnTheFrameColour) {
  const auto source = test::TestPicture(16, 16, pf24bit);
  const TIconImages icon = MakeIconImages(*source, kFrame, false);
  ASSERT_EQ(icon.Color->Width(), 32);
  ASSERT_EQ(icon.Color->Height(), 32);
  ASSERT_EQ(icon.Mask->PixelFormat(), pf1bit);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const TColor expected = x < 16 && y < 16 ? source->Canvas().Pixel(x, y) : kFrame;
      ASSERT_EQ(icon.Color->Canvas().Pixel(x, y), expected) << x << "," << y;
      ASSERT_EQ(icon.Mask->Canvas().Pixel(x, y), clBlack) << "opaque everywhere";
    }
}

TEST(IconImages, ALargerPictureIsSqueezedToTheIcon) {
  // Left half red, right half blue: 64 x 32 becomes 32 x 32 with each half 16 wide.
  auto source = test::PlainPicture(64, 32, pf24bit, clRed);
  source->Canvas().Brush.Color = clBlue;
  source->Canvas().FillRect({32, 0, 64, 32});
  const TIconImages icon = MakeIconImages(*source, kFrame, false);
  for (int y = 0; y < 32; ++y) {
    EXPECT_EQ(icon.Color->Canvas().Pixel(15, y), clRed);
    EXPECT_EQ(icon.Color->Canvas().Pixel(16, y), clBlue);
  }
  // Taller than wide is squeezed the other way.
  auto tall = test::PlainPicture(8, 40, pf8bit, clLime);
  const TIconImages stretched = MakeIconImages(*tall, kFrame, false);
  EXPECT_EQ(stretched.Color->Canvas().Pixel(31, 31), clLime);
}

TEST(IconImages, TheFrameColourBecomesTransparent) {
  auto source = test::PlainPicture(20, 10, pf24bit, kFrame);
  source->Canvas().SetPixel(3, 4, clYellow);
  const TIconImages icon = MakeIconImages(*source, kFrame, true);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool solid = x == 3 && y == 4;
      ASSERT_EQ(icon.Mask->Canvas().Pixel(x, y), solid ? clBlack : clWhite) << x << "," << y;
      ASSERT_EQ(icon.Color->Canvas().Pixel(x, y), solid ? clYellow : clBlack) << x << "," << y;
    }
}

} // namespace
} // namespace kestrel
