// Writing PNG files: the layout table, the chunks and settings written, and round trips through
// our reader and through libpng's own simplified reader.

#include "PngTestFiles.h"

#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Stream.h"
#include "imaging/png/PngGraphic.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <memory>

using namespace kestrel;
using namespace kestrel::test;

namespace {

// A picture of format with a pattern that uses every index the format has.
std::unique_ptr<TPngGraphic> Pattern(TImageFormat format, int width = 23, int height = 7,
                                     const TDibPalette* palette = nullptr) {
  auto picture = std::make_unique<TPngGraphic>();
  picture->NewImage(width, height, format, palette, 72, 144);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (format == ifTrueColor)
        picture->SetPixel(x, y, static_cast<TPixelColor>(x * 11 + y * 700 + (x ^ y) * 65536 * 9));
      else
        picture->SetPixelIndex(x, y, (x * 7 + y * 3) % picture->Palette().Count);
    }
  return picture;
}

std::vector<uint8_t> Save(TPngGraphic& picture) {
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return stream.Bytes();
}

// The compression level zlib records in its stream header: 0 fastest (level 1), 1 fast
// (2..5), 2 default (6), 3 best (7..9).
int ZlibLevelField(const std::vector<uint8_t>& file) {
  const TPngChunks chunks = ReadPngChunks(file);
  return chunks.FirstIdat.size() >= 2 ? chunks.FirstIdat[1] >> 6 : -1;
}

TEST(PngWrite, DefaultsAreAdam7LevelFiveWithGammaAndResolution) {
  auto picture = Pattern(ifTrueColor);
  const auto file = Save(*picture);
  const TPngChunks chunks = ReadPngChunks(file);
  EXPECT_EQ(chunks.Interlace, 1);
  EXPECT_EQ(chunks.BitDepth, 8);
  EXPECT_EQ(chunks.ColorType, 2);
  EXPECT_EQ(ZlibLevelField(file), 1);
  ASSERT_TRUE(chunks.Gamma);
  EXPECT_DOUBLE_EQ(*chunks.Gamma, 0.5);
  ASSERT_TRUE(chunks.PixelsPerMetre);
  EXPECT_EQ((*chunks.PixelsPerMetre)[0], 2835u); // round(72 * 39.37)
  EXPECT_EQ((*chunks.PixelsPerMetre)[1], 5669u); // round(144 * 39.37)
}

TEST(PngWrite, CompressionLevelsAndInterlaceOff) {
  auto picture = Pattern(ifTrueColor, 200, 100);
  picture->Interlaced = false;
  picture->CompressionLevel = 0;
  const auto fast = Save(*picture);
  picture->CompressionLevel = 2;
  const auto best = Save(*picture);
  EXPECT_EQ(ReadPngChunks(fast).Interlace, 0);
  EXPECT_EQ(ZlibLevelField(fast), 0);
  EXPECT_EQ(ZlibLevelField(best), 3);
  EXPECT_LE(best.size(), fast.size());
  EXPECT_EQ(TPngGraphic::ZlibLevel(7), -1);
}

TEST(PngWrite, LayoutFollowsTheFormatTable) {
  struct TCase {
    TImageFormat Format;
    int Depth, Type;
  };
  for (const TCase& c :
       {TCase{ifBlackWhite, 1, 0}, TCase{ifGray16, 4, 0}, TCase{ifGray256, 8, 0},
        TCase{ifColor16, 4, 3}, TCase{ifColor256, 8, 3}, TCase{ifTrueColor, 8, 2}}) {
    auto picture = Pattern(c.Format);
    const TPngChunks chunks = ReadPngChunks(Save(*picture));
    EXPECT_EQ(chunks.BitDepth, c.Depth) << FormatDescription(c.Format);
    EXPECT_EQ(chunks.ColorType, c.Type) << FormatDescription(c.Format);
    EXPECT_EQ(chunks.Palette.size(), c.Type == 3 ? picture->Palette().Count : 0u);
  }
}

// Gamma 1/2.2 written means no correction on reading, so every pixel must come back.
TEST(PngWrite, EveryFormatRoundTripsExactly) {
  for (TImageFormat format :
       {ifBlackWhite, ifGray16, ifGray256, ifColor16, ifColor256, ifTrueColor})
    for (bool interlaced : {false, true}) {
      auto picture = Pattern(format);
      picture->Gamma = 1 / 2.2;
      picture->Interlaced = interlaced;
      const auto back = LoadPng(Save(*picture));
      ASSERT_EQ(back->ImageFormat(), format) << FormatDescription(format);
      EXPECT_EQ(back->XDotsPerInch(), 72);
      EXPECT_EQ(back->YDotsPerInch(), 144);
      for (int y = 0; y < picture->Height(); ++y)
        for (int x = 0; x < picture->Width(); ++x)
          ASSERT_EQ(back->Pixel(x, y), picture->Pixel(x, y))
              << FormatDescription(format) << (interlaced ? " interlaced" : "") << " at " << x
              << ", " << y;
    }
}

TEST(PngWrite, DefaultGammaChangesPixelsOnlyByTheReadingCorrection) {
  auto picture = Pattern(ifTrueColor);
  const auto back = LoadPng(Save(*picture));
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x)
      for (int shift : {0, 8, 16}) {
        const int before = picture->Pixel(x, y) >> shift & 0xFF;
        const int after = back->Pixel(x, y) >> shift & 0xFF;
        EXPECT_NEAR(after, 255 * std::pow(before / 255.0, 1 / (0.5 * 2.2)), 1);
      }
}

TEST(PngWrite, OtherReadersSeeRedAsRed) {
  auto picture = Pattern(ifTrueColor, 4, 2);
  picture->SetPixel(0, 0, 0xFF0000); // red
  picture->SetPixel(1, 1, 0x0000FF); // blue
  const auto file = Save(*picture);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, file.data(), file.size()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[1], 0);
  EXPECT_EQ(rgb[2], 0);
  const size_t blue = (1 * 4 + 1) * 3;
  EXPECT_EQ(rgb[blue], 0);
  EXPECT_EQ(rgb[blue + 2], 255);
}

TEST(PngWrite, GreyFormatWithColouredPaletteKeepsItsColours) {
  TDibPalette redBlue;
  redBlue.Count = 2;
  redBlue.SetValue(0, 0xFF0000);
  redBlue.SetValue(1, 0x0000FF);
  auto picture = Pattern(ifBlackWhite, 9, 3, &redBlue);
  const auto file = Save(*picture);
  EXPECT_EQ(ReadPngChunks(file).ColorType, 3);
  const auto back = LoadPng(file);
  EXPECT_EQ(back->ImageFormat(), ifBlackWhite);
  for (int x = 0; x < 9; ++x)
    EXPECT_EQ(back->Pixel(x, 1), picture->Pixel(x, 1));
}

TEST(PngWrite, EmptyPictureIsRefused) {
  TPngGraphic empty;
  TMemoryStream stream;
  EXPECT_THROW(empty.SaveToStream(stream), EPNGError);
}

// A stream that takes a few bytes and then fails, as a full disk does.
class TFullStream : public TMemoryStream {
public:
  int64_t Write(const void* buffer, int64_t count) override {
    if (Size() + count > 100) return 0;
    return TMemoryStream::Write(buffer, count);
  }
};

TEST(PngWrite, StreamFailureBecomesAnError) {
  auto picture = Pattern(ifTrueColor, 64, 64);
  TFullStream stream;
  try {
    picture->SaveToStream(stream);
    FAIL() << "a failing stream went unnoticed";
  } catch (const EPNGError& e) {
    EXPECT_STRNE(e.what(), "");
  }
}

} // namespace
