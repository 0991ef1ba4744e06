#include "imaging/tga/TgaGraphic.h"

#include "../bmod/PictureTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr const char* kHeaderFailed = "bmod_read_header failed.: ";
constexpr const char* kDataFailed = "bmod_read_data failed.: ";
constexpr uint8_t kTopDown = 0x20;

// A Targa file laid out byte by byte: header, identification field, colour map, data.
struct TgaFields {
  uint8_t Type = 2;
  uint8_t Depth = 24;
  int Width = 1;
  int Height = 1;
  uint8_t Descriptor = 0;
  uint8_t MapType = 0;
  uint16_t MapFirst = 0;
  uint16_t MapLength = 0;
  uint8_t MapEntrySize = 0;
  std::vector<uint8_t> Id;
  std::vector<uint8_t> Map;
};

std::vector<uint8_t> TgaFile(const TgaFields& f, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> b = {static_cast<uint8_t>(f.Id.size()),
                            f.MapType,
                            f.Type,
                            static_cast<uint8_t>(f.MapFirst),
                            static_cast<uint8_t>(f.MapFirst >> 8),
                            static_cast<uint8_t>(f.MapLength),
                            static_cast<uint8_t>(f.MapLength >> 8),
                            f.MapEntrySize,
                            0,
                            0,
                            0,
                            0,
                            static_cast<uint8_t>(f.Width),
                            static_cast<uint8_t>(f.Width >> 8),
                            static_cast<uint8_t>(f.Height),
                            static_cast<uint8_t>(f.Height >> 8),
                            f.Depth,
                            f.Descriptor};
  b.insert(b.end(), f.Id.begin(), f.Id.end());
  b.insert(b.end(), f.Map.begin(), f.Map.end());
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

std::string LoadError(const std::vector<uint8_t>& file) {
  return ErrorOf<EBmodError>([&] { LoadedFrom<TTgaGraphic>(file); });
}

struct ConformanceFile {
  std::string Name;
  std::string Reference;
  TImageFormat Format;
};

class TgaConformance : public ::testing::TestWithParam<ConformanceFile> {};

// Files of another program: grey+alpha and RGBA files keep their colour channels (alpha dropped).
TEST_P(TgaConformance, LoadsWithTheReferencePixels) {
  const ConformanceFile& p = GetParam();
  TTgaGraphic picture;
  picture.LoadFromFile(DataPath("tga/" + p.Name));
  EXPECT_EQ(picture.ImageFormat(), p.Format);
  EXPECT_TRUE(SamePixels(picture, ReferencePng(DataPath("tga/" + p.Reference))));
}

// Every mode in both origins, plain and run-length coded.
std::vector<ConformanceFile> ConformanceFiles() {
  const std::pair<const char*, TImageFormat> modes[] = {
      {"1x1_l", ifColor256},    {"200x32_l", ifColor256},    {"200x32_la", ifColor256},
      {"200x32_p", ifColor256}, {"200x32_rgb", ifTrueColor}, {"200x32_rgba", ifTrueColor}};
  std::vector<ConformanceFile> files;
  for (auto [mode, format] : modes)
    for (const char* variant : {"_bl_raw", "_bl_rle", "_tl_raw", "_tl_rle"})
      files.push_back({mode + std::string(variant) + ".tga", mode + std::string(".png"), format});
  return files;
}

INSTANTIATE_TEST_SUITE_P(Files, TgaConformance, ::testing::ValuesIn(ConformanceFiles()),
                         [](const auto& info) {
                           return info.param.Name.substr(0, info.param.Name.find('.'));
                         });

TEST(TgaRead, GreyFilesGetAGreyRamp) {
  TTgaGraphic picture;
  picture.LoadFromFile(DataPath("tga/200x32_l_bl_rle.tga"));
  ASSERT_EQ(picture.Palette().Count, 256);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(picture.Palette().Value(i), TPixelColor(i * 0x010101)) << i;
}

TEST(TgaRead, BothOriginsGiveTheSamePicture) {
  // 2 x 2 true colour, rows stored bottom first and top first.
  const std::vector<uint8_t> top = {1, 2, 3, 4, 5, 6}, bottom = {7, 8, 9, 10, 11, 12};
  TgaFields f;
  f.Width = 2;
  f.Height = 2;
  std::vector<uint8_t> bottomFirst = bottom;
  bottomFirst.insert(bottomFirst.end(), top.begin(), top.end());
  std::vector<uint8_t> topFirst = top;
  topFirst.insert(topFirst.end(), bottom.begin(), bottom.end());
  const auto a = LoadedFrom<TTgaGraphic>(TgaFile(f, bottomFirst));
  f.Descriptor = kTopDown;
  const auto b = LoadedFrom<TTgaGraphic>(TgaFile(f, topFirst));
  EXPECT_EQ(a->Pixel(0, 0), 0x030201u);
  EXPECT_EQ(a->Pixel(1, 1), 0x0C0B0Au);
  EXPECT_TRUE(SamePixels(*a, *b));
}

TEST(TgaRead, SixteenBitPixelsAreWidened) {
  TgaFields f;
  f.Depth = 16;
  f.Width = 5;
  const std::vector<uint8_t> words = {0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x00, 0x80};
  const auto raw = LoadedFrom<TTgaGraphic>(TgaFile(f, words));
  const TPixelColor expected[] = {0xF8F8F8, 0xF80000, 0x00F800, 0x0000F8, 0x000000};
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(raw->Pixel(x, 0), expected[x]) << x;
  f.Type = 10;
  std::vector<uint8_t> packets = {0x04};
  packets.insert(packets.end(), words.begin(), words.end());
  EXPECT_TRUE(SamePixels(*LoadedFrom<TTgaGraphic>(TgaFile(f, packets)), *raw));
  // Bit 15 ignored, as a run.
  const auto run = LoadedFrom<TTgaGraphic>(TgaFile(f, {0x84, 0xFF, 0xFF}));
  EXPECT_EQ(run->Pixel(4, 0), 0xF8F8F8u);
}

TEST(TgaRead, PacketsRunOnIntoTheNextRow) {
  TgaFields f;
  f.Type = 10;
  f.Width = 3;
  f.Height = 2;
  f.Descriptor = kTopDown;
  // A run of four (a full row and one pixel), then two literal pixels.
  const auto picture = LoadedFrom<TTgaGraphic>(TgaFile(f, {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}));
  for (int x = 0; x < 3; ++x)
    EXPECT_EQ(picture->Pixel(x, 0), 0x030201u);
  EXPECT_EQ(picture->Pixel(0, 1), 0x030201u);
  EXPECT_EQ(picture->Pixel(1, 1), 0x060504u);
  EXPECT_EQ(picture->Pixel(2, 1), 0x090807u);

  // Pixels past the last row are dropped; 32-bit pixels lose their alpha.
  f.Depth = 32;
  f.Descriptor = 0;
  const auto over = LoadedFrom<TTgaGraphic>(TgaFile(f, {0xFF, 10, 20, 30, 40}));
  EXPECT_EQ(over->Pixel(2, 1), 0x1E140Au);
  // A literal packet may end the file early once the last row is full.
  f.Height = 1;
  f.Depth = 24;
  const auto cut = LoadedFrom<TTgaGraphic>(TgaFile(f, {0x7F, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(cut->Pixel(2, 0), 0x090807u);
}

TEST(TgaRead, ColourMapEntriesLandAtTheirIndex) {
  TgaFields f;
  f.Type = 1;
  f.Depth = 8;
  f.Width = 4;
  f.MapType = 1;
  f.MapFirst = 5;
  f.MapLength = 3;
  f.MapEntrySize = 24;
  f.Id = {'n', 'a', 'm', 'e'};
  f.Map = {1, 2, 3, 4, 5, 6, 7, 8, 9}; // blue, green, red
  const auto picture = LoadedFrom<TTgaGraphic>(TgaFile(f, {5, 6, 7, 0}));
  EXPECT_EQ(picture->ImageFormat(), ifColor256);
  EXPECT_EQ(picture->Palette().Count, 256);
  EXPECT_EQ(picture->Pixel(0, 0), 0x030201u);
  EXPECT_EQ(picture->Pixel(2, 0), 0x090807u);
  EXPECT_EQ(picture->Pixel(3, 0), 0u);
  EXPECT_EQ(picture->PixelIndex(1, 0), 6);

  // Entries past 255 are ignored; a true-colour file's map is skipped.
  f.MapFirst = 254;
  const auto wrapped = LoadedFrom<TTgaGraphic>(TgaFile(f, {254, 255, 0, 0}));
  EXPECT_EQ(wrapped->Pixel(1, 0), 0x060504u);
  TgaFields withMap;
  withMap.MapType = 1;
  withMap.MapLength = 10;
  withMap.MapEntrySize = 15; // takes 16 bits an entry
  withMap.Map.assign(20, 0xEE);
  EXPECT_EQ(LoadedFrom<TTgaGraphic>(TgaFile(withMap, {1, 2, 3}))->Pixel(0, 0), 0x030201u);
}

TEST(TgaRead, RefusesUnsupportedHeaders) {
  const auto refused = [](auto change) {
    TgaFields f;
    f.Width = 2;
    change(f);
    return LoadError(TgaFile(f, std::vector<uint8_t>(64, 0)));
  };
  const std::string h = kHeaderFailed;
  const std::string compression = h + "unsupported compression type for bits per pixel";
  EXPECT_EQ(refused([](TgaFields& f) { f.Depth = 15; }), h + "bits per pixel not 8, 16, 24 or 32");
  EXPECT_EQ(refused([](TgaFields& f) { f.Depth = 0; }), h + "bits per pixel not 8, 16, 24 or 32");
  EXPECT_EQ(refused([](TgaFields& f) { f.Depth = 8; }), compression);
  EXPECT_EQ(refused([](TgaFields& f) { f.Type = 3, f.Depth = 24; }), compression);
  EXPECT_EQ(refused([](TgaFields& f) { f.Type = 0; }), compression);
  EXPECT_EQ(refused([](TgaFields& f) { f.Type = 4; }), compression);
  EXPECT_EQ(refused([](TgaFields& f) { f.Type = 32; }), compression);
  EXPECT_EQ(refused([](TgaFields& f) { f.Type = 9, f.Depth = 16, f.MapType = 1; }), compression);
  EXPECT_EQ(refused([](TgaFields& f) { f.Type = 1, f.Depth = 8, f.MapType = 1; }),
            h + "color map entry size not 24 bits per pixel");
  EXPECT_EQ(refused([](TgaFields& f) { f.Type = 1, f.Depth = 8, f.MapEntrySize = 24; }),
            h + "color map missing");
  EXPECT_EQ(refused([](TgaFields& f) { f.Width = 0; }), h + "negative or zero image size");
  EXPECT_EQ(refused([](TgaFields& f) { f.Height = 0; }), h + "negative or zero image size");
  EXPECT_EQ(LoadError(std::vector<uint8_t>(17, 0)), h + "unexpected end of data");
  TgaFields shortMap;
  shortMap.Type = 1;
  shortMap.Depth = 8;
  shortMap.MapType = 1;
  shortMap.MapLength = 256;
  shortMap.MapEntrySize = 24;
  shortMap.Map.assign(100, 0);
  EXPECT_EQ(LoadError(TgaFile(shortMap, {})), h + "unexpected end of data");
}

TEST(TgaRead, MissingDataFails) {
  const std::string failed = std::string(kDataFailed) + "unexpected end of data";
  TgaFields f;
  f.Width = 2;
  f.Height = 2;
  EXPECT_EQ(LoadError(TgaFile(f, std::vector<uint8_t>(11, 0))), failed);
  f.Type = 10;
  EXPECT_EQ(LoadError(TgaFile(f, {0x81, 1, 2, 3, 0x01, 4, 5, 6})), failed);
  EXPECT_EQ(LoadError(TgaFile(f, {0x82, 1, 2, 3, 0x80, 4, 5})), failed);

  f.Width = 0xFFFF;
  f.Height = 0xFFFF;
  EXPECT_EQ(LoadError(TgaFile(f, {0xFF, 1, 2, 3})), std::string(kHeaderFailed) + "image too large");
  // 400 MB of grey would fit the limit, but a few packets cannot fill it.
  f.Type = 11;
  f.Depth = 8;
  f.Width = f.Height = 20000;
  TTgaGraphic picture;
  TMemoryStream stream(TgaFile(f, std::vector<uint8_t>(200, 0xFF)));
  EXPECT_EQ(ErrorOf<EBmodError>([&] { picture.LoadFromStream(stream); }), failed);
  EXPECT_TRUE(picture.Empty());
}

TEST(TgaRead, ReadsFromTheStreamPosition) {
  TgaFields f;
  f.Type = 3;
  f.Depth = 8;
  EXPECT_EQ(LoadedAfterJunk<TTgaGraphic>(TgaFile(f, {77}), 11)->PixelIndex(0, 0), 77);
}

} // namespace
