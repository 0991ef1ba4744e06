// Writing TIFF files and reading them back: every picture format with every compression kind, the
// tags the writer promises, pages appended to a file, and streams that do not start at 0.

#include "TiffTestSupport.h"

#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"
#include "imaging/tiff/TiffGraphic.h"

#include <gtest/gtest.h>

#include <ctime>
#include <regex>

namespace kestrel {
namespace {

using test::InspectTiff;
using test::LargestDifference;
using test::PictureOf;

constexpr int kWidth = 37; // rows of every depth end inside a 32-bit unit
constexpr int kHeight = 21;

TDibPalette SamplePalette(int count) {
  TDibPalette palette;
  palette.Count = static_cast<uint16_t>(count);
  for (int i = 0; i < count; ++i)
    palette.SetValue(i, static_cast<TPixelColor>((i * 53) % 256 | ((255 - i * 7) % 256) << 8 |
                                                 ((i * 91 + 30) % 256) << 16));
  palette.SetValue(0, 0xFF0080); // a component of 255 must come back as 255
  return palette;
}

// A picture of format whose pixels vary smoothly enough for JPEG and use every palette index.
std::unique_ptr<TTiffGraphic> MakePicture(TImageFormat format, uint16_t dpi = 96) {
  auto picture = std::make_unique<TTiffGraphic>();
  const bool colours = format == ifColor16 || format == ifColor256;
  const TDibPalette palette = SamplePalette(format == ifColor16 ? 16 : 200);
  picture->NewImage(kWidth, kHeight, format, colours ? &palette : nullptr, dpi, dpi);
  const int entries = format == ifTrueColor ? 0 : picture->Palette().Count;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if (format == ifTrueColor)
        picture->SetPixel(x, y,
                          static_cast<TPixelColor>((x * 6) | (y * 11) << 8 | (x + y) * 4 << 16));
      else if (format == ifGray256)
        picture->SetPixelIndex(x, y, x * 3 + y * 4); // smooth, for JPEG
      else
        picture->SetPixelIndex(x, y, (x * 5 + y * 3) % entries);
    }
  return picture;
}

std::vector<uint8_t> Save(TTiffGraphic& picture) {
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return stream.Bytes();
}

std::unique_ptr<TTiffGraphic> Load(const std::vector<uint8_t>& bytes, int page = 1) {
  auto picture = std::make_unique<TTiffGraphic>();
  TSpanStream stream(bytes.data(), bytes.size());
  picture->ImageIndex = page;
  picture->LoadFromStream(stream);
  return picture;
}

// The compression table as the format promises it: name, tag, formats.
struct KindRow {
  TTiffCompression Kind;
  const char* Name;
  uint16_t Tag;
  uint32_t RowsPerStrip;
  bool BlackWhiteOnly;
  bool JpegFormatsOnly;
};
constexpr KindRow kKinds[] = {
    {tcNone, "None", 1, 16, false, false},
    {tcPackbits, "Packbits", 32773, 16, false, false},
    {tcGroup3OneD, "CCITT Group 3, 1D", 3, 256, true, false},
    {tcGroup3TwoD, "CCITT Group 3, 2D", 3, 256, true, false},
    {tcGroup4, "CCITT Group 4", 4, 256, true, false},
    {tcZLib, "ZLib", 32946, 16, false, false},
    {tcJpeg, "JPEG", 7, 8, false, true},
};
constexpr TImageFormat kFormats[] = {ifBlackWhite, ifGray16,   ifGray256,
                                     ifColor16,    ifColor256, ifTrueColor};

bool Accepts(const KindRow& row, TImageFormat format) {
  if (row.BlackWhiteOnly) return format == ifBlackWhite;
  if (row.JpegFormatsOnly) return format == ifGray256 || format == ifTrueColor;
  return true;
}

TEST(TiffRoundTrip, EveryFormatWithEveryKindItAcceptsComesBackOrIsRefusedByName) {
  for (const TImageFormat format : kFormats)
    for (const KindRow& row : kKinds) {
      SCOPED_TRACE(FormatDescription(format) + " / " + row.Name);
      auto picture = MakePicture(format);
      if (!Accepts(row, format)) {
        try {
          picture->SetCompression(row.Kind);
          ADD_FAILURE() << "accepted";
        } catch (const EZeduziziError& e) {
          EXPECT_EQ(e.what(), std::string(row.Name) + " compression not supported with " +
                                  FormatDescription(format) + " images");
        }
        continue;
      }
      picture->SetCompression(row.Kind);
      const auto back = Load(Save(*picture));
      EXPECT_EQ(back->ImageFormat(), format);
      EXPECT_EQ(back->Compression(), row.Kind);
      EXPECT_EQ(back->XDotsPerInch(), 96);
      const int allowed = row.Kind == tcJpeg ? 24 : 0; // JPEG loses a little
      EXPECT_LE(LargestDifference(PictureOf(*back), PictureOf(*picture)), allowed);
    }
}

TEST(TiffRoundTrip, JpegOnA16ColourPictureNamesBothInTheMessage) {
  auto picture = MakePicture(ifColor16);
  try {
    picture->SetCompression(tcJpeg);
    FAIL() << "accepted";
  } catch (const EZeduziziError& e) {
    EXPECT_STREQ(e.what(), "JPEG compression not supported with 16 color images");
  }
  EXPECT_EQ(picture->Compression(), tcPackbits);
}

TEST(TiffRoundTrip, NewPicturesDefaultToGroup4ForBlackAndWhiteAndPackbitsOtherwise) {
  for (const TImageFormat format : kFormats)
    EXPECT_EQ(MakePicture(format)->Compression(), format == ifBlackWhite ? tcGroup4 : tcPackbits);
}

TEST(TiffRoundTrip, TagsAreWrittenAsPromisedForEveryKind) {
  for (const KindRow& row : kKinds) {
    SCOPED_TRACE(row.Name);
    auto picture = MakePicture(row.BlackWhiteOnly ? ifBlackWhite : ifTrueColor, 300);
    picture->SetCompression(row.Kind);
    const std::time_t before = std::time(nullptr);
    InspectTiff(Save(*picture), 0, [&](TIFF* tif) {
      uint16_t compression = 0, planar = 0, unit = 0;
      uint32_t rows = 0, width = 0, height = 0;
      float xres = 0, yres = 0;
      char* software = nullptr;
      char* date = nullptr;
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression), 1);
      EXPECT_EQ(compression, row.Tag);
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rows), 1);
      EXPECT_EQ(rows, row.RowsPerStrip);
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &planar), 1);
      EXPECT_EQ(planar, PLANARCONFIG_CONTIG);
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_SOFTWARE, &software), 1);
      EXPECT_STREQ(software, "Zeduzizi Image Library");
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit), 1);
      EXPECT_EQ(unit, RESUNIT_INCH);
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres), 1);
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres), 1);
      EXPECT_FLOAT_EQ(xres, 300);
      EXPECT_FLOAT_EQ(yres, 300);
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width), 1);
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height), 1);
      EXPECT_EQ(width, uint32_t(kWidth));
      EXPECT_EQ(height, uint32_t(kHeight));
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_DATETIME, &date), 1);
      // "yyyy:mm:dd hh:nn:ss" in local time, the time of writing.
      ASSERT_TRUE(std::regex_match(date, std::regex(R"(\d{4}:\d\d:\d\d \d\d:\d\d:\d\d)"))) << date;
      std::tm written{};
      ASSERT_TRUE(strptime(date, "%Y:%m:%d %H:%M:%S", &written));
      written.tm_isdst = -1;
      EXPECT_LE(std::abs(std::difftime(std::mktime(&written), before)), 60.0);
      if (row.Tag == COMPRESSION_CCITTFAX3) {
        uint32_t options = 99;
        ASSERT_EQ(TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &options), 1);
        EXPECT_EQ(options, row.Kind == tcGroup3TwoD ? 1u : 0u);
      }
    });
  }
}

TEST(TiffRoundTrip, KindsOutsideTheTableAreWrittenUncompressed) {
  auto picture = MakePicture(ifGray256);
  picture->SetCompression(static_cast<TTiffCompression>(9));
  const std::vector<uint8_t> bytes = Save(*picture);
  InspectTiff(bytes, 0, [](TIFF* tif) {
    uint16_t compression = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    EXPECT_EQ(compression, COMPRESSION_NONE);
  });
  EXPECT_EQ(Load(bytes)->Compression(), tcNone);
}

TEST(TiffRoundTrip, Group4BlackAndWhiteIsWrittenZeroIsWhiteWithInvertedBytes) {
  auto picture = MakePicture(ifBlackWhite);
  picture->SetCompression(tcGroup4);
  const std::vector<uint8_t> bytes = Save(*picture);
  InspectTiff(bytes, 0, [&](TIFF* tif) {
    uint16_t photometric = 99;
    ASSERT_EQ(TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric), 1);
    EXPECT_EQ(photometric, PHOTOMETRIC_MINISWHITE);
    std::vector<uint8_t> line(static_cast<size_t>(TIFFScanlineSize(tif)));
    for (int y = 0; y < kHeight; ++y) {
      ASSERT_EQ(TIFFReadScanline(tif, line.data(), static_cast<uint32_t>(y), 0), 1);
      for (int x = 0; x < kWidth; ++x)
        ASSERT_NE(line[x / 8] >> (7 - x % 8) & 1, picture->PixelIndex(x, y)) << x << "," << y;
    }
  });
  const auto back = Load(bytes);
  EXPECT_EQ(back->ImageFormat(), ifBlackWhite);
  EXPECT_EQ(PictureOf(*back).Pixels, PictureOf(*picture).Pixels);
}

TEST(TiffRoundTrip, BlackAndWhiteWithTheLightColourFirstKeepsItsLook) {
  const TDibPalette lightFirst = [] {
    TDibPalette p;
    p.Count = 2;
    p.SetValue(0, 0xFFFFFF);
    p.SetValue(1, 0x000000);
    return p;
  }();
  for (const TTiffCompression kind : {tcNone, tcGroup4}) {
    TTiffGraphic picture;
    picture.NewImage(kWidth, kHeight, ifBlackWhite, &lightFirst, 72, 72);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        picture.SetPixelIndex(x, y, (x * y) % 3 == 0);
    picture.SetCompression(kind);
    EXPECT_EQ(PictureOf(*Load(Save(picture))).Pixels, PictureOf(picture).Pixels) << int(kind);
  }
}

TEST(TiffRoundTrip, PaletteComponentsAreWrittenSixteenBitAndReadBackEightBit) {
  for (const TImageFormat format : {ifColor16, ifColor256}) {
    auto picture = MakePicture(format);
    picture->SetCompression(tcNone);
    const std::vector<uint8_t> bytes = Save(*picture);
    const TDibPalette& palette = picture->Palette();
    InspectTiff(bytes, 0, [&](TIFF* tif) {
      uint16_t photometric = 0, bits = 0;
      uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
      TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
      EXPECT_EQ(photometric, PHOTOMETRIC_PALETTE);
      TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits);
      EXPECT_EQ(bits, format == ifColor16 ? 4 : 8);
      ASSERT_EQ(TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue), 1);
      EXPECT_EQ(red[0], 65535);
      EXPECT_EQ(green[0], 0);
      EXPECT_EQ(blue[0], 128 * 257);
      for (int i = 0; i < (1 << bits); ++i) {
        const TDibPaletteEntry e = i < palette.Count ? palette.Entries[i] : TDibPaletteEntry{};
        ASSERT_EQ(red[i], e.Red * 257) << i;
        ASSERT_EQ(green[i], e.Green * 257) << i;
        ASSERT_EQ(blue[i], e.Blue * 257) << i;
      }
    });
    const auto back = Load(bytes);
    EXPECT_EQ(back->Palette().Entries[0], (TDibPaletteEntry{128, 0, 255, 0}));
    EXPECT_EQ(PictureOf(*back).Pixels, PictureOf(*picture).Pixels);
  }
}

TEST(TiffRoundTrip, AppendingAddsPagesAndAnEmptyStreamGetsANewFile) {
  TMemoryStream stream;
  auto first = MakePicture(ifTrueColor);
  first->AppendToStream(stream);
  InspectTiff(stream.Bytes(), 0, [](TIFF* tif) { EXPECT_EQ(TIFFNumberOfDirectories(tif), 1u); });
  auto second = MakePicture(ifBlackWhite);
  second->AppendToStream(stream);
  TTiffGraphic counter;
  stream.SetPosition(0);
  EXPECT_EQ(counter.ImageCountInStream(stream), 2);
  auto third = MakePicture(ifColor16);
  third->SetCompression(tcZLib);
  third->AppendToStream(stream);
  stream.SetPosition(0);
  EXPECT_EQ(counter.ImageCountInStream(stream), 3);
  const TDibGraphic* pages[] = {first.get(), second.get(), third.get()};
  for (int page = 1; page <= 3; ++page) {
    const auto back = Load(stream.Bytes(), page);
    EXPECT_EQ(back->ImageFormat(), pages[page - 1]->ImageFormat()) << page;
    EXPECT_EQ(PictureOf(*back).Pixels, PictureOf(*pages[page - 1]).Pixels) << page;
  }
  EXPECT_EQ(Load(stream.Bytes(), 3)->Compression(), tcZLib);
}

TEST(TiffRoundTrip, AStreamNotAtItsStartHoldsTheFileFromItsPosition) {
  const std::vector<uint8_t> prefix{'a', 'b', 'c', 'd', 'e'};
  TMemoryStream stream;
  stream.WriteBuffer(prefix.data(), 5);
  auto picture = MakePicture(ifGray16);
  picture->SaveToStream(stream);
  EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), stream.Bytes().begin()));
  TTiffGraphic back;
  stream.SetPosition(5);
  EXPECT_EQ(back.ImageCountInStream(stream), 1);
  stream.SetPosition(5);
  back.LoadFromStream(stream);
  EXPECT_EQ(PictureOf(back).Pixels, PictureOf(*picture).Pixels);
}

TEST(TiffRoundTrip, FilesAreFoundByBothExtensionsAndSaveThroughThePicture) {
  for (const char* name : {"x.tif", "X.TIFF"}) {
    const auto format = TPicture::FindFileFormat(name);
    ASSERT_TRUE(format) << name;
    EXPECT_EQ(format->Description, "TIFF file");
    EXPECT_EQ(format->Class, typeid(TTiffGraphic));
  }
  test::TTempFile file(".tiff");
  auto picture = MakePicture(ifColor256);
  picture->SaveToFile(file.Path());
  TPicture loaded;
  loaded.LoadFromFile(file.Path());
  const auto* tiff = dynamic_cast<const TTiffGraphic*>(loaded.Graphic());
  ASSERT_TRUE(tiff);
  EXPECT_EQ(PictureOf(*tiff).Pixels, PictureOf(*picture).Pixels);
}

TEST(TiffRoundTrip, AnEmptyPictureIsNotWritten) {
  TTiffGraphic picture;
  TMemoryStream stream;
  EXPECT_THROW(picture.SaveToStream(stream), EZeduziziError);
  EXPECT_EQ(stream.Size(), 0);
}

} // namespace
} // namespace kestrel
