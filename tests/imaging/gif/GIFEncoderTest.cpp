#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFFrameCoder.h"
#include "imaging/gif/HashTable.h"
#include "imaging/gif/RLEEncoder.h"

#include "GIFTestData.h"
#include "GifReference.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kestrel;
using namespace kestrel::giftest;

namespace {

std::vector<uint8_t> Encode(const std::vector<uint8_t>& pixels, int width, int height, int bpp,
                            bool interlaced, TGIFCompression compression, int colors = 0,
                            WarningLog* log = nullptr) {
  TMemoryStream stream;
  EncodeGIFFrame(stream, bpp, colors ? colors : 1 << bpp, pixels.empty() ? nullptr : pixels.data(),
                 interlaced, height, width, log ? log->Event() : nullptr, compression);
  return stream.Bytes();
}

std::vector<uint8_t> DecodeOurs(const std::vector<uint8_t>& data, int width, int height,
                                bool interlaced, WarningLog& log) {
  std::vector<uint8_t> pixels(size_t(width) * height);
  TMemoryStream stream(data);
  DecodeGIFFrame(stream, width, height, interlaced, 0, pixels.data(), log.Event());
  EXPECT_EQ(stream.Position(), stream.Size()) << "the terminator ends the data";
  return pixels;
}

std::string EncodeError(const std::vector<uint8_t>& pixels, int bpp, int colors,
                        TGIFCompression compression) {
  try {
    Encode(pixels, int(pixels.size()), 1, bpp, false, compression, colors);
  } catch (const GIFException& e) {
    return e.what();
  }
  return "no error";
}

using RoundTrip = std::tuple<int, bool, TGIFCompression>;

class GIFRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

} // namespace

TEST_P(GIFRoundTrip, OurDecoderAndGiflibReadBackEveryPixel) {
  const auto [bpp, interlaced, compression] = GetParam();
  const std::pair<int, int> sizes[] = {{1, 1}, {5, 3}, {97, 61}, {640, 110}};
  for (PictureKind kind : {PictureKind::Noise, PictureKind::Runs, PictureKind::Gradient}) {
    for (const auto& [width, height] : sizes) {
      const auto pixels = MakePicture(kind, width, height, 1 << bpp, width + bpp);
      WarningLog log;
      const std::vector<uint8_t> data =
          Encode(pixels, width, height, bpp, interlaced, compression, 0, &log);
      EXPECT_EQ(DecodeOurs(data, width, height, interlaced, log), pixels)
          << int(kind) << " " << width << "x" << height;
      EXPECT_EQ(gifref::Decode(gifref::WrapImageData(data, width, height, bpp, interlaced)), pixels)
          << int(kind) << " " << width << "x" << height;
      EXPECT_TRUE(log.messages.empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, GIFRoundTrip,
                         ::testing::Combine(::testing::Range(1, 9), ::testing::Bool(),
                                            ::testing::Values(TGIFCompression::LZW,
                                                              TGIFCompression::RLE)));

TEST(GIFEncoder, OneBitPicturesUseCodeSizeTwo) {
  const auto pixels = MakePicture(PictureKind::Runs, 33, 9, 2);
  for (TGIFCompression compression : {TGIFCompression::LZW, TGIFCompression::RLE}) {
    const std::vector<uint8_t> data = Encode(pixels, 33, 9, 1, false, compression);
    ASSERT_EQ(data[0], 2);
    const std::vector<int> codes = SplitCodes(data);
    EXPECT_EQ(codes.front(), 4); // clear
    EXPECT_EQ(codes.back(), 5);  // end
    EXPECT_EQ(gifref::Decode(gifref::WrapImageData(data, 33, 9, 1, false)), pixels);
  }
}

TEST(GIFEncoder, FramesWithoutPixelsCarryOnlyTheEndCode) {
  // Code size 8: the end code 257 in 9 bits is the two bytes 0x01 0x01.
  EXPECT_EQ(Encode({}, 0, 0, 8, false, TGIFCompression::LZW),
            (std::vector<uint8_t>{8, 2, 0x01, 0x01, 0}));
  EXPECT_EQ(Encode({}, 5, 0, 8, true, TGIFCompression::RLE),
            (std::vector<uint8_t>{8, 2, 0x01, 0x01, 0}));
}

TEST(GIFEncoder, LZWClearsInsteadOfTakingEntry4095) {
  for (int bpp : {2, 8}) {
    const auto pixels = MakePicture(PictureKind::Noise, 400, 300, 1 << bpp);
    const std::vector<uint8_t> data = Encode(pixels, 400, 300, bpp, false, TGIFCompression::LZW);
    const std::vector<int> codes = SplitCodes(data);
    const int clear = 1 << bpp;
    ASSERT_EQ(codes.front(), clear);
    std::vector<size_t> clears;
    for (size_t i = 0; i < codes.size(); ++i)
      if (codes[i] == clear) clears.push_back(i);
    ASSERT_GE(clears.size(), 3u) << "noise fills the table several times";
    // Between two clears the table takes entries base .. 4094: one code per entry plus the code
    // after which the clear comes.
    for (size_t k = 1; k < clears.size(); ++k)
      EXPECT_EQ(clears[k] - clears[k - 1] - 1, size_t(4096 - (clear + 2))) << bpp;
    EXPECT_EQ(gifref::Decode(gifref::WrapImageData(data, 400, 300, bpp, false)), pixels);
  }
}

TEST(GIFEncoder, RLEOfOneColourIsShortAndReadableByGiflib) {
  const std::pair<int, int> sizes[] = {{1, 1}, {2, 1}, {3, 3}, {4096, 1}, {1000, 1000}};
  for (int bpp : {1, 3, 8}) {
    for (const auto& [width, height] : sizes) {
      const std::vector<uint8_t> pixels(size_t(width) * height, uint8_t((1 << bpp) - 1));
      const std::vector<uint8_t> data =
          Encode(pixels, width, height, bpp, false, TGIFCompression::RLE);
      EXPECT_EQ(gifref::Decode(gifref::WrapImageData(data, width, height, bpp, false)), pixels)
          << bpp << " bits " << width << "x" << height;
      WarningLog log;
      EXPECT_EQ(DecodeOurs(data, width, height, false, log), pixels);
      // A million pixels need about sqrt(2 000 000) run codes of at most 12 bits.
      if (width * height == 1000000) {
        EXPECT_LT(data.size(), 3000u);
      }
    }
  }
}

TEST(GIFEncoder, RLEMixesLongRunsOfSeveralColours) {
  // Long runs that alternate between colours make the encoder clear and rebuild its run table,
  // and repeat the longest run once the table is built.
  std::vector<uint8_t> pixels;
  uint32_t state = 5;
  for (int run = 0; run < 300; ++run) {
    const size_t length = 1 + NextRandom(state) % (run % 3 == 0 ? 40000 : 300);
    pixels.insert(pixels.end(), length, uint8_t(run % 3 == 2 ? 1 : NextRandom(state) % 16));
  }
  const int width = 1000;
  pixels.resize(pixels.size() / width * width);
  const int height = int(pixels.size()) / width;
  const std::vector<uint8_t> data = Encode(pixels, width, height, 4, false, TGIFCompression::RLE);
  EXPECT_EQ(gifref::Decode(gifref::WrapImageData(data, width, height, 4, false)), pixels);
  EXPECT_LT(data.size(), pixels.size() / 20);
}

TEST(GIFEncoder, InterlacedThreeRowsAreSentAsRowsZeroTwoOne) {
  const std::vector<uint8_t> rows = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
  for (TGIFCompression compression : {TGIFCompression::LZW, TGIFCompression::RLE}) {
    const std::vector<uint8_t> data = Encode(rows, 4, 3, 2, true, compression);
    WarningLog log;
    EXPECT_EQ(DecodeOurs(data, 4, 3, false, log),
              (std::vector<uint8_t>{1, 1, 1, 1, 3, 3, 3, 3, 2, 2, 2, 2}));
    EXPECT_EQ(DecodeOurs(data, 4, 3, true, log), rows);
    EXPECT_EQ(gifref::Decode(gifref::WrapImageData(data, 4, 3, 2, true)), rows);
  }
}

TEST(GIFEncoder, PixelsOutsideTheColourTableFail) {
  for (TGIFCompression compression : {TGIFCompression::LZW, TGIFCompression::RLE}) {
    EXPECT_EQ(EncodeError({0, 1, 2, 3, 4, 5}, 3, 6, compression), "no error");
    EXPECT_EQ(EncodeError({0, 1, 2, 3, 4, 6}, 3, 6, compression), "Color not in color table");
    EXPECT_EQ(EncodeError({6, 1}, 3, 6, compression), "Color not in color table");
    EXPECT_EQ(EncodeError({2, 2, 2, 7, 7}, 3, 7, compression), "Color not in color table");
    // A colour count above what the code size can carry: pixel 4 would be the clear code.
    EXPECT_EQ(EncodeError({1, 4}, 2, 16, compression), "Color not in color table");
    EXPECT_EQ(EncodeError({1, 0}, 9, 2, compression), "Invalid Bits Per Pixel value");
  }
}

TEST(GIFHashTable, FindsWhatWasInsertedAndNeverLoopsWhenFull) {
  THashTable table;
  EXPECT_EQ(table.Lookup(0), -1);
  for (uint32_t key = 0; key < 3000; ++key)
    table.Insert(key * 337 % 0x100000, int(key + 258) & 0xFFF);
  for (uint32_t key = 0; key < 3000; ++key)
    ASSERT_EQ(table.Lookup(key * 337 % 0x100000), int(key + 258) & 0xFFF) << key;
  EXPECT_EQ(table.Lookup(0xFFFFE), -1);
  table.Clear();
  EXPECT_EQ(table.Lookup(337), -1);

  // More keys than slots: every probe path fills up. Lookups must still end, and whatever is
  // found must be what was stored for that key.
  for (uint32_t key = 0; key < 9000; ++key)
    table.Insert(key, int(key & 0xFFF));
  int found = 0;
  for (uint32_t key = 0; key < 9000; ++key) {
    const int code = table.Lookup(key);
    if (code >= 0) {
      ASSERT_EQ(code, int(key & 0xFFF));
      ++found;
    }
  }
  EXPECT_GT(found, 7000);
  EXPECT_EQ(table.Lookup(0xFFFF0), -1);
}

TEST(GIFRLETriangle, CountsTheCodesOfARunFromAFreshTable) {
  // Codes for n pixels: runs of 1, 2, 3 ... until they cover n, with the table cleared after
  // maxCodes codes.
  for (uint64_t maxCodes : {5u, 3837u}) {
    for (uint64_t n = 1; n < 40000; n += (n < 100 ? 1 : 97)) {
      uint64_t codes = 0;
      uint64_t left = n;
      for (uint64_t k = 1; left > 0; k = k == maxCodes ? 1 : k + 1) {
        left -= std::min(left, k);
        ++codes;
      }
      ASSERT_EQ(TRLEEncoder::Triangle(n, maxCodes), codes) << n << " " << maxCodes;
    }
  }
}

TEST(GIFRLEEncoder, ClearsAfterAFixedNumberOfPlainCodes) {
  // With no two neighbours alike every pixel is one plain code; the table is cleared after 9 of
  // them for code sizes up to 3, else two codes before the code size would have to grow.
  const std::pair<int, size_t> depths[] = {{1, 9}, {2, 9}, {3, 9}, {4, 14}, {8, 254}};
  for (const auto& [bpp, spacing] : depths) {
    std::vector<uint8_t> pixels(2000);
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = uint8_t(i % (1 << bpp));
    const std::vector<int> codes =
        SplitCodes(Encode(pixels, 1000, 2, bpp, false, TGIFCompression::RLE));
    const int clear = 1 << std::max(bpp, 2);
    size_t last = 0;
    int clears = 0;
    for (size_t i = 1; i < codes.size(); ++i) {
      if (codes[i] != clear) continue;
      EXPECT_EQ(i - last - 1, spacing) << bpp << " bits";
      last = i;
      ++clears;
    }
    EXPECT_GE(clears, 7) << bpp;
  }
}

TEST(GIFRLEEncoder, ChoosesBetweenRepeatingAndARunTableByCost) {
  // Code size 2: clear 4, end 5, run table from code 6 (run of 2) upwards.
  auto codesOf = [](std::vector<uint8_t> pixels) {
    const int width = int(pixels.size());
    return SplitCodes(Encode(pixels, width, 1, 2, false, TGIFCompression::RLE));
  };
  auto runs = [](std::initializer_list<std::pair<int, int>> list) {
    std::vector<uint8_t> pixels;
    for (const auto& [color, length] : list)
      pixels.insert(pixels.end(), length, uint8_t(color));
    return pixels;
  };
  // Right after a clear a run is sent as runs of 1, 2, 3 ... pixels, each code one pixel longer
  // than the string before it.
  EXPECT_EQ(codesOf(runs({{1, 10}})), (std::vector<int>{4, 1, 6, 7, 8, 5}));
  // Runs of 3 and 4 cost as much repeated as through a fresh table (1 + 2 resp. 1 + 3 codes with
  // the clear), so they are repeated; a run of 5 is cheaper after a clear: 1, 2 and 2 pixels.
  EXPECT_EQ(codesOf(runs({{0, 1}, {1, 3}, {2, 4}, {3, 5}})),
            (std::vector<int>{4, 0, 1, 1, 1, 2, 2, 2, 2, 4, 3, 6, 6, 5}));
  // A later run of the table's colour is sent with the longest run code plus the rest.
  EXPECT_EQ(codesOf(runs({{1, 10}, {0, 1}, {1, 9}})),
            (std::vector<int>{4, 1, 6, 7, 8, 0, 8, 8, 1, 5}));
  // Ten pixels cost five codes with a table of runs up to 2, and five after a clear (clear, 1, 2,
  // 3, 4 pixels): at equal cost the table is kept.
  EXPECT_EQ(codesOf(runs({{1, 3}, {0, 1}, {1, 10}})),
            (std::vector<int>{4, 1, 6, 0, 6, 6, 6, 6, 6, 5}));
}
