// Reading PNG variants made by hand: the 2-bit path, the gamma rules, compositing, resolution,
// refused variants and the warning route.

#include "PngTestFiles.h"

#include "imaging/core/Picture.h"
#include "imaging/core/Screen.h"
#include "imaging/core/Stream.h"
#include "imaging/png/PngGraphic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace kestrel;
using namespace kestrel::test;

namespace {

std::string LoadError(const std::vector<uint8_t>& file) {
  try {
    LoadPng(file);
  } catch (const EPNGError& e) {
    return e.what();
  }
  return "loaded";
}

std::vector<uint8_t> Big32(uint32_t v) {
  return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

// Eight-bit grey after correction from file gamma g to the screen's 2.2.
int Corrected(int value, double g) {
  return static_cast<int>(std::lround(255 * std::pow(value / 255.0, 1 / (g * 2.2))));
}

// One row of 8-bit grey samples.
std::vector<uint8_t> GreyRow(std::initializer_list<uint8_t> values) {
  return values;
}

TEST(PngRead, TwoBitGreyShowsFourEvenLevelsWithoutGamma) {
  // 0, 1, 2, 3 packed most significant pair first; a gAMA must not touch 2-bit samples.
  const auto file = TPngMaker(4, 1, 2, 0).Gamma(0.25).Build({{0x1B}});
  const auto picture = LoadPng(file);
  ASSERT_EQ(picture->ImageFormat(), ifGray16);
  const TPixelColor levels[] = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(picture->PixelIndex(x, 0), 5 * x);
    EXPECT_EQ(picture->Pixel(x, 0), levels[x]);
  }
}

TEST(PngRead, TwoBitPaletteKeepsIndicesAndEntries) {
  const auto file = TPngMaker(5, 1, 2, 3)
                        .Palette({{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {200, 210, 220}})
                        .Build({{0xE4, 0x40}}); // 3 2 1 0 | 1
  const auto picture = LoadPng(file);
  ASSERT_EQ(picture->ImageFormat(), ifColor16);
  EXPECT_EQ(picture->Palette().Count, 4);
  const int indices[] = {3, 2, 1, 0, 1};
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(picture->PixelIndex(x, 0), indices[x]);
  EXPECT_EQ(picture->Pixel(0, 0), 0xC8D2DCu);
}

TEST(PngRead, GammaRulesByChunk) {
  const auto row = GreyRow({0, 64, 128, 255});
  const auto noGamma = LoadPng(TPngMaker(4, 1, 8, 0).Build({row}));
  const auto linear = LoadPng(TPngMaker(4, 1, 8, 0).Gamma(1.0).Build({row}));
  const auto srgb = LoadPng(TPngMaker(4, 1, 8, 0).Chunk("sRGB", {0}).Gamma(1.0).Build({row}));
  EXPECT_DOUBLE_EQ(noGamma->Gamma, 0.5);
  EXPECT_DOUBLE_EQ(linear->Gamma, 1.0);
  for (int x = 0; x < 4; ++x) {
    const int value = row[static_cast<size_t>(x)];
    EXPECT_NEAR(noGamma->PixelIndex(x, 0), Corrected(value, 0.5), 1) << value;
    EXPECT_NEAR(linear->PixelIndex(x, 0), Corrected(value, 1.0), 1) << value;
    EXPECT_EQ(srgb->PixelIndex(x, 0), value) << "sRGB is shown as it is";
  }
}

TEST(PngRead, FourBitGreyWithoutGammaIsCorrectedAsHalf) {
  const std::vector<std::vector<uint8_t>> rows = {{0x01, 0x8F}};
  const auto none = LoadPng(TPngMaker(4, 1, 4, 0).Build(rows));
  const auto half = LoadPng(TPngMaker(4, 1, 4, 0).Gamma(0.5).Build(rows));
  const auto one = LoadPng(TPngMaker(4, 1, 4, 0).Gamma(1.0).Build(rows));
  bool differsFromLinear = false;
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(none->PixelIndex(x, 0), half->PixelIndex(x, 0));
    differsFromLinear |= none->PixelIndex(x, 0) != one->PixelIndex(x, 0);
  }
  EXPECT_TRUE(differsFromLinear);
  EXPECT_EQ(none->PixelIndex(3, 0), 15);
}

TEST(PngRead, SixteenBitRgbBecomesTrueColour) {
  // One pixel of red 0xFF00, green 0x8000, blue 0x0000, gamma 1/2.2 (no correction).
  const auto picture =
      LoadPng(TPngMaker(1, 1, 16, 2).Gamma(1 / 2.2).Build({{0xFF, 0, 0x80, 0, 0, 0}}));
  ASSERT_EQ(picture->ImageFormat(), ifTrueColor);
  const TPixelColor p = picture->Pixel(0, 0);
  EXPECT_EQ(p >> 16 & 0xFF, 0xFFu);
  EXPECT_NEAR(static_cast<int>(p >> 8 & 0xFF), 0x80, 1);
  EXPECT_EQ(p & 0xFF, 0u);
  EXPECT_EQ(picture->ScanLine(0)[2], 0xFF) << "true colour rows are blue, green, red";
}

TEST(PngRead, RgbaWithoutBackgroundChunkIsCompositedOntoBlack) {
  // Transparent red, opaque green, half-transparent white; no gAMA (0.5 applies).
  const auto file =
      TPngMaker(3, 1, 8, 6).Build({{255, 0, 0, 0, 0, 255, 0, 255, 255, 255, 255, 128}});
  const auto picture = LoadPng(file);
  ASSERT_EQ(picture->ImageFormat(), ifTrueColor);
  EXPECT_EQ(picture->Pixel(0, 0), 0x000000u);
  EXPECT_EQ(picture->Pixel(1, 0), 0x00FF00u);
  // White at alpha 128/255 over black, mixed in linear light and shown at 2.2: 186.
  const double expected = 255 * std::pow(128 / 255.0, 1 / 2.2);
  for (int shift : {0, 8, 16})
    EXPECT_NEAR(static_cast<int>(picture->Pixel(2, 0) >> shift & 0xFF), expected, 1.5);

  TPngGraphic onWhite;
  onWhite.BackgroundColor = clWhite;
  TMemoryStream stream(file);
  onWhite.LoadFromStream(stream);
  EXPECT_EQ(onWhite.Pixel(0, 0), 0xFFFFFFu);
}

TEST(PngRead, FileBackgroundUnlessOwnIsAskedFor) {
  // Black is transparent (tRNS); bKGD is blue; gamma 1/2.2 leaves samples as they are.
  const auto file = TPngMaker(2, 1, 8, 2)
                        .Gamma(1 / 2.2)
                        .Chunk("tRNS", {0, 0, 0, 0, 0, 0})
                        .Chunk("bKGD", {0, 0, 0, 0, 0, 255})
                        .Build({{0, 0, 0, 10, 20, 30}});
  EXPECT_EQ(LoadPng(file)->Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(LoadPng(file)->Pixel(1, 0), 0x0A141Eu);
  TPngGraphic own;
  own.UseOwnBackground = true;
  own.BackgroundColor = clLime;
  TMemoryStream stream(file);
  own.LoadFromStream(stream);
  EXPECT_EQ(own.Pixel(0, 0), 0x00FF00u);
  EXPECT_EQ(own.Pixel(1, 0), 0x0A141Eu);
}

TEST(PngRead, ResolutionFromPhysInPixelsPerMetre) {
  std::vector<uint8_t> phys = Big32(11811);
  const auto y = Big32(3780);
  phys.insert(phys.end(), y.begin(), y.end());
  phys.push_back(1);
  const auto metres = LoadPng(TPngMaker(1, 1, 8, 0).Chunk("pHYs", phys).Build({{0}}));
  EXPECT_EQ(metres->XDotsPerInch(), 300);
  EXPECT_EQ(metres->YDotsPerInch(), 96);
  phys.back() = 0; // aspect ratio only: the screen's resolution applies
  const auto aspect = LoadPng(TPngMaker(1, 1, 8, 0).Chunk("pHYs", phys).Build({{0}}));
  EXPECT_EQ(aspect->XDotsPerInch(), ScreenLogicalDpiX());
}

TEST(PngRead, PaletteLongerThanTheDepthIsCut) {
  const auto picture = LoadPng(TPngMaker(2, 1, 1, 3)
                                   .Palette({{255, 0, 0}, {0, 0, 255}, {1, 1, 1}, {2, 2, 2}})
                                   .Build({{0x40}}));
  ASSERT_EQ(picture->ImageFormat(), ifBlackWhite);
  EXPECT_EQ(picture->Palette().Count, 2);
  EXPECT_EQ(picture->Pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(picture->Pixel(1, 0), 0x0000FFu);
}

TEST(PngRead, RefusedVariantsNameTheirReason) {
  struct TCase {
    int Depth, Type;
  };
  const TCase refused[] = {{1, 2}, {2, 2}, {4, 2},  {1, 4}, {2, 4}, {4, 4}, {1, 6},
                           {2, 6}, {4, 6}, {16, 3}, {8, 5}, {8, 1}, {8, 7}};
  for (const TCase& c : refused)
    EXPECT_EQ(LoadError(TPngMaker(1, 1, c.Depth, c.Type).Build({{0}})),
              "Invalid color type for bit depth")
        << c.Depth << " bits, type " << c.Type;
  for (int depth : {0, 3, 5, 32})
    EXPECT_EQ(LoadError(TPngMaker(1, 1, depth, 0).Build({{0}})), "Invalid bit depth") << depth;
  EXPECT_EQ(LoadError(TPngMaker(1, 1, 8, 0, 2).Build({{0}})), "Interlace type not valid");
  EXPECT_EQ(LoadError({'G', 'I', 'F', '8', '9', 'a', 0, 0}), "PNG file is not valid or corrupted");
}

TEST(PngRead, ReadsFromTheStreamPosition) {
  std::vector<uint8_t> bytes = {1, 2, 3};
  const auto png = TPngMaker(2, 1, 8, 0).Gamma(1 / 2.2).Build({{7, 9}});
  bytes.insert(bytes.end(), png.begin(), png.end());
  TMemoryStream stream(bytes);
  stream.SetPosition(3);
  TPngGraphic picture;
  picture.LoadFromStream(stream);
  EXPECT_EQ(picture.PixelIndex(1, 0), 9);
}

TEST(PngRead, InfoFromHeaderChunks) {
  const std::string suite = DataPath("pngsuite/");
  struct TCase {
    const char* Name;
    int Bits, Entries;
  };
  for (const TCase& c : {TCase{"basn3p04", 4, 15}, TCase{"basn0g08", 8, 256},
                         TCase{"basn2c16", 24, 0}, TCase{"basn0g01", 1, 2}}) {
    TFileStream stream(suite + c.Name + ".png", TFileMode::OpenRead);
    const TImageInfo info = TPngGraphic().ReadInfo(stream);
    EXPECT_EQ(info.Width, 32);
    EXPECT_EQ(info.BitsPerPixel, c.Bits) << c.Name;
    EXPECT_EQ(info.PaletteEntries, c.Entries) << c.Name;
  }
}

TEST(PngRead, RegisteredForItsExtension) {
  const auto format = TPicture::FindFileFormat("picture.PNG");
  ASSERT_TRUE(format);
  EXPECT_EQ(format->Description, "Portable Network Graphic");
  EXPECT_EQ(format->Class, typeid(TPngGraphic));
}

// A text chunk with a wrong CRC: libpng warns and goes on.
std::vector<uint8_t> FileWithDamagedTextChunk() {
  auto file = TPngMaker(1, 1, 8, 0).Chunk("tEXt", {'a', 0, 'b'}).Build({{5}});
  const size_t text = 8 + 25; // signature and IHDR chunk
  file[text + 8 + 3] ^= 0xFF; // a byte of the chunk's CRC
  return file;
}

TEST(PngWarnings, GoToTheHandlerAndNeverStopTheLoad) {
  std::vector<std::string> seen;
  TPngGraphic::SetWarningHandler([&](const std::string& message) { seen.push_back(message); });
  const auto picture = LoadPng(FileWithDamagedTextChunk());
  TPngGraphic::SetWarningHandler(nullptr);
  EXPECT_EQ(picture->Width(), 1);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].find("CRC"), std::string::npos) << seen[0];
}

TEST(PngWarnings, GoToStandardErrorByDefault) {
  testing::internal::CaptureStderr();
  LoadPng(FileWithDamagedTextChunk());
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("PNG warning: "), std::string::npos) << err;
}

} // namespace
