#include "processing/colour/DibRows.h"
#include "PaletteTestSupport.h"
#include "imaging/core/Exceptions.h"
#include "imaging/gif/GIFException.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

using namespace kestrel;

namespace {

const Entries kSeven = {Rgb(0, 0, 0),     Rgb(255, 255, 255), Rgb(255, 0, 0), Rgb(0, 0, 255),
                        Rgb(255, 255, 0), Rgb(0, 255, 255),   Rgb(0, 255, 0)};

// A w x h bitmap in format whose pixel (x, y) has colours[(x + 2y) mod n]; palette formats take
// colours as their palette.
std::unique_ptr<TBitmap> Patterned(int w, int h, TPixelFormat format, const Entries& colours) {
  auto b = std::make_unique<TBitmap>(w, h, pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TPaletteEntry& c = colours[(x + 2 * y) % colours.size()];
      uint8_t* p = b->ScanLine(y) + 3 * x;
      p[0] = c.Blue, p[1] = c.Green, p[2] = c.Red;
    }
  if (PixelFormatBits(format) <= 8) b->SetPalette(TPalette(colours));
  b->SetPixelFormat(format);
  return b;
}

template <class E> void ExpectError(const std::function<void()>& work, const std::string& message) {
  try {
    work();
    ADD_FAILURE() << "no error, expected " << message;
  } catch (const E& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}

} // namespace

TEST(DibReader, EveryDepthIsHandedOutAsItsColours) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(PixelFormatBits(format));
    Entries colours = format == pf1bit ? Entries{Rgb(0, 0, 0), Rgb(255, 255, 255)} : kSeven;
    auto source = Patterned(5, 3, format, colours);
    ASSERT_EQ(source->PixelFormat(), format);
    TDIBReader reader(*source, pf24bit);
    ASSERT_EQ(reader.Width(), 5);
    ASSERT_EQ(reader.Height(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) {
        const TPaletteEntry& c = colours[(x + 2 * y) % colours.size()];
        const uint8_t* p = reader.ScanLine(y) + 3 * x;
        EXPECT_EQ(Rgb(p[2], p[1], p[0]), c) << x << "," << y;
      }
    EXPECT_EQ(source->PixelFormat(), format); // the reader converted a copy
  }
}

TEST(DibReader, PaletteFormatsAndRefusals) {
  // An 8-bit view of a true-colour bitmap indexes the bitmap's palette.
  auto source = Patterned(4, 2, pf24bit, kSeven);
  source->SetPalette(TPalette(kSeven));
  TDIBReader indices(*source, pf8bit);
  EXPECT_EQ(indices.ScanLine(1)[0], 2);
  EXPECT_EQ(indices.ScanLine(1)[3], 5);
  EXPECT_EQ(source->PixelFormat(), pf24bit);

  ExpectError<EInvalidGraphicOperation>([&] { indices.ScanLine(2); },
                                        "Scan line index out of range");
  ExpectError<EInvalidGraphicOperation>([&] { indices.ScanLine(-1); },
                                        "Scan line index out of range");
  ExpectError<EInvalidGraphic>([&] { TDIBReader(*source, pfCustom); }, "Invalid pixel format");
  TBitmap empty;
  TDIBReader nothing(empty, pf24bit);
  EXPECT_EQ(nothing.Width(), 0);
  EXPECT_EQ(nothing.Height(), 0);
  ExpectError<EInvalidGraphicOperation>([&] { nothing.ScanLine(0); },
                                        "Scan line index out of range");
}

TEST(DibWriter, RefusesFormatsAndDimensions) {
  TBitmap bitmap;
  TPalette palette = {Rgb(1, 2, 3)};
  for (TPixelFormat format : {pf1bit, pf4bit, pf15bit, pf16bit, pf32bit, pfDevice})
    ExpectError<GIFException>([&] { TDIBWriter(bitmap, palette, 2, 2, format); },
                              "Unsupported PixelFormat");
  for (auto [w, h] : {std::pair{0, 2}, std::pair{2, 0}, std::pair{-2, 2}})
    ExpectError<GIFException>([&] { TDIBWriter(bitmap, palette, h, w, pf8bit); },
                              "Invalid image dimensions");
  TDIBWriter huge(bitmap, palette, 1 << 20, 1 << 20, pf24bit);
  ExpectError<GIFException>([&] { huge.ScanLine(0); }, "Failed to allocate memory for GIF DIB");
  EXPECT_TRUE(bitmap.Empty());
}

TEST(DibWriter, RowsFromTheTopBecomeAnEightBitBitmap) {
  const Entries colours = {Rgb(10, 20, 30), Rgb(200, 100, 0), Rgb(7, 7, 7)};
  for (int height : {3, -3}) {
    SCOPED_TRACE(height);
    TBitmap bitmap;
    TDIBWriter writer(bitmap, TPalette(colours), height, 5, pf8bit);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        writer.ScanLine(y)[x] = static_cast<uint8_t>((x + y) % 3);
    ExpectError<EInvalidGraphicOperation>([&] { writer.ScanLine(3); },
                                          "Scan line index out of range");
    EXPECT_TRUE(bitmap.Empty());
    writer.Commit();
    ASSERT_EQ(bitmap.PixelFormat(), pf8bit);
    ASSERT_EQ(bitmap.Width(), 5);
    ASSERT_EQ(bitmap.Height(), 3);
    // The whole 256-entry colour table: the palette, then black.
    Entries table = Of(bitmap.OwnPalette());
    ASSERT_EQ(table.size(), 256u);
    EXPECT_EQ(Entries(table.begin(), table.begin() + 3), colours);
    EXPECT_EQ(table[3], Rgb(0, 0, 0));
    EXPECT_EQ(table[255], Rgb(0, 0, 0));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(bitmap.ScanLine(y)[x], (x + y) % 3) << x << "," << y;
    ExpectError<GIFException>([&] { writer.ScanLine(0); }, "Image has no DIB");
    ExpectError<GIFException>([&] { writer.Commit(); }, "Image has no DIB");
  }
}

TEST(DibWriter, TrueColourRowsAndCommitOnDestruction) {
  TBitmap bitmap;
  {
    TDIBWriter writer(bitmap, TPalette(), 2, 3, pf24bit);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) {
        uint8_t* p = writer.ScanLine(y) + 3 * x;
        p[0] = static_cast<uint8_t>(10 * x), p[1] = static_cast<uint8_t>(100 + y), p[2] = 250;
      }
  }
  ASSERT_EQ(bitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(bitmap.PixelColor(2, 1), 0xFA6514u); // red 250, green 101, blue 20

  // An error passing through leaves the bitmap as it was.
  TBitmap untouched;
  try {
    TDIBWriter writer(untouched, TPalette(), 2, 2, pf8bit);
    writer.ScanLine(0)[0] = 1;
    throw std::runtime_error("stop");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(untouched.Empty());
}
