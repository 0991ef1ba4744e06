// The BMP Suite: good files read with the right pixels (checked against the suite's PNG renderings,
// read by Qt's PNG reader), bad files are refused with the reason, questionable files never crash.

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace kestrel {
namespace {

using test::DataPath;
using test::PixelsOf;

std::string Suite(const std::string& name) {
  return DataPath("bmpsuite/" + name);
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const QString& n : QDir(QString::fromStdString(Suite(folder))).entryList({"*.bmp"}))
    names.push_back(n.toStdString());
  return names;
}

// The rendering of each good file. The 8-bit renderings were made from palettes rounded
// differently in the last bit, so those compare within 1.
const std::map<std::string, std::pair<std::string, int>> kReferences = {
    {"pal1.bmp", {"pal1.png", 0}},
    {"pal1bg.bmp", {"pal1bg.png", 0}},
    {"pal1wb.bmp", {"pal1.png", 0}},
    {"pal4.bmp", {"pal4.png", 0}},
    {"pal4rle.bmp", {"pal4.png", 0}},
    {"pal8.bmp", {"pal8.png", 1}},
    {"pal8-0.bmp", {"pal8.png", 1}},
    {"pal8os2.bmp", {"pal8.png", 1}},
    {"pal8rle.bmp", {"pal8.png", 1}},
    {"pal8topdown.bmp", {"pal8.png", 1}},
    {"pal8v4.bmp", {"pal8.png", 1}},
    {"pal8v5.bmp", {"pal8.png", 1}},
    {"pal8w124.bmp", {"pal8w124.png", 1}},
    {"pal8w125.bmp", {"pal8w125.png", 1}},
    {"pal8w126.bmp", {"pal8w126.png", 1}},
    {"pal8nonsquare.bmp", {"pal8nonsquare-e.png", 1}},
    {"rgb16.bmp", {"rgb16.png", 0}},
    {"rgb16-565.bmp", {"rgb16-565.png", 0}},
    {"rgb16-565pal.bmp", {"rgb16-565.png", 0}},
    {"rgb24.bmp", {"rgb24.png", 0}},
    {"rgb24pal.bmp", {"rgb24.png", 0}},
    {"rgb32.bmp", {"rgb24.png", 0}},
    {"rgb32bf.bmp", {"rgb24.png", 0}},
};

TEST(BmpSuite, GoodFilesShowTheirReferencePixels) {
  const auto files = FilesIn("g");
  ASSERT_EQ(files.size(), kReferences.size());
  for (const std::string& name : files) {
    SCOPED_TRACE(name);
    const auto reference = kReferences.find(name);
    ASSERT_NE(reference, kReferences.end());
    TBitmap b;
    b.LoadFromFile(Suite("g/" + name));
    const QImage png(QString::fromStdString(Suite("html/" + reference->second.first)));
    ASSERT_FALSE(png.isNull());
    ASSERT_EQ(b.Width(), png.width());
    ASSERT_EQ(b.Height(), png.height());
    const auto ours = PixelsOf(b), theirs = PixelsOf(png);
    int worst = 0;
    for (size_t i = 0; i < ours.size(); ++i)
      for (int shift : {0, 8, 16})
        worst = std::max(worst,
                         std::abs(int(ours[i] >> shift & 0xFF) - int(theirs[i] >> shift & 0xFF)));
    EXPECT_LE(worst, reference->second.second);
  }
}

TEST(BmpSuite, BadFilesAreRefusedWithTheirReason) {
  const std::map<std::string, std::string> reasons = {
      {"badbitcount.bmp", "Invalid bit count (30000)"},
      {"badbitssize.bmp", "Invalid image data size"},
      {"baddens1.bmp", "Invalid resolution"},
      {"baddens2.bmp", "Invalid resolution"},
      {"badfilesize.bmp", "Bitmap file truncated"},
      {"badheadersize.bmp", "Unsupported bitmap header size (66)"},
      {"badpalettesize.bmp", "Colour table larger than the file"},
      {"badplanes.bmp", "Invalid number of colour planes"},
      {"badrle.bmp", "Invalid run-length data"},
      {"badwidth.bmp", "Invalid bitmap width (-127)"},
      {"pal8badindex.bmp", "Pixel index outside the colour table"},
      {"reallybig.bmp", "Bitmap file truncated"},
      {"rletopdown.bmp", "A top-down bitmap cannot be run-length coded"},
      {"shortfile.bmp", "Bitmap file truncated"},
  };
  const auto files = FilesIn("b");
  ASSERT_EQ(files.size(), reasons.size());
  for (const std::string& name : files) {
    TBitmap b;
    try {
      b.LoadFromFile(Suite("b/" + name));
      ADD_FAILURE() << name << " loaded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(std::string(e.what()).rfind(reasons.at(name), 0), 0u) << name << ": " << e.what();
    }
  }
}

TEST(BmpSuite, QuestionableFilesLoadOrFailCleanlyAndWhatLoadsRoundTrips) {
  int loaded = 0;
  for (const std::string& name : FilesIn("q")) {
    SCOPED_TRACE(name);
    TBitmap b;
    try {
      b.LoadFromFile(Suite("q/" + name));
    } catch (const EInvalidGraphic&) {
      continue;
    }
    ++loaded;
    EXPECT_EQ(b.Width(), 127);
    TMemoryStream s;
    b.SaveToStream(s);
    s.SetPosition(0);
    TBitmap back;
    back.LoadFromStream(s);
    EXPECT_EQ(PixelsOf(back), PixelsOf(b));
  }
  EXPECT_GE(loaded, 15);
}

TEST(BmpSuite, AMemoryLimitRefusesEvenAGoodFile) {
  ImageLimits::SetMaxBytes(1000);
  TBitmap b;
  EXPECT_THROW(b.LoadFromFile(Suite("g/rgb24.bmp")), EInvalidGraphic);
  ImageLimits::SetMaxBytes(0);
  b.LoadFromFile(Suite("g/rgb24.bmp"));
  EXPECT_EQ(b.Width(), 127);
}

} // namespace
} // namespace kestrel
