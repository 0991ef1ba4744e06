// The menu's geometric commands on device bitmaps of every pixel format: turns and mirrors undo
// each other as geometry says they must, and a quarter turn matches Qt's own rotation.

#include "processing/transform/BitmapTransform.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DefaultPalettes.h"

#include <gtest/gtest.h>

#include <QTransform>

#include <utility>
#include <vector>

namespace kestrel {
namespace {

using T = TBitmapTransform;

struct Colours {
  int Width = 0;
  int Height = 0;
  std::vector<TPixelColor> Pixels;
  friend bool operator==(const Colours&, const Colours&) = default;
};

Colours ColoursOf(const TBitmap& bitmap) {
  Colours c{bitmap.Width(), bitmap.Height(), {}};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      c.Pixels.push_back(bitmap.PixelColor(x, y));
  return c;
}

// A bitmap of format whose pixels all differ where the format allows (palette formats cycle
// through their palette), of an odd size so that rows end inside bytes and padding.
std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat format, int width = 13, int height = 7) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(format);
  if (format == pf4bit) bitmap->SetPalette(SystemPalette16());
  bitmap->SetSize(width, height);
  const int bits = bitmap->BitsPerPixel();
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const int n = y * width + x;
      if (bits <= 8)
        PixelRows::SetIndex(row, x, bits, n % (1 << bits));
      else
        for (int b = 0; b < bits / 8; ++b)
          row[x * (bits / 8) + b] = static_cast<uint8_t>(n * 7 + b * 91 + 1);
    }
  }
  return bitmap;
}

Colours Transformed(TPixelFormat format, std::initializer_list<T> steps, int width = 13,
                    int height = 7) {
  auto bitmap = MakeBitmap(format, width, height);
  for (T step : steps)
    ApplyBitmapTransform(*bitmap, step);
  return ColoursOf(*bitmap);
}

constexpr TPixelFormat kFormats[] = {pf1bit,  pf4bit,  pf8bit,  pf15bit,
                                     pf16bit, pf24bit, pf32bit, pfDevice};

TEST(BitmapTransform, TurnsAndMirrorsUndoThemselvesInEveryFormat) {
  // Odd sizes end rows inside bytes and padding; widths of four pixels leave rows unpadded, so a
  // turned picture's last row ends its memory (under the address checker a read past it fails).
  const std::pair<int, int> sizes[] = {{13, 7}, {8, 4}, {4, 12}};
  for (const TPixelFormat format : kFormats)
    for (const auto& [width, height] : sizes) {
      SCOPED_TRACE(testing::Message()
                   << PixelFormatBits(format) << " bits, " << width << "x" << height);
      const Colours start = ColoursOf(*MakeBitmap(format, width, height));
      const auto turned = [&](std::initializer_list<T> steps) {
        return Transformed(format, steps, width, height);
      };
      const T cw = T::RotateClockwise, acw = T::RotateAnticlockwise;
      EXPECT_EQ(turned({cw, cw, cw, cw}), start);
      EXPECT_EQ(turned({acw, acw, acw, acw}), start);
      EXPECT_EQ(turned({cw, acw}), start);
      EXPECT_EQ(turned({T::HalfTurn, T::HalfTurn}), start);
      EXPECT_EQ(turned({T::MirrorVertical, T::MirrorVertical}), start);
      EXPECT_EQ(turned({T::MirrorHorizontal, T::MirrorHorizontal}), start);
      EXPECT_NE(turned({cw}), start);
    }
}

TEST(BitmapTransform, AHalfTurnIsTwoQuarterTurnsAndBothMirrors) {
  for (const TPixelFormat format : kFormats) {
    SCOPED_TRACE(PixelFormatBits(format));
    const Colours half = Transformed(format, {T::HalfTurn});
    EXPECT_EQ(Transformed(format, {T::RotateClockwise, T::RotateClockwise}), half);
    EXPECT_EQ(Transformed(format, {T::RotateAnticlockwise, T::RotateAnticlockwise}), half);
    EXPECT_EQ(Transformed(format, {T::MirrorVertical, T::MirrorHorizontal}), half);
  }
}

TEST(BitmapTransform, MirrorsMovePixelsWhereGeometrySays) {
  const Colours start = ColoursOf(*MakeBitmap(pf24bit));
  const Colours vertical = Transformed(pf24bit, {T::MirrorVertical});
  const Colours horizontal = Transformed(pf24bit, {T::MirrorHorizontal});
  const int w = start.Width, h = start.Height;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      EXPECT_EQ(vertical.Pixels[y * w + x], start.Pixels[(h - 1 - y) * w + x]);
      EXPECT_EQ(horizontal.Pixels[y * w + x], start.Pixels[y * w + (w - 1 - x)]);
    }
}

TEST(BitmapTransform, AQuarterTurnMatchesQtsRotation) {
  // Larger than the turn's tiles both ways, and odd, so that tiles end inside rows.
  constexpr int kWidth = 523, kHeight = 301;
  for (const TPixelFormat format : {pf24bit, pf32bit, pf8bit})
    for (const bool clockwise : {true, false}) {
      SCOPED_TRACE(PixelFormatBits(format) + (clockwise ? 0 : 100));
      auto bitmap = MakeBitmap(format, kWidth, kHeight);
      const QImage expected = bitmap->Image()
                                  .transformed(QTransform().rotate(clockwise ? 90 : -90))
                                  .convertToFormat(QImage::Format_RGB32);
      ApplyBitmapTransform(*bitmap, clockwise ? T::RotateClockwise : T::RotateAnticlockwise);
      ASSERT_EQ(bitmap->Width(), kHeight);
      ASSERT_EQ(bitmap->Height(), kWidth);
      ASSERT_EQ(expected.size(), QSize(kHeight, kWidth));
      for (int y = 0; y < kWidth; ++y)
        for (int x = 0; x < kHeight; ++x)
          ASSERT_EQ(bitmap->PixelColor(x, y), expected.pixel(x, y) & 0xFFFFFF) << x << "," << y;
    }
}

TEST(BitmapTransform, ClockwiseTurnsTheLeftColumnIntoTheTopRowReadUpwards) {
  const Colours start = ColoursOf(*MakeBitmap(pf8bit, 200, 100));
  const Colours turned = Transformed(pf8bit, {T::RotateClockwise}, 200, 100);
  ASSERT_EQ(turned.Width, 100);
  ASSERT_EQ(turned.Height, 200);
  for (int x = 0; x < 100; ++x)
    EXPECT_EQ(turned.Pixels[x], start.Pixels[(99 - x) * 200]);
}

TEST(BitmapTransform, PicturesUnderEightBitsBecomeEightBitWithTheirColours) {
  for (const TPixelFormat format : {pf1bit, pf4bit}) {
    auto bitmap = MakeBitmap(format);
    const Colours start = ColoursOf(*bitmap);
    ApplyBitmapTransform(*bitmap, T::MirrorHorizontal);
    EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
    ApplyBitmapTransform(*bitmap, T::MirrorHorizontal);
    EXPECT_EQ(ColoursOf(*bitmap), start);
  }
}

TEST(BitmapTransform, DegenerateAndEmptyBitmaps) {
  // One pixel wide: the horizontal mirror changes nothing; one high: the vertical one.
  EXPECT_EQ(Transformed(pf24bit, {T::MirrorHorizontal}, 1, 9), Transformed(pf24bit, {}, 1, 9));
  EXPECT_EQ(Transformed(pf24bit, {T::MirrorVertical}, 9, 1), Transformed(pf24bit, {}, 9, 1));
  EXPECT_EQ(Transformed(pf16bit, {T::RotateClockwise, T::RotateAnticlockwise}, 1, 9),
            Transformed(pf16bit, {}, 1, 9));
  TBitmap empty;
  for (const T t : {T::HalfTurn, T::MirrorVertical, T::MirrorHorizontal, T::RotateClockwise,
                    T::RotateAnticlockwise}) {
    ApplyBitmapTransform(empty, t);
    EXPECT_TRUE(empty.Empty());
  }
}

TEST(BitmapTransform, PaletteAndTransparencySettingsSurviveATurn) {
  auto bitmap = MakeBitmap(pf8bit);
  bitmap->SetTransparentColor(clRed);
  const TPalette palette = bitmap->OwnPalette();
  ApplyBitmapTransform(*bitmap, T::RotateClockwise);
  EXPECT_EQ(bitmap->OwnPalette(), palette);
  EXPECT_EQ(bitmap->TransparentColor(), clRed);
  EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
}

} // namespace
} // namespace kestrel
