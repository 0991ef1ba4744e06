// .bmp files: round trips of everything we write, hand-built files of every variant we read, and
// damaged files. The hand-built files are assembled here field by field, independently of the
// writer.

#include "../support/ImagingTestSupport.h"

#include "imaging/bmp/BmpFile.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>

namespace kestrel {
namespace {

using test::PatternBitmap;
using test::PixelsOf;

struct BmpLayout {
  uint32_t headerSize = 40;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 1;
  uint16_t bitCount = 8;
  uint32_t compression = 0;
  std::optional<uint32_t> imageSize;
  int32_t xPelsPerMeter = 2835;
  int32_t yPelsPerMeter = 2835;
  std::optional<uint32_t> colorsUsed;
  std::vector<uint32_t> masks;   // written inside a long header, else after it
  std::vector<uint32_t> palette; // 0x00RRGGBB
  std::vector<uint8_t> pixels;   // the file's pixel data as stored
  std::optional<uint32_t> fileSize;
  std::optional<uint32_t> pixelOffset;
  char magic[2] = {'B', 'M'};
};

BmpLayout Layout(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = 0) {
  BmpLayout s;
  s.width = width;
  s.height = height;
  s.bitCount = bitCount;
  s.compression = compression;
  return s;
}

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> Build(const BmpLayout& s) {
  std::vector<uint8_t> info;
  Put(info, s.headerSize, 4);
  if (s.headerSize == 12) {
    Put(info, static_cast<uint32_t>(s.width), 2);
    Put(info, static_cast<uint32_t>(s.height), 2);
    Put(info, s.planes, 2);
    Put(info, s.bitCount, 2);
  } else {
    Put(info, static_cast<uint32_t>(s.width), 4);
    Put(info, static_cast<uint32_t>(s.height), 4);
    Put(info, s.planes, 2);
    Put(info, s.bitCount, 2);
    Put(info, s.compression, 4);
    Put(info, s.imageSize.value_or(static_cast<uint32_t>(s.pixels.size())), 4);
    Put(info, static_cast<uint32_t>(s.xPelsPerMeter), 4);
    Put(info, static_cast<uint32_t>(s.yPelsPerMeter), 4);
    Put(info, s.colorsUsed.value_or(static_cast<uint32_t>(s.palette.size())), 4);
    Put(info, 0, 4);
    const bool inside = s.headerSize >= 40 + 4 * s.masks.size();
    for (uint32_t m : inside ? s.masks : std::vector<uint32_t>{})
      Put(info, m, 4);
    info.resize(s.headerSize, 0);
    if (!inside)
      for (uint32_t m : s.masks)
        Put(info, m, 4);
  }
  for (uint32_t c : s.palette) {
    Put(info, c, 3);
    if (s.headerSize != 12) info.push_back(0);
  }
  const uint32_t offset = s.pixelOffset.value_or(static_cast<uint32_t>(14 + info.size()));
  std::vector<uint8_t> file{static_cast<uint8_t>(s.magic[0]), static_cast<uint8_t>(s.magic[1])};
  Put(file, s.fileSize.value_or(static_cast<uint32_t>(14 + info.size() + s.pixels.size())), 4);
  Put(file, 0, 4);
  Put(file, offset, 4);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), s.pixels.begin(), s.pixels.end());
  return file;
}

std::unique_ptr<TBitmap> Load(const std::vector<uint8_t>& bytes) {
  auto b = std::make_unique<TBitmap>();
  TSpanStream s(bytes.data(), bytes.size());
  b->LoadFromStream(s);
  return b;
}

std::string FailureOf(const std::vector<uint8_t>& bytes) {
  try {
    Load(bytes);
  } catch (const EInvalidGraphic& e) {
    return e.what();
  }
  return "(loaded)";
}

std::vector<uint8_t> Save(TBitmap& b) {
  TMemoryStream s;
  b.SaveToStream(s);
  return s.Bytes();
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// An 8-bit 4 x 2 picture with a 4-entry palette, plain.
BmpLayout Plain8() {
  BmpLayout s = Layout(4, 2, 8);
  s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  s.pixels = {0, 1, 2, 3, 3, 2, 1, 0};
  return s;
}

// RLE8, 6 x 3: an encoded run, an odd absolute run, a delta, end of line and end of bitmap.
BmpLayout Rle8() {
  BmpLayout s = Layout(6, 3, 8, 1);
  s.palette = std::vector<uint32_t>(10, 0x808080);
  s.pixels = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, // bottom line: 5 5 5 1 2 3, end of line
              0, 2, 2, 1,                   // delta: 2 right, 1 up (skips the middle line)
              1, 9, 0, 1};                  // one 9 on the top line, end of bitmap
  return s;
}

TEST(BmpRoundTrip, EveryFormatWeWriteReadsBackTheSame) {
  for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice}) {
    for (int width : {1, 3, 5, 31, 33}) {
      auto b = PatternBitmap(width, 3, f);
      b->SetPelsPerMeter(3780, 1234);
      const auto bytes = Save(*b);
      const int bits = f == pf15bit ? 16 : f == pfDevice ? 32 : PixelFormatBits(f);
      ASSERT_EQ(bytes[0], 'B');
      ASSERT_EQ(bytes[1], 'M');
      EXPECT_EQ(U32At(bytes, 2), bytes.size());
      EXPECT_EQ(U32At(bytes, 14), 40u);
      EXPECT_EQ(U32At(bytes, 22), 3u) << "bottom-up";
      EXPECT_EQ(bytes[28] | bytes[29] << 8, bits);
      EXPECT_EQ(U32At(bytes, 30), f == pf16bit ? 3u : 0u);
      EXPECT_EQ(U32At(bytes, 46), static_cast<uint32_t>(b->OwnPalette().Count()));
      const uint32_t stride = (width * bits + 31) / 32 * 4;
      EXPECT_EQ(U32At(bytes, 10) + 3 * stride, bytes.size());

      auto back = Load(bytes);
      EXPECT_EQ(back->PixelFormat(), f == pfDevice ? pf32bit : f) << f << " width " << width;
      EXPECT_EQ(PixelsOf(*back), PixelsOf(*b)) << f << " width " << width;
      EXPECT_EQ(back->OwnPalette(), b->OwnPalette());
      EXPECT_EQ(back->XPelsPerMeter(), 3780);
      EXPECT_EQ(back->YPelsPerMeter(), 1234);
    }
  }
}

TEST(BmpRoundTrip, PaddingAndUnusedBitsAreWrittenAsZero) {
  for (auto [f, width] :
       {std::pair{pf1bit, 9}, std::pair{pf4bit, 3}, std::pair{pf24bit, 5}, std::pair{pf32bit, 2}}) {
    TBitmap b;
    b.NewImage(width, 2, f, {});
    for (int y = 0; y < 2; ++y)
      std::memset(b.ScanLine(y), 0xFF, b.BytesPerLine());
    const auto bytes = Save(b);
    const uint32_t offset = U32At(bytes, 10);
    const int bits = PixelFormatBits(f);
    for (size_t i = offset; i < bytes.size(); ++i) {
      const size_t bit = (i - offset) % b.BytesPerLine() * 8;
      const bool meaningful = bits == 32 ? (i - offset) % 4 != 3 : bit < size_t(width * bits);
      if (!meaningful) {
        EXPECT_EQ(bytes[i], 0) << "format " << f << " byte " << i - offset;
      }
    }
  }
}

TEST(BmpRead, TopDownRowsAreReversed) {
  BmpLayout s = Plain8();
  s.height = -2;
  auto b = Load(Build(s));
  EXPECT_EQ(b->ScanLine(0)[1], 1);
  EXPECT_EQ(b->ScanLine(1)[1], 2);
  s.height = 2;
  b = Load(Build(s));
  EXPECT_EQ(b->ScanLine(0)[1], 2);
  EXPECT_EQ(b->PixelColor(1, 1), 0xFF0000u);
}

TEST(BmpRead, CoreHeadersHaveThreeByteColourEntries) {
  BmpLayout s = Layout(3, 1, 4);
  s.headerSize = 12;
  s.palette = std::vector<uint32_t>(16, 0);
  s.palette[2] = 0x123456;
  s.pixels = {0x20, 0x20, 0, 0};
  auto b = Load(Build(s));
  EXPECT_EQ(b->PixelFormat(), pf4bit);
  EXPECT_EQ(b->PixelColor(0, 0), 0x123456u);
  EXPECT_EQ(b->PixelColor(1, 0), 0u);
  EXPECT_EQ(b->XPelsPerMeter(), 0);
  // A core table cut short by the pixel offset holds what fits.
  s.bitCount = 8;
  s.palette.resize(5);
  s.palette[4] = 0xABCDEF;
  s.pixels = {4, 2, 0, 0};
  b = Load(Build(s));
  EXPECT_EQ(b->OwnPalette().Count(), 5);
  EXPECT_EQ(b->PixelColor(0, 0), 0xABCDEFu);
}

TEST(BmpRead, Rle8RunsAbsoluteRunsDeltasAndLineEnds) {
  auto b = Load(Build(Rle8()));
  ASSERT_EQ(b->PixelFormat(), pf8bit);
  const std::vector<std::vector<int>> expected = {
      {0, 0, 9, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {5, 5, 5, 1, 2, 3}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(b->ScanLine(y)[x], expected[y][x]) << x << "," << y;
}

TEST(BmpRead, Rle4RunsAlternateNibbles) {
  BmpLayout s = Layout(5, 2, 4, 2);
  s.palette = std::vector<uint32_t>(16, 0);
  s.pixels = {5, 0x12, 0,    0,             // bottom: 1 2 1 2 1
              0, 3,    0xAB, 0xC0, 2, 0x77, // top: A B C, then 7 7
              0, 0,    0,    1};
  auto b = Load(Build(s));
  const int top[5] = {0xA, 0xB, 0xC, 7, 7}, bottom[5] = {1, 2, 1, 2, 1};
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(PixelRows::GetIndex(b->ScanLine(0), x, 4), top[x]);
    EXPECT_EQ(PixelRows::GetIndex(b->ScanLine(1), x, 4), bottom[x]);
  }
}

TEST(BmpRead, RunLengthDataMayEndAfterTheLastLineButNotBefore) {
  BmpLayout s = Plain8();
  s.compression = 1;
  s.pixels = {4, 1, 0, 0, 4, 2, 0, 0};
  EXPECT_EQ(Load(Build(s))->ScanLine(0)[3], 2);
  s.pixels = {4, 1, 0, 0};
  EXPECT_EQ(FailureOf(Build(s)), "Bitmap file truncated");
}

TEST(BmpRead, BitFieldsInEveryLayout) {
  // 4 bits a channel: converted to 32 bits
  BmpLayout s = Layout(2, 1, 16, 3);
  s.masks = {0x0F00, 0x00F0, 0x000F};
  s.pixels = {0x80, 0x0F, 0x0F, 0x00};
  auto b = Load(Build(s));
  EXPECT_EQ(b->PixelFormat(), pf32bit);
  EXPECT_EQ(b->PixelColor(0, 0), 0xFF8800u); // 15 -> 255, 8 -> 136
  EXPECT_EQ(b->PixelColor(1, 0), 0x0000FFu);

  s.masks = {0xF800, 0x07E0, 0x001F}; // 5-6-5 stays as it is
  s.pixels = {0x00, 0xF8, 0x1F, 0x00};
  b = Load(Build(s));
  EXPECT_EQ(b->PixelFormat(), pf16bit);
  EXPECT_EQ(b->PixelColor(0, 0), 0xFF0000u);
  EXPECT_EQ(b->PixelColor(1, 0), 0x0000FFu);

  s.bitCount = 32; // red and blue exchanged
  s.masks = {0x0000FF, 0x00FF00, 0xFF0000};
  s.pixels = {0x11, 0x22, 0x33, 0, 0, 0, 0, 0};
  b = Load(Build(s));
  EXPECT_EQ(b->PixelColor(0, 0), 0x112233u);

  s.headerSize = 56; // four masks inside a longer header
  s.compression = 6;
  s.masks = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000};
  b = Load(Build(s));
  EXPECT_EQ(b->PixelColor(0, 0), 0x332211u);
  s.headerSize = 124;
  s.compression = 3;
  b = Load(Build(s));
  EXPECT_EQ(b->PixelColor(0, 0), 0x332211u);
}

TEST(BmpRead, TwoBitPicturesBecomeFourBit) {
  BmpLayout s = Layout(5, 1, 2);
  s.palette = {0x000000, 0x111111, 0x222222, 0x333333};
  s.pixels = {0x1B, 0x80, 0, 0};
  auto b = Load(Build(s));
  EXPECT_EQ(b->PixelFormat(), pf4bit);
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(b->PixelColor(x, 0), 0x111111u * static_cast<uint32_t>(x < 4 ? x : 2));
}

TEST(BmpRead, ADirectColourFileKeepsItsColourTableUnlessPalettesAreIgnored) {
  BmpLayout s = Layout(1, 1, 24);
  s.palette = {0x102030, 0x405060};
  s.pixels = {1, 2, 3, 0};
  auto b = Load(Build(s));
  EXPECT_EQ(b->PixelFormat(), pf24bit);
  EXPECT_EQ(b->OwnPalette().Count(), 2);
  EXPECT_EQ(b->PixelColor(0, 0), 0x030201u);
  TBitmap ignoring;
  ignoring.SetIgnorePalette(true);
  const auto bytes = Build(s);
  TSpanStream stream(bytes.data(), bytes.size());
  ignoring.LoadFromStream(stream);
  EXPECT_TRUE(ignoring.OwnPalette().IsNull());
}

TEST(BmpRead, TheFileMayStartInsideAStreamAndInfoReadsOnlyHeaders) {
  std::vector<uint8_t> bytes{'x', 'y', 'z'};
  const auto file = Build(Plain8());
  bytes.insert(bytes.end(), file.begin(), file.end());
  TSpanStream s(bytes.data(), bytes.size());
  s.SetPosition(3);
  TBitmap b;
  b.LoadFromStream(s);
  EXPECT_EQ(b.PixelColor(0, 1), 0u);
  EXPECT_EQ(b.PixelColor(1, 1), 0xFF0000u);

  BmpLayout rle = Rle8();
  rle.pixels[0] = 7; // a run past the line: only decoding notices
  const auto damaged = Build(rle);
  TSpanStream header(damaged.data(), damaged.size());
  const TImageInfo info = TBitmap().ReadInfo(header);
  EXPECT_EQ(info.Width, 6);
  EXPECT_EQ(info.Height, 3);
  EXPECT_EQ(info.BitsPerPixel, 8);
  EXPECT_EQ(info.PaletteEntries, 10);
  EXPECT_EQ(FailureOf(damaged), "Invalid run-length data: a run leaves the picture");
}

struct Damage {
  const char* what;
  std::function<void(BmpLayout&)> change;
  const char* message; // the start of the error text
};

TEST(BmpDamage, EveryBadFieldGivesItsOwnError) {
  const Damage damages[] = {
      {"magic", [](BmpLayout& s) { s.magic[1] = 'A'; }, "Not a bitmap file"},
      {"file size", [](BmpLayout& s) { s.fileSize = 1000; }, "Bitmap file truncated: the header"},
      {"header size", [](BmpLayout& s) { s.headerSize = 41; },
       "Unsupported bitmap header size (41)"},
      {"width", [](BmpLayout& s) { s.width = 0; }, "Invalid bitmap width (0)"},
      {"negative width", [](BmpLayout& s) { s.width = -4; }, "Invalid bitmap width (-4)"},
      {"height", [](BmpLayout& s) { s.height = 0; }, "Invalid bitmap height (0)"},
      {"lowest height", [](BmpLayout& s) { s.height = INT_MIN; }, "Invalid bitmap height"},
      {"planes", [](BmpLayout& s) { s.planes = 2; }, "Invalid number of colour planes (2)"},
      {"bit count", [](BmpLayout& s) { s.bitCount = 3; }, "Invalid bit count (3)"},
      {"compression", [](BmpLayout& s) { s.compression = 7; },
       "Unsupported bitmap compression (7)"},
      {"embedded", [](BmpLayout& s) { s.compression = 4; }, "Bitmaps holding JPEG or PNG data"},
      {"rle4 at 8 bits", [](BmpLayout& s) { s.compression = 2; },
       "RLE4 compression needs 4 bits per pixel"},
      {"bit fields at 8 bits", [](BmpLayout& s) { s.compression = 3; },
       "Bit fields need 16 or 32 bits per pixel"},
      {"zero masks",
       [](BmpLayout& s) {
         s.bitCount = 16, s.compression = 3, s.masks = {0, 0, 0}, s.palette.clear();
       },
       "Invalid bit fields"},
      {"wide mask",
       [](BmpLayout& s) {
         s.bitCount = 16, s.compression = 3, s.masks = {0x10000, 0xF0, 0xF}, s.palette.clear();
       },
       "Invalid bit fields"},
      {"resolution", [](BmpLayout& s) { s.yPelsPerMeter = -1; }, "Invalid resolution"},
      {"huge resolution", [](BmpLayout& s) { s.xPelsPerMeter = 30000000; }, "Invalid resolution"},
      {"colour count", [](BmpLayout& s) { s.colorsUsed = 0x12345678; },
       "Colour table larger than the file"},
      {"offset inside", [](BmpLayout& s) { s.pixelOffset = 30; },
       "Pixel data offset inside the headers"},
      {"offset past the end", [](BmpLayout& s) { s.pixelOffset = 5000; }, "Bitmap file truncated"},
      {"image size", [](BmpLayout& s) { s.imageSize = 9999; }, "Invalid image data size (9999"},
      {"short pixels", [](BmpLayout& s) { s.pixels.resize(7); }, "Bitmap file truncated"},
      {"index", [](BmpLayout& s) { s.pixels[5] = 4; }, "Pixel index outside the colour table"},
      {"top-down rle", [](BmpLayout& s) { s.compression = 1, s.height = -2; },
       "A top-down bitmap cannot be run-length coded"},
  };
  for (const Damage& d : damages) {
    BmpLayout s = Plain8();
    d.change(s);
    const std::string failure = FailureOf(Build(s));
    EXPECT_EQ(failure.rfind(d.message, 0), 0u) << d.what << ": " << failure;
  }
}

TEST(BmpDamage, RunLengthDataNeverWritesOutsideThePicture) {
  const std::pair<std::vector<uint8_t>, const char*> cases[] = {
      {{7, 1}, "Invalid run-length data: a run leaves the picture"},
      {{0, 3, 1, 2, 3, 0, 0, 4, 1, 2, 3, 4}, "Invalid run-length data: a run leaves the picture"},
      {{0, 2, 7, 0}, "Invalid run-length data: a move leaves the picture"},
      {{0, 2, 1, 3}, "Invalid run-length data: a move leaves the picture"},
      {{0, 0, 0, 0, 0, 0, 1, 1}, "Invalid run-length data: a run leaves the picture"},
      {{0, 2, 1}, "Bitmap file truncated"},
      {{0, 5, 1, 2}, "Bitmap file truncated"},
  };
  for (const auto& [data, message] : cases) {
    BmpLayout s = Rle8();
    s.pixels = data;
    EXPECT_EQ(FailureOf(Build(s)), message);
  }
}

TEST(BmpDamage, TheMemoryLimitIsCheckedBeforeAnythingIsAllocated) {
  BmpLayout s = Plain8();
  s.width = 30000;
  s.height = 30000; // claims 900 MB of pixels in a tiny file
  ImageLimits::SetMaxBytes(1 << 20);
  EXPECT_EQ(FailureOf(Build(s)), "Bitmap of 30000 x 30000 pixels exceeds the memory limit");
  ImageLimits::SetMaxBytes(0);
  EXPECT_EQ(FailureOf(Build(s)), "Bitmap file truncated");
}

// Every prefix and every single-byte change of valid files either loads or raises the reader's
// error: never another failure.
TEST(BmpDamage, TruncatedAndFlippedFilesFailCleanly) {
  BmpLayout rle4 = Layout(5, 2, 4, 2);
  rle4.palette = std::vector<uint32_t>(16, 0);
  rle4.pixels = {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 2, 0x77, 0, 1};
  BmpLayout fields = Layout(2, 1, 16, 3);
  fields.masks = {0x0F00, 0x00F0, 0x000F};
  fields.pixels = {0x80, 0x0F, 0x0F, 0x00};
  std::vector<std::vector<uint8_t>> files = {Build(Plain8()), Build(Rle8()), Build(rle4),
                                             Build(fields)};
  files.push_back(Save(*PatternBitmap(3, 2, pf24bit)));
  for (const auto& file : files) {
    Load(file); // the untouched file loads
    for (size_t n = 0; n < file.size(); ++n) {
      const std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
      EXPECT_NE(FailureOf(prefix), "(loaded)") << "prefix of " << n << " bytes";
      if (n < 6) continue;
      std::vector<uint8_t> unsized = prefix; // without a file size, later checks must hold
      std::fill(unsized.begin() + 2, unsized.begin() + 6, 0);
      EXPECT_NO_THROW(FailureOf(unsized)) << "prefix of " << n << " bytes";
    }
    for (size_t i = 0; i < file.size(); ++i)
      for (uint8_t flip : {0xFF, 0x80, 0x01}) {
        std::vector<uint8_t> changed = file;
        changed[i] ^= flip;
        EXPECT_NO_THROW(FailureOf(changed)) << "byte " << i;
      }
  }
}

} // namespace
} // namespace kestrel
