#include "imaging/core/ImageLimits.h"
#include "imaging/pcx/PcxGraphic.h"

#include "../bmod/PictureTestSupport.h"
#include "PcxTestFiles.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr const char* kHeaderFailed = "bmod_read_header failed.: ";
constexpr const char* kDataFailed = "bmod_read_data failed.: ";

std::string LoadError(const std::vector<uint8_t>& file) {
  return ErrorOf<EBmodError>([&] { LoadedFrom<TPcxGraphic>(file); });
}

// Codes bytes as literals (a byte of 0xC0 or more as a run of one).
std::vector<uint8_t> Literals(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> coded;
  for (uint8_t b : bytes) {
    if (b >= 0xC0) coded.push_back(0xC1);
    coded.push_back(b);
  }
  return coded;
}

TEST(PcxRead, AcceptsVersionsUpToFiveButFour) {
  for (uint8_t version : {0, 1, 2, 3, 5}) {
    auto file = Pcx8(2, 1, 2, {7, 0xC1, 200});
    file[1] = version;
    const auto picture = LoadedFrom<TPcxGraphic>(file);
    EXPECT_EQ(picture->PixelIndex(0, 0), 7) << int(version);
    EXPECT_EQ(picture->PixelIndex(1, 0), 200) << int(version);
  }
  for (uint8_t version : {4, 6, 255}) {
    auto file = Pcx8(2, 1, 2, {7, 8});
    file[1] = version;
    EXPECT_EQ(LoadError(file), std::string(kHeaderFailed) + "version number not 4 or 5");
  }
}

TEST(PcxRead, RefusesDamagedHeaders) {
  const auto refused = [](auto change) {
    PcxFields f;
    f.XMax = 3;
    f.YMax = 1;
    f.BytesPerLine = 4;
    change(f);
    auto file = PcxFile(f, std::vector<uint8_t>(64, 1));
    AppendTrailer(file);
    return LoadError(file);
  };
  const std::string h = kHeaderFailed;
  EXPECT_EQ(refused([](PcxFields& f) { f.Manufacturer = 11; }), h + "manufacturer byte not 10");
  EXPECT_EQ(refused([](PcxFields& f) { f.Encoding = 0; }), h + "encoding mode not 1");
  EXPECT_EQ(refused([](PcxFields& f) { f.Encoding = 2; }), h + "encoding mode not 1");
  const std::pair<int, int> combinations[] = {{2, 1}, {8, 2}, {4, 4}, {1, 3}, {24, 1}, {8, 4}};
  for (auto [bits, planes] : combinations)
    EXPECT_EQ(refused([&](PcxFields& f) {
                f.BitsPerPlane = uint8_t(bits);
                f.Planes = uint8_t(planes);
              }),
              h + "unsupported bpp/plane / plane combination")
        << bits << " " << planes;
  EXPECT_EQ(refused([](PcxFields& f) { f.XMin = 5; }), h + "negative or zero image size");
  EXPECT_EQ(refused([](PcxFields& f) { f.YMin = 3; }), h + "negative or zero image size");
  EXPECT_EQ(refused([](PcxFields& f) { f.BytesPerLine = 3; }),
            h + "bytes per line too small for the width");
  EXPECT_EQ(LoadError(std::vector<uint8_t>(60, 10)), h + "unexpected end of data");
}

TEST(PcxRead, EgaFourBitPlanesUseTheHeaderPalette) {
  // 10 x 2 pixels: row 0 holds 0..9, row 1 holds 15..6; plane k carries bit k of each pixel.
  const int width = 10;
  const auto pixel = [](int x, int y) { return y == 0 ? x : 15 - x; };
  std::vector<uint8_t> lines;
  for (int y = 0; y < 2; ++y)
    for (int k = 0; k < 4; ++k) {
      uint8_t bytes[2] = {0, 0};
      for (int x = 0; x < width; ++x)
        if (pixel(x, y) >> k & 1) bytes[x / 8] |= uint8_t(0x80 >> (x % 8));
      lines.insert(lines.end(), bytes, bytes + 2);
    }
  PcxFields f;
  f.BitsPerPlane = 1;
  f.Planes = 4;
  f.XMax = width - 1;
  f.YMax = 1;
  f.BytesPerLine = 2;
  for (int i = 0; i < 16; ++i) {
    f.Palette[3 * i] = uint8_t(i * 16);
    f.Palette[3 * i + 1] = uint8_t(255 - i);
    f.Palette[3 * i + 2] = uint8_t(i * 5);
  }
  const auto picture = LoadedFrom<TPcxGraphic>(PcxFile(f, Literals(lines)));
  EXPECT_EQ(picture->ImageFormat(), ifColor16);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < width; ++x) {
      const int i = pixel(x, y);
      EXPECT_EQ(picture->PixelIndex(x, y), i) << x << "," << y;
      EXPECT_EQ(picture->Pixel(x, y), TPixelColor(i * 16 << 16 | (255 - i) << 8 | i * 5));
    }
}

TEST(PcxRead, PackedFourAndOneBitPixels) {
  PcxFields f;
  f.BitsPerPlane = 4;
  f.XMax = 2;
  f.BytesPerLine = 2;
  f.Palette[3 * 0xA] = 0x12;
  const auto packed = LoadedFrom<TPcxGraphic>(PcxFile(f, {0x3A, 0x50}));
  EXPECT_EQ(packed->ImageFormat(), ifColor16);
  EXPECT_EQ(packed->PixelIndex(0, 0), 3);
  EXPECT_EQ(packed->PixelIndex(1, 0), 0xA);
  EXPECT_EQ(packed->PixelIndex(2, 0), 5);
  EXPECT_EQ(packed->Pixel(1, 0), 0x120000u);

  // One bit: black and white whatever the header's palette says.
  f.BitsPerPlane = 1;
  f.XMax = 9;
  f.Palette[0] = 0xFF;
  f.Palette[4] = 0xFF;
  const auto mono = LoadedFrom<TPcxGraphic>(PcxFile(f, {0xA0, 0x40}));
  EXPECT_EQ(mono->ImageFormat(), ifBlackWhite);
  const int bits[10] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(mono->Pixel(x, 0), bits[x] ? 0xFFFFFFu : 0u) << x;
}

TEST(PcxRead, PaletteTrailer) {
  const auto picture = LoadedFrom<TPcxGraphic>(Pcx8(2, 1, 2, {0, 0xC1, 0xFE}));
  EXPECT_EQ(picture->ImageFormat(), ifColor256);
  EXPECT_EQ(picture->Palette().Count, 256);
  EXPECT_EQ(picture->Pixel(0, 0), 0x00FF00u);
  EXPECT_EQ(picture->Pixel(1, 0), 0xFE017Fu);

  auto bad = Pcx8(2, 1, 2, {0, 1});
  bad[bad.size() - 769] = 0x0B;
  EXPECT_EQ(LoadError(bad), std::string(kHeaderFailed) + "corrupt file trailer");
  auto short_ = Pcx8(2, 1, 2, {0, 1});
  short_.resize(600);
  EXPECT_EQ(LoadError(short_), std::string(kHeaderFailed) + "corrupt file trailer");
}

TEST(PcxRead, RunsCarryOverLineAndPlaneEnds) {
  // One run of eight fills both 4-byte lines.
  auto lines = LoadedFrom<TPcxGraphic>(Pcx8(4, 2, 4, {0xC8, 7}));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(lines->PixelIndex(x, y), 7);

  // 3 wide with 4 bytes per line: a run covers a row's last pixel, the dropped byte and the next
  // row's first pixel.
  auto padded = LoadedFrom<TPcxGraphic>(Pcx8(3, 2, 4, {1, 2, 0xC3, 9, 5, 6, 0}));
  EXPECT_EQ(padded->PixelIndex(2, 0), 9);
  EXPECT_EQ(padded->PixelIndex(0, 1), 9);
  EXPECT_EQ(padded->PixelIndex(1, 1), 5);
  EXPECT_EQ(padded->PixelIndex(2, 1), 6);

  // True colour, 2 wide: the red plane's run reaches into the green plane.
  PcxFields f;
  f.Planes = 3;
  f.XMax = 1;
  f.BytesPerLine = 2;
  const auto planes = LoadedFrom<TPcxGraphic>(PcxFile(f, {0xC3, 0x10, 0x20, 0xC2, 0x30}));
  EXPECT_EQ(planes->ImageFormat(), ifTrueColor);
  EXPECT_EQ(planes->Pixel(0, 0), 0x101030u);
  EXPECT_EQ(planes->Pixel(1, 0), 0x102030u);
}

TEST(PcxRead, BytesBeyondTheRowAreDropped) {
  const auto picture =
      LoadedFrom<TPcxGraphic>(Pcx8(3, 2, 6, {1, 2, 3, 99, 98, 97, 4, 5, 6, 0xC3, 9}));
  const int expected[2][3] = {{1, 2, 3}, {4, 5, 6}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(picture->PixelIndex(x, y), expected[y][x]);
}

TEST(PcxRead, ResolutionComesFromTheHeader) {
  auto file = Pcx8(1, 1, 2, {3, 3});
  file[12] = 0x2C; // 300
  file[13] = 0x01;
  file[14] = 150;
  const auto picture = LoadedFrom<TPcxGraphic>(file);
  EXPECT_EQ(picture->XDotsPerInch(), 300);
  EXPECT_EQ(picture->YDotsPerInch(), 150);
}

TEST(PcxRead, ReadsFromTheStreamPosition) {
  EXPECT_EQ(LoadedAfterJunk<TPcxGraphic>(Pcx8(2, 1, 2, {5, 6}), 37)->PixelIndex(1, 0), 6);
}

TEST(PcxRead, MissingDataFails) {
  const std::string failed = std::string(kDataFailed) + "unexpected end of data";
  EXPECT_EQ(LoadError(Pcx8(4, 2, 4, {1, 2, 3, 4, 5})), failed);
  EXPECT_EQ(LoadError(Pcx8(4, 1, 4, {1, 2, 3, 0xC1})), failed); // a count with no value
  PcxFields f;
  f.Planes = 3;
  f.XMax = 1;
  f.BytesPerLine = 2;
  EXPECT_EQ(LoadError(PcxFile(f, {0xC5, 1})), failed);
  // The palette trailer is not data: a line cannot take its bytes.
  EXPECT_EQ(LoadError(Pcx8(4, 1, 4, {1, 2})), failed);
}

TEST(PcxRead, HugeSizesAreRefusedBeforeAllocating) {
  PcxFields f;
  f.Planes = 3;
  f.XMax = 0xFFFE;
  f.YMax = 0xFFFE;
  f.BytesPerLine = 0xFFFF;
  EXPECT_EQ(LoadError(PcxFile(f, {0xFF, 0})), std::string(kHeaderFailed) + "image too large");

  // 400 MB of pixels would fit the limit, but 64 bytes of data cannot fill them.
  TPcxGraphic picture;
  TMemoryStream stream(Pcx8(20000, 20000, 20000, std::vector<uint8_t>(64, 0xFF)));
  EXPECT_EQ(ErrorOf<EBmodError>([&] { picture.LoadFromStream(stream); }),
            std::string(kDataFailed) + "unexpected end of data");
  EXPECT_TRUE(picture.Empty());
}

struct ThirdPartyFile {
  const char* File;
  const char* Reference;
  TImageFormat Format;
};

// Printed by its name: its bytes hold padding that was never written.
void PrintTo(const ThirdPartyFile& file, std::ostream* out) {
  *out << file.File;
}

class PcxThirdParty : public ::testing::TestWithParam<ThirdPartyFile> {};

TEST_P(PcxThirdParty, LoadsWithTheReferencePixels) {
  const ThirdPartyFile& p = GetParam();
  TPcxGraphic picture;
  picture.LoadFromFile(DataPath(std::string("pcx/") + p.File));
  EXPECT_EQ(picture.ImageFormat(), p.Format);
  EXPECT_TRUE(SamePixels(picture, ReferencePng(DataPath(std::string("pcx/") + p.Reference))));
}

INSTANTIATE_TEST_SUITE_P(
    Files, PcxThirdParty,
    ::testing::Values(ThirdPartyFile{"ppmtopcx_24bit.pcx", "rich.png", ifTrueColor},
                      ThirdPartyFile{"ppmtopcx_offset.pcx", "rich.png", ifTrueColor},
                      ThirdPartyFile{"ppmtopcx_8bit.pcx", "rich256.png", ifColor256},
                      ThirdPartyFile{"ppmtopcx_4planes.pcx", "rich16.png", ifColor16},
                      ThirdPartyFile{"ppmtopcx_packed4.pcx", "rich16.png", ifColor16},
                      ThirdPartyFile{"ppmtopcx_1bit.pcx", "mono.png", ifBlackWhite},
                      ThirdPartyFile{"magick_24bit.pcx", "rich.png", ifTrueColor},
                      ThirdPartyFile{"magick_8bit.pcx", "rich256.png", ifColor256}),
    [](const auto& info) {
      std::string name = info.param.File;
      return name.substr(0, name.find('.'));
    });

} // namespace
