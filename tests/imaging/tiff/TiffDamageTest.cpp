// Damaged and hostile TIFF data: every failure is an ETiffError naming the step that failed (or
// the codec's own refusal), never a crash, a hang or a huge allocation.

#include "TiffTestSupport.h"

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/tiff/TiffError.h"
#include "imaging/tiff/TiffGraphic.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::TTiffBuilder;

// What loading bytes gives: "loaded" or the error's message.
std::string LoadResult(const std::vector<uint8_t>& bytes, int page = 1) {
  TTiffGraphic picture;
  picture.ImageIndex = page;
  TSpanStream stream(bytes.data(), bytes.size());
  try {
    picture.LoadFromStream(stream);
  } catch (const ETiffError& e) {
    return e.what();
  } catch (const Exception& e) {
    return std::string(e.className()) + ": " + e.what();
  }
  return "loaded";
}

TEST(TiffDamage, TheHandMadeFileLoads) {
  // The base of the cases below must itself be sound.
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3).Bytes()), "loaded");
}

TEST(TiffDamage, DamagedDirectoriesFailToOpen) {
  std::vector<uint8_t> pastEnd = TTiffBuilder::Grey(5, 3).Bytes();
  pastEnd[4] = 0xF0; // the first directory far beyond the data
  EXPECT_EQ(LoadResult(pastEnd), "ETiffError TIFFOpen");
  std::vector<uint8_t> badMagic = TTiffBuilder::Grey(5, 3).Bytes();
  badMagic[2] = 43;
  EXPECT_EQ(LoadResult(badMagic), "ETiffError TIFFOpen");
  std::vector<uint8_t> hugeCount = TTiffBuilder::Grey(5, 3).Bytes();
  hugeCount[8] = 0xFF;
  hugeCount[9] = 0xFF;
  EXPECT_EQ(LoadResult(hugeCount), "ETiffError TIFFOpen");
  EXPECT_EQ(LoadResult({}), "ETiffError TIFFOpen");
}

TEST(TiffDamage, StripsPastTheEndOrShortFailAtTheStripRead) {
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3).Long(TIFFTAG_STRIPOFFSETS, 100000).Bytes()),
            "ETiffError TIFFReadEncodedStrip");
  // Three strips of one row, two of them beyond the end of the data.
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3)
                           .Long(TIFFTAG_ROWSPERSTRIP, 1)
                           .Longs(TIFFTAG_STRIPOFFSETS, {TTiffBuilder::kData, 90000, 90000})
                           .Longs(TIFFTAG_STRIPBYTECOUNTS, {5, 5, 5})
                           .Bytes()),
            "ETiffError TIFFReadEncodedStrip");
  // Three samples a pixel where the strip holds one.
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3)
                           .Short(TIFFTAG_SAMPLESPERPIXEL, 3)
                           .Short(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB)
                           .Bytes()),
            "ETiffError TIFFReadEncodedStrip");
  // Packbits data that ends before the rows do.
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3)
                           .Short(TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS)
                           .Long(TIFFTAG_STRIPBYTECOUNTS, 3)
                           .Bytes()),
            "ETiffError TIFFReadEncodedStrip");
}

TEST(TiffDamage, DirectoriesLibtiffCannotUseFailToOpen) {
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3).Long(TIFFTAG_IMAGEWIDTH, 0).Bytes()),
            "ETiffError TIFFOpen");
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3).Short(TIFFTAG_BITSPERSAMPLE, 0).Bytes()),
            "ETiffError TIFFOpen");
}

TEST(TiffDamage, AbsurdSizesAreRefusedBeforeAnythingIsAllocated) {
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3).Long(TIFFTAG_IMAGEWIDTH, 4000000000u).Bytes()),
            "ETiffError Image size 4000000000 x 3 not supported");
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3)
                           .Long(TIFFTAG_IMAGEWIDTH, 60000)
                           .Long(TIFFTAG_IMAGELENGTH, 60000)
                           .Bytes()),
            "ETiffError Image size 60000 x 60000 not supported");
}

TEST(TiffDamage, MissingFieldsNameTheirTag) {
  TTiffBuilder noBits = TTiffBuilder::Grey(5, 3);
  std::vector<uint8_t> bytes = noBits.Bytes();
  // Renaming BitsPerSample to an unknown private tag keeps the directory sorted and its size.
  for (size_t i = 10; i + 12 <= bytes.size(); i += 12)
    if (bytes[i] == 0x02 && bytes[i + 1] == 0x01) {
      bytes[i] = 0xFF;
      bytes[i + 1] = 0x01;
    }
  EXPECT_EQ(LoadResult(bytes), "ETiffError TIFFGetField: Tag = 258");
}

TEST(TiffDamage, UnknownCompressionsAreRefusedByNumber) {
  EXPECT_EQ(LoadResult(TTiffBuilder::Grey(5, 3).Short(TIFFTAG_COMPRESSION, 32909).Bytes()),
            "Unsupported compression tag, 32909");
}

TEST(TiffDamage, ADirectoryChainThatLoopsIsCountedOnce) {
  TTiffGraphic picture;
  const std::vector<uint8_t> bytes = TTiffBuilder::Grey(5, 3).NextDirectory(8).Bytes();
  TSpanStream stream(bytes.data(), bytes.size());
  EXPECT_EQ(picture.ImageCountInStream(stream), 1);
}

TEST(TiffDamage, LibtiffsOwnAllocationsStayWithinTheMemoryLimit) {
  // 2000 x 2000 greys fit the default limit; under a 1 MB limit the picture is refused.
  const std::vector<uint8_t> bytes = TTiffBuilder::Grey(5, 3)
                                         .Long(TIFFTAG_IMAGEWIDTH, 2000)
                                         .Long(TIFFTAG_IMAGELENGTH, 2000)
                                         .Long(TIFFTAG_ROWSPERSTRIP, 2000)
                                         .Bytes();
  ImageLimits::SetMaxBytes(1 << 20);
  const std::string result = LoadResult(bytes);
  ImageLimits::SetMaxBytes(0);
  EXPECT_EQ(result, "ETiffError Image size 2000 x 2000 not supported");
}

// Truncations and single-byte changes of files by other programs: only the codec's errors come
// out, and a file cut before its first directory never loads.
TEST(TiffDamage, TruncatedAndFlippedFilesGiveOnlyCodecErrors) {
  const auto codecResult = [](const std::string& result) {
    return result == "loaded" || result.starts_with("ETiffError") ||
           result.starts_with("Unsupported compression tag") ||
           result.starts_with("EZeduziziError");
  };
  for (const char* name : {"rgb-packbits.tif", "bw-g4.tif", "palette8.tif", "rgb-jpeg.tif",
                           "rgb-tiled.tif", "multipage.tif"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = test::ReadFileBytes(test::TiffFixture(name));
    ASSERT_EQ(bytes[0], 'I'); // little-endian: the first directory's offset follows the magic
    const size_t directory = bytes[4] | bytes[5] << 8 | bytes[6] << 16 | size_t(bytes[7]) << 24;
    for (size_t length = 0; length < bytes.size(); length += 5) {
      const std::string result =
          LoadResult(std::vector<uint8_t>(bytes.begin(), bytes.begin() + length));
      ASSERT_TRUE(codecResult(result)) << length << ": " << result;
      if (length <= directory) {
        ASSERT_NE(result, "loaded") << length;
      }
    }
    for (size_t i = 0; i < bytes.size(); i += 3) {
      std::vector<uint8_t> flipped = bytes;
      flipped[i] ^= 0x5A;
      for (int page = 1; page <= 2; ++page) {
        const std::string result = LoadResult(flipped, page);
        ASSERT_TRUE(codecResult(result)) << i << ": " << result;
      }
    }
  }
}

} // namespace
} // namespace kestrel
