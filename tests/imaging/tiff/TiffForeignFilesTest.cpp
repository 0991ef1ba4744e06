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
        Readable{"grey8-miniswhite-jpeg.tif", "grey8-miniswhite-jpeg.pgm", ifGray256, tcJpeg, 1},
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

namespace kestrel {
namespace {

using test::WriteWithLibtiff;

std::unique_ptr<TTiffGraphic> LoadBytes(const std::vector<uint8_t>& bytes) {
  auto picture = std::make_unique<TTiffGraphic>();
  TSpanStream stream(bytes.data(), bytes.size());
  picture->LoadFromStream(stream);
  return picture;
}

// An 8-bit palette picture of 4 x 2 pixels whose colour map libtiff writes as given.
std::vector<uint8_t> PaletteFile(const std::vector<uint16_t>& red,
                                 const std::vector<uint16_t>& green,
                                 const std::vector<uint16_t>& blue) {
  return WriteWithLibtiff(
      [&](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 4);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 2);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
      },
      {{0, 1, 2, 3}, {3, 2, 1, 0}});
}

TEST(TiffForeignFiles, ColourMapsOfEightBitValuesAreTakenAsTheyStand) {
  std::vector<uint16_t> red(256), green(256), blue(256);
  for (int i = 0; i < 256; ++i) {
    red[i] = static_cast<uint16_t>(i);
    green[i] = static_cast<uint16_t>(255 - i);
    blue[i] = 100;
  }
  const auto eight = LoadBytes(PaletteFile(red, green, blue));
  EXPECT_EQ(eight->ImageFormat(), ifColor256);
  EXPECT_EQ(eight->Pixel(1, 0), 0x01FE64u);
  EXPECT_EQ(eight->Pixel(0, 1), 0x03FC64u);
  // One value of 256 or more makes the whole map sixteen-bit: v * 255 / 65535.
  red[200] = 65535;
  const auto sixteen = LoadBytes(PaletteFile(red, green, blue));
  EXPECT_EQ(sixteen->Pixel(1, 0), 0x000000u); // 1 and 254 scale to 0, 100 to 0
  EXPECT_EQ(sixteen->Palette().Entries[200].Red, 255);
}

TEST(TiffForeignFiles, ResolutionIsReadAsDotsPerInchWhateverTheUnit) {
  const auto withResolution = [](uint16_t unit, float x, float y) {
    return WriteWithLibtiff(
        [&](TIFF* tif) {
          TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 2);
          TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1);
          TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
          TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
          TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, unit);
          TIFFSetField(tif, TIFFTAG_XRESOLUTION, double(x));
          TIFFSetField(tif, TIFFTAG_YRESOLUTION, double(y));
        },
        {{10, 20}});
  };
  const auto inch = LoadBytes(withResolution(RESUNIT_INCH, 300, 150));
  EXPECT_EQ(inch->XDotsPerInch(), 300);
  EXPECT_EQ(inch->YDotsPerInch(), 150);
  const auto centimetre = LoadBytes(withResolution(RESUNIT_CENTIMETER, 100, 50));
  EXPECT_EQ(centimetre->XDotsPerInch(), 254);
  EXPECT_EQ(centimetre->YDotsPerInch(), 127);
}

TEST(TiffForeignFiles, FaxPicturesWithoutBitsPerSampleAreOneBitDeep) {
  // libtiff leaves out fields that keep their default, BitsPerSample among them.
  const std::vector<uint8_t> bytes = WriteWithLibtiff(
      [](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 16);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 2);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
      },
      {{0xF0, 0x0F}, {0x00, 0xFF}});
  test::InspectTiff(bytes, 0, [](TIFF* tif) {
    uint16_t bits = 0;
    EXPECT_EQ(TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits), 0);
  });
  const auto picture = LoadBytes(bytes);
  EXPECT_EQ(picture->ImageFormat(), ifBlackWhite);
  EXPECT_EQ(picture->Pixel(0, 0), 0x000000u); // set bits are black where zero is white
  EXPECT_EQ(picture->Pixel(4, 0), 0xFFFFFFu);
  EXPECT_EQ(picture->Pixel(15, 1), 0x000000u);
}

} // namespace
} // namespace kestrel
