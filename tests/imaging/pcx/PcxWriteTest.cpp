#include "imaging/pcx/PcxGraphic.h"
#include "imaging/pcx/PcxRunEncoder.h"

#include "../bmod/PictureTestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr TImageFormat kFormats[] = {ifBlackWhite, ifGray16,   ifGray256,
                                     ifColor16,    ifColor256, ifTrueColor};

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// A palette of count distinct, unordered colours.
TDibPalette OddPalette(int count) {
  TDibPalette palette;
  palette.Count = static_cast<uint16_t>(count);
  for (int i = 0; i < count; ++i)
    palette.SetValue(i, (static_cast<TPixelColor>(i) * 0x9E3779u) & 0xFFFFFF);
  return palette;
}

// A patterned picture of format, with a palette of our own for the colour formats.
void MakePicture(TDibGraphic& picture, int width, int height, TImageFormat format) {
  const TDibPalette palette = OddPalette(format == ifColor16 ? 16 : 256);
  const bool own = format == ifColor16 || format == ifColor256;
  FillPattern(picture, width, height, format, own ? &palette : nullptr, width + height);
  picture.SetXDotsPerInch(300);
  picture.SetYDotsPerInch(150);
}

TImageFormat ReadBackFormat(TImageFormat written) {
  switch (written) {
  case ifGray16:
    return ifColor16;
  case ifGray256:
    return ifColor256;
  default:
    return written;
  }
}

TEST(PcxWrite, EveryFormatRoundTrips) {
  for (TImageFormat format : kFormats)
    for (auto [width, height] : {std::pair{1, 1}, {3, 2}, {37, 5}, {64, 3}, {130, 2}}) {
      TPcxGraphic picture;
      MakePicture(picture, width, height, format);
      const auto read = LoadedFrom<TPcxGraphic>(SavedBytes(picture));
      SCOPED_TRACE(FormatDescription(format) + " " + std::to_string(width));
      EXPECT_EQ(read->ImageFormat(), ReadBackFormat(format));
      EXPECT_TRUE(SamePixels(*read, picture));
      EXPECT_EQ(read->XDotsPerInch(), 300);
      EXPECT_EQ(read->YDotsPerInch(), 150);
    }
}

TEST(PcxWrite, HeaderFields) {
  TPcxGraphic picture;
  MakePicture(picture, 3, 5, ifTrueColor);
  auto file = SavedBytes(picture);
  EXPECT_EQ(file[0], 10);
  EXPECT_EQ(file[1], 5);
  EXPECT_EQ(file[2], 1);
  EXPECT_EQ(file[3], 8);
  EXPECT_EQ(Le16(file, 4), 0);
  EXPECT_EQ(Le16(file, 6), 0);
  EXPECT_EQ(Le16(file, 8), 2);
  EXPECT_EQ(Le16(file, 10), 4);
  EXPECT_EQ(Le16(file, 12), 300);
  EXPECT_EQ(Le16(file, 14), 150);
  EXPECT_EQ(file[65], 3);
  EXPECT_EQ(Le16(file, 66), 4); // three pixels, rounded up to an even count
  EXPECT_EQ(Le16(file, 68), 1);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 16, file.begin() + 64), std::vector<uint8_t>(48));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 70, file.begin() + 128), std::vector<uint8_t>(58));

  const std::pair<TImageFormat, int> bytesPerLine[] = {
      {ifBlackWhite, 2}, {ifColor16, 2}, {ifColor256, 4}};
  for (auto [format, expected] : bytesPerLine) {
    MakePicture(picture, 3, 1, format);
    file = SavedBytes(picture);
    EXPECT_EQ(file[3], FormatBitsPerPixel(format));
    EXPECT_EQ(file[65], 1);
    EXPECT_EQ(Le16(file, 66), expected) << FormatDescription(format);
  }

  MakePicture(picture, 5, 2, ifColor16);
  file = SavedBytes(picture);
  for (int i = 0; i < 16; ++i) {
    const TDibPaletteEntry& e = picture.Palette().Entries[i];
    EXPECT_EQ(file[16 + 3 * i], e.Red);
    EXPECT_EQ(file[17 + 3 * i], e.Green);
    EXPECT_EQ(file[18 + 3 * i], e.Blue);
  }

  MakePicture(picture, 5, 2, ifColor256);
  file = SavedBytes(picture);
  const size_t trailer = file.size() - 769;
  EXPECT_EQ(file[trailer], 0x0C);
  for (int i = 0; i < 256; ++i) {
    const TDibPaletteEntry& e = picture.Palette().Entries[i];
    EXPECT_EQ(file[trailer + 1 + 3 * i], e.Red);
    EXPECT_EQ(file[trailer + 3 + 3 * i], e.Blue);
  }
}

TEST(PcxWrite, OneBitFilesHoldOneForTheBrighterColour) {
  // Pixels 0..7 take entry 0, pixels 8..15 entry 1.
  const auto write = [](TPixelColor first, TPixelColor second) {
    TDibPalette palette;
    palette.Count = 2;
    palette.SetValue(0, first);
    palette.SetValue(1, second);
    TPcxGraphic picture;
    picture.NewImage(16, 1, ifBlackWhite, &palette, 72, 72);
    for (int x = 0; x < 16; ++x)
      picture.SetPixelIndex(x, 0, x >= 8);
    return SavedBytes(picture);
  };
  const auto whiteBlack = write(0xFFFFFF, 0x000000);
  EXPECT_EQ(std::vector<uint8_t>(whiteBlack.begin() + 128, whiteBlack.end()),
            (std::vector<uint8_t>{0xC1, 0xFF, 0x00}));
  const auto read = LoadedFrom<TPcxGraphic>(whiteBlack);
  EXPECT_EQ(read->Pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(read->Pixel(15, 0), 0u);

  const auto blackWhite = write(0x000000, 0xFFFFFF);
  EXPECT_EQ(std::vector<uint8_t>(blackWhite.begin() + 128, blackWhite.end()),
            (std::vector<uint8_t>{0x00, 0xC1, 0xFF}));
  // Brightness weighs green most: pure green is brighter than pure red.
  const auto redGreen = write(0x0000FF, 0x00FF00);
  EXPECT_EQ(redGreen[128], 0x00);
  const auto greenRed = write(0x00FF00, 0x0000FF);
  EXPECT_EQ(greenRed[128], 0xC1);
}

TEST(PcxWrite, RunRules) {
  const auto coded = [](std::vector<uint8_t> line) {
    std::vector<uint8_t> out;
    EncodePcxLine(line.data(), line.size(), out);
    return out;
  };
  EXPECT_EQ(coded(std::vector<uint8_t>(100, 5)), (std::vector<uint8_t>{0xFF, 5, 0xE5, 5}));
  EXPECT_EQ(coded({0xC5}), (std::vector<uint8_t>{0xC1, 0xC5}));
  EXPECT_EQ(coded({0x3F, 0xBF}), (std::vector<uint8_t>{0x3F, 0xBF}));
  EXPECT_EQ(coded({9, 9, 0xC0, 1}), (std::vector<uint8_t>{0xC2, 9, 0xC1, 0xC0, 1}));

  // Every line is coded on its own: two rows of equal bytes give two runs.
  TDibPalette grey;
  TPcxGraphic picture;
  picture.NewImage(4, 2, ifGray256, nullptr, 72, 72);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      picture.SetPixelIndex(x, y, 7);
  const auto file = SavedBytes(picture);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 128, file.end() - 769),
            (std::vector<uint8_t>{0xC4, 7, 0xC4, 7}));
}

TEST(PcxWrite, FailuresAreReported) {
  TPcxGraphic picture;
  MakePicture(picture, 5, 5, ifColor256);
  TSpanStream readOnly(nullptr, 0);
  EXPECT_EQ(ErrorOf<EBmodError>([&] { picture.SaveToStream(readOnly); }),
            "bmod_write failed.: write failed");
  TPcxGraphic empty;
  TMemoryStream stream;
  EXPECT_EQ(ErrorOf<EBmodError>([&] { empty.SaveToStream(stream); }),
            "bmod_write failed.: bitmap cannot be stored in this format");
}

// Our files as another program's reader sees them (when it is installed).
TEST(PcxWrite, AnotherReaderSeesTheSamePixels) {
  const QString reader = QStandardPaths::findExecutable("pcxtoppm");
  if (reader.isEmpty()) GTEST_SKIP() << "pcxtoppm is not installed";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (TImageFormat format : kFormats) {
    TPcxGraphic picture;
    MakePicture(picture, 37, 9, format);
    const std::string pcx = dir.filePath("out.pcx").toStdString();
    picture.SaveToFile(pcx);
    QProcess process;
    process.setStandardOutputFile(dir.filePath("out.ppm"));
    process.start(reader, {QString::fromStdString(pcx)});
    ASSERT_TRUE(process.waitForFinished(20000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage theirs(dir.filePath("out.ppm"), "PPM");
    EXPECT_TRUE(SamePixels(picture, theirs.convertToFormat(QImage::Format_ARGB32)))
        << FormatDescription(format);
  }
}

} // namespace
