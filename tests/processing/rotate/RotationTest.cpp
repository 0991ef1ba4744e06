// Turning by any angle: the quarter and half turns land every pixel where geometry says, other
// angles give the sizes of the bounding box, every pixel of the fixed-point walk is the formula's
// (to a far corner of a wide picture, on one thread or two), the background takes each format's
// own encoding, and a turned picture past the size limits is refused before anything is made.

#include "processing/rotate/Rotation.h"

#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

namespace kestrel {
namespace {

constexpr TColor kBackground = 0x00336699; // 0x00BBGGRR

// A 24-bit bitmap whose every pixel tells its own position.
std::unique_ptr<TBitmap> PositionBitmap(int width, int height, TPixelFormat format = pf24bit) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, format, format == pf8bit ? TPalette::Black(256) : TPalette());
  const int bytes = bitmap->BitsPerPixel() / 8;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < width; ++x)
      for (int b = 0; b < bytes; ++b)
        row[x * bytes + b] = static_cast<uint8_t>(b == 0   ? x
                                                  : b == 1 ? y
                                                           : (x >> 8) + (y >> 8) * 16);
  }
  return bitmap;
}

std::vector<uint8_t> PixelBytes(const TBitmap& bitmap, int x, int y) {
  const int bytes = bitmap.BitsPerPixel() / 8;
  const uint8_t* at = bitmap.ScanLine(y) + x * bytes;
  return {at, at + bytes};
}

// Every pixel of turned is the source pixel from(x, y) gives, or the background outside.
template <class From>
void ExpectMapping(const TBitmap& source, const TBitmap& turned, const std::vector<uint8_t>& fill,
                   From from) {
  const size_t bytes = static_cast<size_t>(turned.BitsPerPixel() / 8);
  int wrong = 0;
  for (int y = 0; y < turned.Height() && wrong < 5; ++y) {
    const uint8_t* row = turned.ScanLine(y);
    for (int x = 0; x < turned.Width() && wrong < 5; ++x) {
      const auto [sx, sy] = from(x, y);
      const bool inside = sx >= 0 && sy >= 0 && sx < source.Width() && sy < source.Height();
      const uint8_t* expected =
          inside ? source.ScanLine(static_cast<int>(sy)) + sx * static_cast<int64_t>(bytes)
                 : fill.data();
      if (std::memcmp(row + x * bytes, expected, bytes) != 0) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") should come from (" << sx << ", " << sy
                      << ")";
        ++wrong;
      }
    }
  }
}

struct TPoint64 {
  int64_t X, Y;
};

TEST(Rotation, QuarterAndHalfTurnsTakeThePixelsGeometrySays) {
  const auto source = PositionBitmap(200, 100);
  const std::vector<uint8_t> fill{0x33, 0x66, 0x99}; // blue, green, red
  TBitmap turned;

  RotateBitmap(*source, turned, 90, kBackground);
  ASSERT_EQ(turned.Width(), 100);
  ASSERT_EQ(turned.Height(), 200);
  // The left column is background: its source row would be 100, one past the last.
  ExpectMapping(*source, turned, fill, [](int x, int y) { return TPoint64{y, 100 - x}; });
  EXPECT_EQ(PixelBytes(turned, 0, 50), fill);

  RotateBitmap(*source, turned, -90, kBackground);
  ASSERT_EQ(turned.Width(), 100);
  ASSERT_EQ(turned.Height(), 200);
  ExpectMapping(*source, turned, fill, [](int x, int y) { return TPoint64{200 - y, x}; });
  EXPECT_EQ(PixelBytes(turned, 50, 0), fill);

  RotateBitmap(*source, turned, 180, kBackground);
  ASSERT_EQ(turned.Width(), 200);
  ASSERT_EQ(turned.Height(), 100);
  ExpectMapping(*source, turned, fill, [](int x, int y) { return TPoint64{200 - x, 100 - y}; });
  EXPECT_EQ(PixelBytes(turned, 0, 40), fill);
  EXPECT_EQ(PixelBytes(turned, 40, 0), fill);
}

TEST(Rotation, WholeTurnsCopyExactlyAndOtherAnglesFillTheBoundingBox) {
  for (const TPixelFormat format : {pf8bit, pf16bit, pf24bit, pf32bit}) {
    const auto source = PositionBitmap(37, 23, format);
    for (const double angle : {0.0, 360.0, -720.0}) {
      TBitmap turned;
      RotateBitmap(*source, turned, angle, kBackground);
      ASSERT_EQ(turned.Width(), 37);
      ASSERT_EQ(turned.Height(), 23);
      EXPECT_EQ(turned.PixelFormat(), format);
      for (int y = 0; y < 23; ++y)
        ASSERT_EQ(
            std::memcmp(turned.ScanLine(y), source->ScanLine(y), 37 * (turned.BitsPerPixel() / 8)),
            0)
            << "row " << y << " at " << angle << " degrees";
    }
  }

  const auto square = PositionBitmap(100, 100);
  TBitmap turned;
  RotateBitmap(*square, turned, 45, kBackground);
  EXPECT_EQ(turned.Width(), 141);
  EXPECT_EQ(turned.Height(), 141);
  const std::vector<uint8_t> fill{0x33, 0x66, 0x99}; // blue, green, red
  for (const auto& [x, y] : {std::pair{0, 0}, {140, 0}, {0, 140}, {140, 140}})
    EXPECT_EQ(PixelBytes(turned, x, y), fill) << x << ", " << y;

  // 100000 degrees is 280, which is -80.
  const auto wide = PositionBitmap(60, 20);
  TBitmap many, few;
  RotateBitmap(*wide, many, 100000, kBackground);
  RotateBitmap(*wide, few, -80, kBackground);
  ASSERT_EQ(many.Width(), few.Width());
  ASSERT_EQ(many.Height(), few.Height());
  for (int y = 0; y < few.Height(); ++y)
    ASSERT_EQ(std::memcmp(many.ScanLine(y), few.ScanLine(y), static_cast<size_t>(few.Width()) * 3),
              0);
}

TEST(Rotation, EveryPixelIsTheFormulasToTheFarCornerOnOneThreadOrTwo) {
  // A wide picture at a small angle: a walk that added up rounded steps would have drifted by
  // whole pixels before the far end of its rows.
  const auto wide = PositionBitmap(12000, 9);
  const auto photo = PositionBitmap(701, 301); // rows padded: pixels move as four-byte words
  for (const auto& [picture, angle] : {std::pair{wide.get(), 3.0},
                                       {photo.get(), -33.0},
                                       {photo.get(), 121.0},
                                       {photo.get(), 7.0}}) {
    const TRotation rotation(*picture, angle, kBackground);
    TBitmap one, two;
    one.NewImage(rotation.Width(), rotation.Height(), pf24bit, {});
    two.NewImage(rotation.Width(), rotation.Height(), pf24bit, {});
    rotation.Rows(0, rotation.Height(), one.ScanLine(0), one.BytesPerLine(), 1);
    rotation.Rows(0, rotation.Height(), two.ScanLine(0), two.BytesPerLine(), 2);
    const TRotationGeometry& g = rotation.Geometry();
    ExpectMapping(*picture, one, rotation.BackgroundPixel(), [&](int x, int y) {
      const TSourcePixel p = SourceOf(g, x, y);
      return TPoint64{p.X, p.Y};
    });
    for (int y = 0; y < one.Height(); ++y)
      ASSERT_EQ(std::memcmp(one.ScanLine(y), two.ScanLine(y), 3 * size_t(one.Width())), 0) << y;
  }
  // The far corner itself, by the formula written out here.
  const TRotation rotation(*wide, 3, kBackground);
  TBitmap turned;
  rotation.Render(turned);
  const double c = std::cos(3 * std::numbers::pi / 180), s = std::sin(3 * std::numbers::pi / 180);
  const TRotationGeometry& g = rotation.Geometry();
  const int x = turned.Width() - 2;
  bool found = false;
  for (int y = 0; y < turned.Height() && !found; ++y) {
    const int sx = static_cast<int>(std::nearbyint(((x * c + y * s) * 2 + g.OffsetX) * 0.5));
    const int sy = static_cast<int>(std::nearbyint(((y * c - x * s) * 2 + g.OffsetY) * 0.5));
    if (sx < 0 || sx >= 12000 || sy < 0 || sy >= 9) continue;
    found = true;
    EXPECT_GT(sx, 11900);
    EXPECT_EQ(PixelBytes(turned, x, y), PixelBytes(*wide, sx, sy)) << y;
  }
  EXPECT_TRUE(found);
}

TEST(Rotation, TheBackgroundTakesEachFormatsOwnEncoding) {
  TPalette palette = TPalette::Black(4);
  palette.SetColor(2, 0x00336699);
  palette.SetColor(3, 0x00FFFFFF);
  TBitmap indexed;
  indexed.NewImage(10, 10, pf8bit, palette);
  for (int y = 0; y < 10; ++y)
    std::memset(indexed.ScanLine(y), 3, 10);
  TBitmap turned;
  RotateBitmap(indexed, turned, 45, 0x00336698); // nearest is entry 2
  EXPECT_EQ(turned.PixelFormat(), pf8bit);
  EXPECT_EQ(turned.OwnPalette().Count(), 4);
  EXPECT_EQ(turned.ScanLine(0)[0], 2);
  EXPECT_EQ(turned.ScanLine(7)[7], 3);

  // A picture of two colours made 8-bit keeps two entries: the background is one of them.
  TBitmap mono(9, 9, pf1bit);
  mono.SetPalette(BlackWhitePalette());
  mono.SetPixelFormat(pf8bit);
  RotateBitmap(mono, turned, 30, clBlack);
  EXPECT_EQ(turned.ScanLine(0)[0], mono.OwnPalette().NearestIndex(clBlack));
  EXPECT_EQ(turned.PixelColor(0, 0), 0u);

  const auto deep = PositionBitmap(10, 10, pf16bit);
  RotateBitmap(*deep, turned, 45, kBackground);
  TBitmap reference(1, 1, pf16bit);
  reference.Canvas().Brush.Color = kBackground;
  reference.Canvas().FillRect({0, 0, 1, 1});
  EXPECT_EQ(PixelBytes(turned, 0, 0), PixelBytes(reference, 0, 0));
}

TEST(Rotation, RefusesWhatItCannotTurn) {
  TBitmap empty;
  EXPECT_THROW(TRotation(empty, 30, kBackground), EInvalidGraphic);
  TBitmap mono(8, 8, pf1bit);
  EXPECT_THROW(TRotation(mono, 30, kBackground), EInvalidGraphic);

  // 2000 x 2000 fits in 16 MB; turned by 45 degrees it needs twice that.
  const auto big = PositionBitmap(2000, 2000);
  ImageLimits::SetMaxBytes(16'000'000);
  TBitmap turned(3, 3);
  try {
    RotateBitmap(*big, turned, 45, kBackground);
    ADD_FAILURE() << "a turn past the limit was made";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("2828 x 2828"), std::string::npos) << e.what();
  }
  ImageLimits::SetMaxBytes(0);
  EXPECT_EQ(turned.Width(), 3); // the destination was never touched
}

} // namespace
} // namespace kestrel
