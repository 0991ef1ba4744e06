// Files written by other programs (made by tests/data/tiff/make-fixtures.sh): each loads as the
// pixels of the Netpbm picture it was made from, or is refused with the codec's message.

#include "TiffTestSupport.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"
#include "imaging/tiff/TiffError.h"
#include "imaging/tiff/TiffGraphic.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::LargestDifference;
using test::PictureOf;
using test::ReadNetpbm;
using test::TiffFixture;

std::unique_ptr<TTiffGraphic> LoadFixture(const std::string& name, int page = 1) {
  auto picture = std::make_unique<TTiffGraphic>();
  picture->ImageIndex = page;
  TFileStream stream(TiffFixture(name), TFileMode::OpenRead);
  picture->LoadFromStream(stream);
  return picture;
}

struct Readable {
  const char* File;
  const char* Reference;
  TImageFormat Format;
  TTiffCompression Kind;
  int Tolerance; // largest difference of a component allowed (lossy files)
};

class TiffForeignFile : public testing::TestWithParam<Readable> {};

TEST_P(TiffForeignFile, LoadsAsTheReferencePicture) {
  const Readable& c = GetParam();
  const auto picture = LoadFixture(c.File);
  EXPECT_EQ(picture->ImageFormat(), c.Format);
  EXPECT_EQ(picture->Compression(), c.Kind);
  EXPECT_LE(LargestDifference(PictureOf(*picture), ReadNetpbm(TiffFixture(c.Reference))),
            c.Tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TiffForeignFile,
    testing::Values(
        // true colour: strips, tiles, planes, 16-bit and extra samples, CMYK, JPEG
        Readable{"rgb-none.tif", "rgb.ppm", ifTrueColor, tcNone, 0},
        Readable{"rgb-packbits.tif", "rgb.ppm", ifTrueColor, tcPackbits, 0},
        Readable{"rgb-flate-predictor.tif", "rgb.ppm", ifTrueColor, tcZLib, 0},
        Readable{"rgb-tiled.tif", "rgb.ppm", ifTrueColor, tcNone, 0},
        Readable{"rgb-planar.tif", "rgb.ppm", ifTrueColor, tcNone, 0},
        Readable{"rgb16.tif", "rgb.ppm", ifTrueColor, tcNone, 0},
        Readable{"rgba.tif", "rgb.ppm", ifTrueColor, tcNone, 0},
        Readable{"cmyk.tif", "rgb.ppm", ifTrueColor, tcNone, 1},
        Readable{"rgb-jpeg.tif", "rgb-jpeg.ppm", ifTrueColor, tcJpeg, 2},
        Readable{"rgb-jpeg-tiled.tif", "rgb-jpeg-tiled.ppm", ifTrueColor, tcJpeg, 2},
        // greys, both ways round
        Readable{"grey8.tif", "grey.pgm", ifGray256, tcNone, 0},
        Readable{"grey8-miniswhite.tif", "grey.pgm", ifGray256, tcNone, 0},
        Readable{"grey4.tif", "grey4.pgm", ifGray16, tcNone, 0},
        Readable{"grey-tiff2bw.tif", "grey-tiff2bw.pgm", ifGray256, tcNone, 0},
        // black and white, both ways round, tiled, and fax
        Readable{"bw-miniswhite.tif", "bw.pbm", ifBlackWhite, tcNone, 0},
        Readable{"bw-minisblack.tif", "bw.pbm", ifBlackWhite, tcNone, 0},
        Readable{"bw-miniswhite-tiled.tif", "bw.pbm", ifBlackWhite, tcNone, 0},
        Readable{"bw-g3.tif", "bw.pbm", ifBlackWhite, tcGroup3OneD, 0},
        Readable{"bw-g3-2d.tif", "bw.pbm", ifBlackWhite, tcGroup3TwoD, 0},
        Readable{"bw-g4.tif", "bw.pbm", ifBlackWhite, tcGroup4, 0},
        Readable{"bw-g4-minisblack.tif", "bw.pbm", ifBlackWhite, tcGroup4, 0},
        Readable{"bw-fax2tiff.tif", "bw.pbm", ifBlackWhite, tcGroup3OneD, 0},
        // palettes
        Readable{"palette1.tif", "colours2.ppm", ifBlackWhite, tcNone, 0},
        Readable{"palette4.tif", "colours12.ppm", ifColor16, tcNone, 0},
        Readable{"palette8.tif", "colours240.ppm", ifColor256, tcPackbits, 0}),
    [](const testing::TestParamInfo<Readable>& info) {
      std::string name = info.param.File;
      name = name.substr(0, name.size() - 4);
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

TEST(TiffForeignFiles, PaletteFilesKeepTheirColourMap) {
  const auto picture = LoadFixture("palette4.tif");
  EXPECT_EQ(picture->Palette().Count, 16);
  const auto bw = LoadFixture("palette1.tif");
  EXPECT_EQ(bw->Palette().Count, 2);
}

TEST(TiffForeignFiles, RefusedFilesGiveTheirMessages) {
  const auto message = [](const char* file) -> std::string {
    try {
      LoadFixture(file);
    } catch (const Exception& e) {
      return std::string(e.className()) + ": " + e.what();
    }
    return "loaded";
  };
  EXPECT_EQ(message("rgb-adobeflate.tif"), "ETiffError: Unsupported compression tag, 8");
  EXPECT_EQ(message("rgb-lzw.tif"), "EZeduziziError: LZW compression not supported");
  EXPECT_EQ(message("grey16.tif"), "ETiffError: ETiffError Unsupported bit count: 16");
  EXPECT_EQ(message("grey2.tif"), "ETiffError: ETiffError Unsupported bit count: 2");
}

TEST(TiffForeignFiles, EveryPageOfAMultiPageFileLoadsAndCounts) {
  TTiffGraphic counter;
  TFileStream stream(TiffFixture("multipage.tif"), TFileMode::OpenRead);
  EXPECT_EQ(counter.ImageCountInStream(stream), 3);
  EXPECT_EQ(PictureOf(*LoadFixture("multipage.tif", 1)).Pixels,
            ReadNetpbm(TiffFixture("rgb.ppm")).Pixels);
  EXPECT_EQ(PictureOf(*LoadFixture("multipage.tif", 2)).Pixels,
            ReadNetpbm(TiffFixture("grey.pgm")).Pixels);
  EXPECT_EQ(PictureOf(*LoadFixture("multipage.tif", 3)).Pixels,
            ReadNetpbm(TiffFixture("bw.pbm")).Pixels);
  for (const int missing : {0, 4})
    try {
      LoadFixture("multipage.tif", missing);
      ADD_FAILURE() << missing;
    } catch (const ETiffError& e) {
      EXPECT_STREQ(e.what(), "ETiffError TIFFSetDirectory");
    }
}

TEST(TiffForeignFiles, AllFramesOfAMultiPageFileLoadTogether) {
  TTiffGraphic picture;
  picture.LoadAllFrames = true;
  TFileStream stream(TiffFixture("multipage.tif"), TFileMode::OpenRead);
  picture.LoadFromStream(stream);
  ASSERT_EQ(picture.FrameCount(), 3);
  EXPECT_EQ(picture.Frame(1).ImageFormat(), ifGray256);
  EXPECT_EQ(picture.Frame(2).ImageFormat(), ifBlackWhite);
  EXPECT_EQ(picture.ImageFormat(), ifTrueColor); // frame 1 is shown
}

TEST(TiffForeignFiles, InformationComesFromTheFirstDirectory) {
  TTiffGraphic reader;
  TFileStream multi(TiffFixture("multipage.tif"), TFileMode::OpenRead);
  const TImageInfo info = reader.ReadInfo(multi);
  EXPECT_EQ(info.Width, 37);
  EXPECT_EQ(info.Height, 23);
  EXPECT_EQ(info.BitsPerPixel, 24);
  EXPECT_EQ(info.PaletteEntries, 0);
  EXPECT_EQ(info.Frames, 3);
  TFileStream palette(TiffFixture("palette8.tif"), TFileMode::OpenRead);
  const TImageInfo colours = reader.ReadInfo(palette);
  EXPECT_EQ(colours.BitsPerPixel, 8);
  EXPECT_EQ(colours.PaletteEntries, 256);
  EXPECT_EQ(colours.Frames, 1);
}

} // namespace
} // namespace kestrel
