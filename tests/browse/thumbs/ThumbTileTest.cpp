// One gallery tile: the cheap reductions before the last stretch, the placing on the background,
// the error tiles, and the memory limit and palettes the gallery gives the worker.

#include "browse/thumbs/ThumbTile.h"
#include "browse/thumbs/ThumbLimit.h"
#include "browse/thumbs/ThumbPalette.h"

#include "browse/index/IndexTestSupport.h"
#include "imaging/gif/GIFImage.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace kestrel {
namespace {

using test::ReadByRegistry;
using test::TBrokenGraphic;
using test::WriteFlatPicture;

constexpr TColor kBackground = 0x204060;

// The pixels of colour within area.
int CountPixels(TBitmap& tile, TColor color, const TRect& area) {
  int count = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x)
      count += tile.Canvas().Pixel(x, y) == color;
  return count;
}

// The PNG chunk checksum.
uint32_t Crc32(const QByteArray& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes) {
    crc ^= static_cast<uint8_t>(byte);
    for (int bit = 0; bit < 8; ++bit)
      crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}
constexpr TColor kPicture = 0x30A050;

// Whether colour a is within a few steps of b in every channel (JPEG and filters round).
bool Near(TColor a, TColor b, int tolerance = 6) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

class ThumbTile : public ::testing::Test {
protected:
  void SetUp() override { test::TestApplication(); }
  std::string Path(const char* name) const { return Dir.filePath(name).toStdString(); }
  TThumbTile Make(const std::string& path, int size = 80, bool hiFi = false) {
    return MakeThumbTile(path, ReadByRegistry, {size, hiFi, kBackground});
  }
  // Every pixel of the tile is the picture inside placed and the background outside.
  void ExpectPlacedOnBackground(const TThumbTile& made, TColor picture) {
    ASSERT_TRUE(made.Tile);
    const TRect& p = made.Placed;
    for (int y = 0; y < made.Tile->Height(); ++y)
      for (int x = 0; x < made.Tile->Width(); ++x) {
        const bool inside = x >= p.Left && x < p.Right && y >= p.Top && y < p.Bottom;
        const TColor pixel = made.Tile->Canvas().Pixel(x, y);
        ASSERT_TRUE(Near(pixel, inside ? picture : kBackground)) << x << "," << y;
      }
  }
  QTemporaryDir Dir;
};

TEST_F(ThumbTile, LargeJpegIsDecodedAtAnEighthThenHalvedTwiceAndCentred) {
  WriteFlatPicture(Dir.filePath("big.jpg"), 4000, 3000, kPicture);
  const TThumbTile made = Make(Path("big.jpg"));
  EXPECT_EQ(made.Code, tcNone);
  EXPECT_EQ(made.Decoded, (TSize{500, 375}));
  EXPECT_EQ(made.Reduced, (TSize{125, 93}));
  EXPECT_EQ(made.Placed, (TRect{0, 10, 80, 70}));
  EXPECT_EQ(made.Tile->Width(), 80);
  EXPECT_EQ(made.Tile->Height(), 80);
  ExpectPlacedOnBackground(made, kPicture);
}

TEST_F(ThumbTile, SmallGifIsStretchedUpOnTheBackgroundAtBothQualities) {
  TBitmap bitmap(30, 20, pf8bit);
  bitmap.Canvas().Brush.Color = 0x0000FF;
  bitmap.Canvas().FillRect({0, 0, 30, 20});
  TGIFImage gif;
  gif.Assign(&bitmap);
  gif.SaveToFile(Path("small.gif"));
  for (const bool hiFi : {false, true}) {
    const TThumbTile made = Make(Path("small.gif"), 80, hiFi);
    EXPECT_EQ(made.Code, tcNone);
    EXPECT_EQ(made.Reduced, (TSize{30, 20}));
    EXPECT_EQ(made.Placed, (TRect{0, 13, 80, 66})) << hiFi;
    ExpectPlacedOnBackground(made, 0x0000FF);
  }
}

TEST_F(ThumbTile, TallThinPicturesNeverHalveBelowOnePixel) {
  // Halving by height alone would make this 0 pixels wide.
  WriteFlatPicture(Dir.filePath("thin.bmp"), 1, 5000, kPicture);
  WriteFlatPicture(Dir.filePath("wide.bmp"), 5000, 3, kPicture);
  for (const bool hiFi : {false, true}) {
    const TThumbTile thin = Make(Path("thin.bmp"), 80, hiFi);
    EXPECT_EQ(thin.Code, tcNone);
    EXPECT_EQ(thin.Placed, (TRect{39, 0, 40, 80}));
    ExpectPlacedOnBackground(thin, kPicture);
    const TThumbTile wide = Make(Path("wide.bmp"), 80, hiFi);
    EXPECT_EQ(wide.Code, tcNone);
    EXPECT_EQ(wide.Placed, (TRect{0, 39, 80, 40}));
    ExpectPlacedOnBackground(wide, kPicture);
  }
}

TEST_F(ThumbTile, UnreadableFilesGiveGreenErrorTilesAndSoundsNone) {
  QFile text(Dir.filePath("letter.jpg"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("Dear reader, this is not a picture.\n");
  text.close();
  const TThumbTile made = Make(Path("letter.jpg"));
  EXPECT_EQ(made.Code, tcNoPicture);
  ASSERT_TRUE(made.Tile);
  EXPECT_EQ(made.Tile->Width(), 80);
  EXPECT_EQ(made.Tile->Canvas().Pixel(0, 0), kErrorGreen);
  // "ERROR:22" is written in white across the middle, not at the edges.
  const int white = CountPixels(*made.Tile, clWhite, {0, 0, 80, 80});
  EXPECT_GT(white, 20);
  EXPECT_EQ(CountPixels(*made.Tile, clWhite, {5, 25, 76, 56}), white);
  // Another code writes other text.
  const auto other = ErrorTile(80, tcSourceFailed, true);
  EXPECT_EQ(other->Canvas().Pixel(0, 0), kErrorRed);
  EXPECT_NE(CountPixels(*other, clWhite, {0, 0, 80, 80}), white);

  QFile sound(Dir.filePath("bell.wav"));
  ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
  sound.write("RIFF");
  sound.close();
  const TThumbTile skipped = Make(Path("bell.wav"));
  EXPECT_EQ(skipped.Code, tcNotPicture);
  EXPECT_FALSE(skipped.Tile);
}

TEST_F(ThumbTile, BrokenAndEmptyPicturesGiveRedTilesNotOldPixels) {
  TBrokenGraphic broken;
  const TThumbTile failed = MakeThumbTile(broken, {80, false, kBackground});
  EXPECT_EQ(failed.Code, tcSourceFailed);
  EXPECT_EQ(failed.Tile->Canvas().Pixel(40, 2), kErrorRed);

  TBitmap empty;
  const TThumbTile none = MakeThumbTile(empty, {80, false, kBackground});
  EXPECT_EQ(none.Code, tcNoPicture);
  EXPECT_EQ(none.Tile->Canvas().Pixel(40, 2), kErrorRed);
}

// Every kind of file, cut short or with bytes changed, gives a tile of the right size: its picture
// as far as it goes, or an error tile with its code.
TEST_F(ThumbTile, DamagedFilesOfEveryKindGiveTilesNeverACrash) {
  const char* samples[] = {"pngsuite/basn2c08.png",     "tiff/bw-g4.tif",
                           "tga/200x32_rgb_tl_raw.tga", "pcx/ppmtopcx_8bit.pcx",
                           "pcx/magick_pages.dcx",      "icon/multi.ico",
                           "metafile/rich.wmf",         "metafile/rich.emf",
                           "gif/netpbm-interlaced.gif", "bmpsuite/g/pal8rle.bmp"};
  WriteFlatPicture(Dir.filePath("whole.jpg"), 300, 200, kPicture);
  std::vector<QString> sources{Dir.filePath("whole.jpg")};
  for (const char* sample : samples)
    sources.push_back(QString(KESTREL_TEST_DATA) + "/" + sample);
  for (const QString& source : sources) {
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << source.toStdString();
    const QByteArray bytes = file.readAll();
    QByteArray flipped = bytes;
    for (qsizetype i = 20; i < flipped.size(); i += 37)
      flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    const QString extension = "." + QFileInfo(source).suffix();
    for (const QByteArray& damaged :
         {bytes.left(bytes.size() / 3), bytes.left(bytes.size() * 2 / 3), flipped,
          QByteArray("\0\0\0\0", 4)}) {
      const QString path = Dir.filePath("damaged" + extension);
      test::WriteFile(path, damaged);
      const TThumbTile made = Make(path.toStdString());
      ASSERT_TRUE(made.Tile) << source.toStdString();
      EXPECT_EQ(made.Tile->Width(), 80);
      EXPECT_TRUE(made.Code == tcNone || made.Code == tcSourceFailed || made.Code == tcNoPicture)
          << source.toStdString() << " " << made.Code;
    }
  }
}

// A PNG whose header claims 30000 x 30000 pixels: the reader refuses it before allocating.
TEST_F(ThumbTile, APictureBeyondTheMemoryLimitGivesAnErrorTile) {
  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  const auto chunk = [&png](const char* type, QByteArray data) {
    QByteArray body = QByteArray(type, 4) + data;
    png += QByteArray::fromHex(
        QByteArray::number(static_cast<int>(data.size()), 16).rightJustified(8, '0'));
    png += body;
    png += QByteArray::fromHex(
        QByteArray::number(static_cast<qulonglong>(Crc32(body)), 16).rightJustified(8, '0'));
  };
  chunk("IHDR", QByteArray::fromHex("0000753000007530080200000000"));
  chunk("IDAT", QByteArray::fromHex("789c030000000001"));
  chunk("IEND", {});
  const QString path = Dir.filePath("huge.png");
  test::WriteFile(path, png);
  const TThumbTile made = Make(path.toStdString());
  EXPECT_EQ(made.Code, tcNoPicture);
  EXPECT_EQ(made.Tile->Canvas().Pixel(0, 0), kErrorGreen);
}

TEST(ThumbLimit, CountsTilesWithinTheLimitWithoutOverflow) {
  EXPECT_EQ(ThumbMaximumCount("", 80, 24), 655);
  EXPECT_EQ(ThumbMaximumCount("0", 80, 24), 655);
  EXPECT_EQ(ThumbMaximumCount("1.5", 80, 32), 58);
  // 999 MB is 7 992 000 000 bits: past 32 bits.
  EXPECT_EQ(ThumbMaximumCount("999", 80, 24), 52031);
  EXPECT_EQ(ThumbMaximumCount("99999999999999999999.5", 32, 1), 2147483647);
  EXPECT_TRUE(AcceptableLimitText("999"));
  EXPECT_TRUE(AcceptableLimitText("1234.5"));
  EXPECT_FALSE(AcceptableLimitText("1000"));
  EXPECT_FALSE(AcceptableLimitText("1.2.3"));
  EXPECT_FALSE(AcceptableLimitText("-1"));
}

TEST(ThumbPalette, ColoursHaveGreysAtBothEndsAndGreyShadesRunLightToBlack) {
  const TPalette colours = MakeThumbPalette(0);
  ASSERT_EQ(colours.Count(), 236);
  EXPECT_EQ(colours[0], (TPaletteEntry{247, 247, 247, PC_NOCOLLAPSE}));
  EXPECT_EQ(colours[9], (TPaletteEntry{130, 130, 130, PC_NOCOLLAPSE}));
  EXPECT_EQ(colours[10], (TPaletteEntry{0, 0, 0, PC_NOCOLLAPSE}));
  EXPECT_EQ(colours[11], (TPaletteEntry{0, 0, 51, PC_NOCOLLAPSE}));
  EXPECT_EQ(colours[10 + 36], (TPaletteEntry{51, 0, 0, PC_NOCOLLAPSE}));
  EXPECT_EQ(colours[225], (TPaletteEntry{255, 255, 255, PC_NOCOLLAPSE}));
  EXPECT_EQ(colours[226], (TPaletteEntry{117, 117, 117, PC_NOCOLLAPSE}));
  EXPECT_EQ(colours[235], (TPaletteEntry{0, 0, 0, PC_NOCOLLAPSE}));
  const TPalette greys = MakeThumbPalette(15);
  ASSERT_EQ(greys.Count(), 16);
  EXPECT_EQ(greys[0], (TPaletteEntry{255, 255, 255, PC_NOCOLLAPSE}));
  EXPECT_EQ(greys[14], (TPaletteEntry{17, 17, 17, PC_NOCOLLAPSE}));
  EXPECT_EQ(greys[15], (TPaletteEntry{0, 0, 0, PC_NOCOLLAPSE}));
  EXPECT_EQ(MakeThumbPalette(235).Count(), 236);
  EXPECT_EQ(MakeThumbPalette(7).Count(), 32); // not a choice: the default, 31 shades
}

} // namespace
} // namespace kestrel
