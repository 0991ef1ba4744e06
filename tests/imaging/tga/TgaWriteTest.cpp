#include "imaging/tga/TgaGraphic.h"

#include "../bmod/PictureTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(TgaWrite, OnlyEightBitAndTrueColourPicturesCanBeWritten) {
  for (TImageFormat format : {ifBlackWhite, ifGray16, ifColor16}) {
    TTgaGraphic picture;
    FillPattern(picture, 4, 4, format);
    TMemoryStream stream;
    EXPECT_EQ(ErrorOf<ETgaError>([&] { picture.SaveToStream(stream); }),
              "TARGA image must be true color or 8 bit with palette")
        << FormatDescription(format);
    EXPECT_EQ(stream.Size(), 0);
  }
}

TEST(TgaWrite, EightBitPicturesAreColourMapped) {
  TTgaGraphic picture;
  FillPattern(picture, 3, 2, ifGray256);
  const auto file = SavedBytes(picture);
  const std::vector<uint8_t> header = {0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 3, 0, 2, 0, 8, 0};
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 18), header);
  ASSERT_EQ(file.size(), 18u + 768u + 6u);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c)
      ASSERT_EQ(file[18 + 3 * i + c], i) << i; // the grey palette, blue, green, red
  // Rows bottom first, no padding.
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(file[786 + x], picture.PixelIndex(x, 1));
    EXPECT_EQ(file[789 + x], picture.PixelIndex(x, 0));
  }

  TDibPalette palette;
  palette.Count = 3;
  palette.SetValue(0, 0x112233);
  palette.SetValue(1, 0x445566);
  palette.SetValue(2, 0x778899);
  picture.NewImage(1, 1, ifColor256, &palette, 72, 72);
  const auto mapped = SavedBytes(picture);
  EXPECT_EQ(std::vector<uint8_t>(mapped.begin() + 18, mapped.begin() + 30),
            (std::vector<uint8_t>{0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0, 0, 0}));
}

TEST(TgaWrite, TrueColourPicturesAreTypeTwo) {
  TTgaGraphic picture;
  picture.NewImage(3, 2, ifTrueColor, nullptr, 72, 72);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      picture.SetPixel(x, y, TPixelColor(0x10 * y + x) << 16 | 0x0A0B);
  const auto file = SavedBytes(picture);
  const std::vector<uint8_t> header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0};
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 18), header);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 18, file.end()),
            (std::vector<uint8_t>{0x0B, 0x0A, 0x10, 0x0B, 0x0A, 0x11, 0x0B, 0x0A, 0x12, //
                                  0x0B, 0x0A, 0x00, 0x0B, 0x0A, 0x01, 0x0B, 0x0A, 0x02}));
  EXPECT_EQ(Le16(file, 12), 3);
}

TEST(TgaWrite, WritableFormatsRoundTrip) {
  for (TImageFormat format : {ifGray256, ifColor256, ifTrueColor})
    for (auto [width, height] : {std::pair{1, 1}, {5, 3}, {130, 70}}) {
      TTgaGraphic picture;
      FillPattern(picture, width, height, format);
      const auto read = LoadedFrom<TTgaGraphic>(SavedBytes(picture));
      EXPECT_EQ(read->ImageFormat(), format == ifTrueColor ? ifTrueColor : ifColor256);
      EXPECT_TRUE(SamePixels(*read, picture)) << FormatDescription(format) << " " << width;
    }
}

TEST(TgaWrite, FailuresAreReported) {
  TTgaGraphic picture;
  FillPattern(picture, 4, 4, ifTrueColor);
  TSpanStream readOnly(nullptr, 0);
  EXPECT_EQ(ErrorOf<EBmodError>([&] { picture.SaveToStream(readOnly); }),
            "bmod_write failed.: write failed");
}

} // namespace
