// The look of a whole page against a stored rendering: wallpaper tiles, frames, a title, captions
// broken in two and pictures of three shapes. Text may come out a pixel different with another
// font version, so the comparison allows a little; a misplaced cell or label does not pass.
// KESTREL_WRITE_INDEX_REFERENCE=1 writes the reference anew (look at it before committing it).

#include "browse/index/IndexComposer.h"
#include "browse/index/IndexTestSupport.h"
#include "support/TestApplication.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace kestrel {
namespace {

const char kReference[] = KESTREL_TEST_DATA "/index/reference-page.png";

TEST(IndexReference, APageLooksAsItsStoredRendering) {
  test::TestApplication();
  QTemporaryDir dir;
  std::vector<std::string> files;
  const TSize sizes[] = {{300, 200}, {200, 300}, {250, 250}};
  const TColor colors[] = {0x3050D0, 0x40B040, 0xC06020, 0x20A0C0, 0x9030A0};
  const char* names[] = {"IMG_0001.JPG", "HolidayPictures.bmp", "a.bmp", "Beach_2024.bmp",
                         "sunset.bmp"};
  for (int i = 0; i < 5; ++i)
    files.push_back(test::WriteFlatPicture(dir.filePath(QString(names[i]).replace(".JPG", ".jpg")),
                                           sizes[i % 3].Width, sizes[i % 3].Height, colors[i]));
  TIndexPageConfig config = test::PlainSpec(files);
  config.PageWidth = 400;
  config.PageHeight = 300;
  config.Columns = 3;
  config.Rows = 2;
  config.ThumbBorder = 2;
  config.ThumbBorderColor = 0x00E0E0;
  config.TitleText = "Index";
  config.TitleFont.Size = 14;
  config.FooterText = "Sheet 1 of 1";
  config.FooterFont.Size = 9;
  config.CaptionFont.Size = 9;
  auto tile = std::make_shared<TBitmap>(16, 16, pf24bit);
  tile->Canvas().Brush.Color = 0x302020;
  tile->Canvas().FillRect({0, 0, 16, 16});
  tile->Canvas().Brush.Color = 0x483030;
  tile->Canvas().FillRect({0, 0, 8, 8});
  tile->Canvas().FillRect({8, 8, 16, 16});
  config.BackgroundGraphic = config.Tile = config.FromClipboard = true;
  config.ClipboardWallpaper = tile;
  TIndexComposer composer(config, test::ReadByRegistry);
  const std::atomic<bool> never = false;
  ASSERT_EQ(composer.Run(never), icComplete);
  const QImage page = composer.Page().Image().convertToFormat(QImage::Format_RGB32);
  if (std::getenv("KESTREL_WRITE_INDEX_REFERENCE")) {
    ASSERT_TRUE(page.save(kReference));
  }

  const QImage reference = QImage(kReference).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(reference.size(), page.size());
  int64_t total = 0;
  int far = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QRgb a = page.pixel(x, y), b = reference.pixel(x, y);
      const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
      total += d;
      far += d > 48;
    }
  const double pixels = page.width() * page.height();
  EXPECT_LT(total / pixels, 3.0);
  EXPECT_LT(far / pixels, 0.015) << far << " pixels differ";
}

} // namespace
} // namespace kestrel
