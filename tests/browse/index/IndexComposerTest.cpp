#include "browse/index/IndexComposer.h"

#include "browse/index/IndexPicture.h"
#include "browse/index/IndexTestSupport.h"
#include "imaging/core/ImageLimits.h"
#include "support/TestApplication.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace kestrel {
namespace {

using test::PlainSpec;
using test::ReadByRegistry;
using test::TBrokenGraphic;
using test::WriteFlatPictures;

class IndexComposer : public ::testing::Test {
protected:
  void SetUp() override { test::TestApplication(); }
  int Run(TIndexComposer& composer) { return composer.Run(stop_); }
  std::vector<std::string> Pictures(int count, int width = 60, int height = 40) {
    return WriteFlatPictures(Dir.path(), count, width, height);
  }
  QTemporaryDir Dir;
  std::atomic<bool> stop_{false};
};

TEST_F(IndexComposer, NineFilesOnSevenByThreeGiveARowOfSevenAndOneOfTwoQuietly) {
  TIndexComposer composer(PlainSpec(Pictures(9)), ReadByRegistry);
  int pages = 0, cells = 0;
  composer.OnPageMade = [&](const TBitmap& page) {
    EXPECT_EQ(page.Width(), 800);
    ++pages;
  };
  composer.OnCellDone = [&](const TRect&) { ++cells; };
  const int code = Run(composer);
  EXPECT_EQ(code, icComplete);
  EXPECT_FALSE(IndexCodeShown(code));
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(cells, 9);
  const auto& placed = composer.Cells();
  ASSERT_EQ(placed.size(), 9u);
  for (int i = 1; i < 7; ++i)
    EXPECT_EQ(placed[i].Picture.Top, placed[0].Picture.Top);
  EXPECT_GT(placed[7].Picture.Top, placed[0].Picture.Top);
  EXPECT_EQ(placed[8].Picture.Top, placed[7].Picture.Top);
  EXPECT_EQ(placed[7].Picture.Left, placed[0].Picture.Left);
}

TEST_F(IndexComposer, ThirtyFilesFillTheTwentyOneCellsAndEndWithoutAMessage) {
  TIndexComposer composer(PlainSpec(Pictures(30)), ReadByRegistry);
  EXPECT_EQ(Run(composer), icNone);
  EXPECT_EQ(composer.Cells().size(), 21u);
}

TEST_F(IndexComposer, RowsArePackedByTheirTallestPictureAndPicturesTakeTheirColour) {
  std::vector<std::string> files = WriteFlatPictures(Dir.path(), 2, 300, 100, 0x2040E0);
  files.push_back(test::WriteFlatPicture(Dir.filePath("tall.bmp"), 100, 300, 0x2040E0));
  TIndexPageConfig config = PlainSpec(files);
  config.Columns = 2;
  config.Rows = 2;
  TIndexComposer composer(config, ReadByRegistry);
  Run(composer);
  const TIndexGeometry& g = composer.Geometry();
  const auto& cells = composer.Cells();
  ASSERT_EQ(cells.size(), 3u);
  // The first row's pictures are wide and short: the second row starts right under them.
  EXPECT_LT(cells[0].Picture.Height(), g.CellHeight);
  EXPECT_EQ(cells[2].Picture.Top,
            cells[0].Picture.Top + cells[0].Picture.Height() + config.Spacing + g.CaptionHeight);
  const TRect& r = cells[0].Picture;
  const TCanvas& page = const_cast<TBitmap&>(composer.Page()).Canvas();
  EXPECT_EQ(page.Pixel((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), 0x2040E0);
  EXPECT_EQ(page.Pixel(r.Left - 1, r.Top + 5), config.Background); // no frame at thickness 0
}

TEST_F(IndexComposer, UnreadableFilesKeepTheirCellWithAFrameAndThePageCompletes) {
  std::vector<std::string> files = Pictures(2);
  const QString garbage = Dir.filePath("damaged.jpg");
  QFile file(garbage);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("this is no picture at all");
  file.close();
  files.insert(files.begin() + 1, garbage.toStdString());
  files.push_back(Dir.filePath("broken.bmp").toStdString());
  files.push_back(Dir.filePath("song.wav").toStdString());
  files.push_back(files[0]);
  const auto reader = [](const std::string& path) -> std::unique_ptr<TGraphic> {
    if (path.ends_with("broken.bmp")) return std::make_unique<TBrokenGraphic>();
    if (path.ends_with(".wav")) return nullptr; // no picture, and nothing played
    return ReadByRegistry(path);
  };
  TIndexPageConfig config = PlainSpec(files);
  config.ThumbBorderColor = 0x00FF00;
  TIndexComposer composer(config, reader);
  EXPECT_EQ(Run(composer), icComplete);
  const auto& cells = composer.Cells();
  ASSERT_EQ(cells.size(), 6u);
  EXPECT_TRUE(cells[1].Empty);
  EXPECT_EQ(cells[3].Code, icSourceDraw);
  EXPECT_TRUE(cells[4].Empty);
  EXPECT_EQ(cells[5].Code, icNone);
  // A failed picture is framed round its own cell, not half a cell aside.
  EXPECT_EQ(cells[3].Picture, IndexCellBox(config, composer.Geometry(), 3, 0));
  const TCanvas& page = const_cast<TBitmap&>(composer.Page()).Canvas();
  // The frame is a pixel thick even at thickness 0, just outside the box.
  for (int i : {1, 3, 4}) {
    const TRect& r = cells[i].Picture;
    EXPECT_EQ(page.Pixel(r.Left - 1, (r.Top + r.Bottom) / 2), 0x00FF00) << i;
    EXPECT_EQ(page.Pixel(r.Right, r.Top - 1), 0x00FF00) << i;
    EXPECT_EQ(page.Pixel(r.Left, (r.Top + r.Bottom) / 2), config.Background) << i;
  }
}

TEST_F(IndexComposer, NegativeThumbnailBordersDrawOverThePictureEdgePositiveOnesAroundIt) {
  for (int thickness : {-3, 3}) {
    TIndexPageConfig config = PlainSpec(WriteFlatPictures(Dir.path(), 1, 90, 60, 0xC08040));
    config.ThumbBorder = thickness;
    config.ThumbBorderColor = 0x0000FF;
    TIndexComposer composer(config, ReadByRegistry);
    Run(composer);
    const TRect& r = composer.Cells()[0].Picture;
    const TCanvas& page = const_cast<TBitmap&>(composer.Page()).Canvas();
    const int y = (r.Top + r.Bottom) / 2;
    if (thickness < 0) {
      EXPECT_EQ(page.Pixel(r.Left, y), 0x0000FF);
      EXPECT_EQ(page.Pixel(r.Left + 2, y), 0x0000FF);
      EXPECT_EQ(page.Pixel(r.Left + 3, y), 0xC08040);
      EXPECT_EQ(page.Pixel(r.Left - 1, y), config.Background);
    } else {
      EXPECT_EQ(page.Pixel(r.Left, y), 0xC08040);
      EXPECT_EQ(page.Pixel(r.Left - 1, y), 0x0000FF);
      EXPECT_EQ(page.Pixel(r.Left - 3, y), 0x0000FF);
      EXPECT_EQ(page.Pixel(r.Left - 4, y), config.Background);
      EXPECT_EQ(page.Pixel(r.Left, r.Bottom + 2), 0x0000FF);
    }
  }
}

TEST_F(IndexComposer, APageBeyondTheMemoryLimitIsRefusedBeforeAnythingIsDrawn) {
  TIndexPageConfig config = PlainSpec(Pictures(2));
  config.PageWidth = config.PageHeight = 5000;
  ImageLimits::SetMaxBytes(16 << 20);
  TIndexComposer composer(config, ReadByRegistry);
  bool drawn = false;
  composer.OnPageMade = [&](const TBitmap&) { drawn = true; };
  const int code = Run(composer);
  ImageLimits::SetMaxBytes(0);
  EXPECT_EQ(code, icOutOfMemory);
  EXPECT_EQ(IndexCodeText(code), "ERR_OUT_OF_MEMORY");
  EXPECT_FALSE(drawn);
  EXPECT_TRUE(composer.Page().Empty());
  EXPECT_TRUE(composer.Cells().empty());
}

TEST_F(IndexComposer, StopIsHonouredBeforeTheNextPicture) {
  TIndexComposer composer(PlainSpec(Pictures(10)), ReadByRegistry);
  composer.OnCellDone = [this](const TRect&) { stop_ = true; };
  EXPECT_EQ(Run(composer), icNone);
  EXPECT_EQ(composer.Cells().size(), 1u);
}

TEST_F(IndexComposer, CellsTooSmallForAPictureAreRefused) {
  TIndexPageConfig config = PlainSpec(Pictures(1));
  config.Columns = 500;
  TIndexComposer composer(config, ReadByRegistry);
  EXPECT_EQ(Run(composer), icImageTooSmall);
  EXPECT_TRUE(composer.Page().Empty());
}

TEST_F(IndexComposer, ACentredWallpaperLargerThanThePageIsCroppedEvenly) {
  // Four quarters of 500 x 400 each: the page's centre is where they meet.
  TBitmap wallpaper;
  wallpaper.SetPixelFormat(pf24bit);
  wallpaper.SetSize(1000, 800);
  const TColor quarters[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF};
  for (int q = 0; q < 4; ++q) {
    wallpaper.Canvas().Brush.Color = quarters[q];
    wallpaper.Canvas().FillRect(Bounds(q % 2 * 500, q / 2 * 400, 500, 400));
  }
  wallpaper.SaveToFile(Dir.filePath("wall.bmp").toStdString());
  TIndexPageConfig config = PlainSpec();
  config.TitleText.clear();
  config.BackgroundGraphic = true;
  config.WallpaperFile = Dir.filePath("wall.bmp").toStdString();
  TIndexComposer composer(config, ReadByRegistry);
  Run(composer);
  const TCanvas& page = const_cast<TBitmap&>(composer.Page()).Canvas();
  EXPECT_EQ(page.Pixel(399, 299), quarters[0]);
  EXPECT_EQ(page.Pixel(400, 299), quarters[1]);
  EXPECT_EQ(page.Pixel(399, 300), quarters[2]);
  EXPECT_EQ(page.Pixel(400, 300), quarters[3]);
  EXPECT_EQ(page.Pixel(0, 0), clWhite); // the page border over it
}

TEST_F(IndexComposer, ATiledWallpaperRepeatsFromTheTopLeftCorner) {
  TBitmap tile;
  tile.SetPixelFormat(pf24bit);
  tile.Canvas().Brush.Color = 0x808080;
  tile.SetSize(64, 48);
  tile.Canvas().FillRect({0, 0, 64, 48});
  tile.Canvas().SetPixel(0, 0, 0x00FFFF);
  TIndexPageConfig config = PlainSpec();
  config.TitleText.clear();
  config.PageBorder = 0;
  config.BackgroundGraphic = config.Tile = config.FromClipboard = true;
  config.ClipboardWallpaper = std::make_shared<TBitmap>();
  const_cast<TBitmap&>(*config.ClipboardWallpaper).Assign(&tile);
  TIndexComposer composer(config, ReadByRegistry);
  Run(composer);
  const TCanvas& page = const_cast<TBitmap&>(composer.Page()).Canvas();
  EXPECT_EQ(page.Pixel(64 * 12, 48 * 12), 0x00FFFF);
  EXPECT_EQ(page.Pixel(64 * 3, 48 * 5), 0x00FFFF);
  EXPECT_EQ(page.Pixel(64 * 3 + 1, 48 * 5), 0x808080);
}

TEST_F(IndexComposer, WallpaperFailuresEndTheRunWithTheirCodesAndNoPage) {
  TIndexPageConfig config = PlainSpec(Pictures(1));
  config.BackgroundGraphic = config.FromClipboard = true; // the clipboard held no picture
  TIndexComposer empty(config, ReadByRegistry);
  EXPECT_EQ(Run(empty), icNoClipboardGraphic);
  EXPECT_EQ(IndexCodeText(icNoClipboardGraphic), "NO_CLIPBOARD_GRAPHIC");
  config.FromClipboard = false;
  config.WallpaperFile = Dir.filePath("missing.bmp").toStdString();
  TIndexComposer missing(config, ReadByRegistry);
  bool drawn = false;
  missing.OnPageMade = [&](const TBitmap&) { drawn = true; };
  EXPECT_EQ(Run(missing), icBadWallpaper);
  EXPECT_FALSE(drawn);
}

TEST_F(IndexComposer, PalettePagesGetAnOptimisedPaletteOfTheirColours) {
  TIndexPageConfig config = PlainSpec(Pictures(3));
  config.PalettePage = true;
  TIndexComposer composer(config, ReadByRegistry);
  Run(composer);
  EXPECT_EQ(composer.Page().OwnPalette().Count(), 256);
}

TEST(IndexPicture, HalvingAveragesTwoByTwoBlocksAndDropsAnOddEdge) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 3);
  const TColor colors[] = {0x000000, 0x040404, 0xFFFFFF, 0x080808, 0x0C0C0C,
                           0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  for (int i = 0; i < 9; ++i)
    bitmap.Canvas().SetPixel(i % 3, i / 3, colors[i]);
  HalveBitmap(bitmap);
  ASSERT_EQ(bitmap.Width(), 1);
  ASSERT_EQ(bitmap.Height(), 1);
  EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), 0x060606);
  // JPEG pictures are decoded as small as the cell allows.
  EXPECT_EQ(IndexJpegScale(2000, 100), jsEighth);
  EXPECT_EQ(IndexJpegScale(2000, 400), jsQuarter);
  EXPECT_EQ(IndexJpegScale(2000, 800), jsHalf);
  EXPECT_EQ(IndexJpegScale(2000, 1000), jsFullSize);
}

TEST(IndexPicture, LargePicturesAreReducedToAtMostTwiceTheCellBeforeResampling) {
  test::TestApplication();
  QTemporaryDir dir;
  const std::string jpeg = test::WriteFlatPicture(dir.filePath("big.jpg"), 1600, 1200, 0x4080C0);
  std::unique_ptr<TGraphic> picture = ReadByRegistry(jpeg);
  TBitmap source;
  ASSERT_EQ(PrepareIndexSource(*picture, 60, clBlack, false, source), icNone);
  // 1200 / 60 = 20: decoded at 1/8 (150 high), then halved once to 75.
  EXPECT_EQ(source.Height(), 75);
  EXPECT_EQ(source.Width(), 100);
  TBitmap cell;
  StretchIndexCell(source, cell, {80, 60}, true);
  EXPECT_EQ(cell.Width(), 80);
  EXPECT_EQ(cell.PixelFormat(), pf24bit);
}

} // namespace
} // namespace kestrel
