// kestrel-tool resize: its options, and pictures that another program reads back with the pixels
// the filtered stretch and the box resampler make.

#include "IndependentReader.h"
#include "ToolRun.h"

#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "processing/resample/BoxResampler.h"
#include "processing/resample/FilteredStretch.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

const std::string kPicture = std::string(KESTREL_TEST_DATA) + "/bmpsuite/g/rgb24.bmp"; // 127 x 64

using test::Tool;
using test::ToolRun;

TEST(ToolResize, RefusesWhatItCannotDo) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"resize", "a.bmp", "b.bmp"},
           {"resize", "a.bmp", "b.bmp", "--width", "0"},
           {"resize", "a.bmp", "b.bmp", "--width", "10", "--filter", "cubic"},
           {"resize", "a.bmp", "b.bmp", "--width", "10", "--box", "13,1"},
           {"resize", "a.bmp", "b.bmp", "--width", "10", "--box", "2"},
           {"resize", "a.bmp", "b.bmp", "--width", "10", "--box", "1,3", "--filter", "box"},
           {"convert", "a.bmp", "b.bmp", "--width", "10"}})
    EXPECT_EQ(Tool(args).Code, kExitUsage) << args.back();
  QTemporaryDir dir;
  const ToolRun narrow = Tool({"resize", kPicture, dir.filePath("n.bmp").toStdString(), "--width",
                               "2", "--height", "5", "--box", "1,1"});
  EXPECT_EQ(narrow.Code, kExitFailed);
  EXPECT_NE(narrow.Err.find("box resampler cannot make 2 x 5"), std::string::npos) << narrow.Err;
  const ToolRun thin = Tool(
      {"resize", kPicture, dir.filePath("t.bmp").toStdString(), "--width", "1", "--height", "5"});
  EXPECT_EQ(thin.Err, "kestrel-tool: Destination bitmap too small\n");
}

TEST(ToolResize, WritesWhatTheResizersMake) {
  TBitmap source;
  source.LoadFromFile(kPicture);
  QTemporaryDir dir;
  const QString stretched = dir.filePath("stretched.png"), boxed = dir.filePath("boxed.bmp");
  ASSERT_EQ(
      Tool({"resize", kPicture, stretched.toStdString(), "--width", "50", "--filter", "bspline"})
          .Code,
      kExitOk);
  ASSERT_EQ(Tool({"resize", kPicture, boxed.toStdString(), "--width", "300", "--height", "100",
                  "--box", "3,2"})
                .Code,
            kExitOk);
  // The height follows the proportions: 64 x 50 / 127, rounded.
  TBitmap expectedStretch(50, 25);
  FilteredStretch(source, expectedStretch, TResampleFilter::BSpline);
  TBitmap expectedBox;
  BoxResample(source, expectedBox, {300, 100, {3, 2}, clWhite, false});

  std::string error;
  const auto pixels = test::ReadWithPillow({stretched, boxed}, &error);
  if (!pixels) GTEST_SKIP() << "no independent reader: " << error;
  int index = 0;
  for (const TBitmap* expected : {&expectedStretch, &expectedBox}) {
    const QByteArray& rgb = (*pixels)[static_cast<size_t>(index++)];
    ASSERT_EQ(rgb.size(), 3 * expected->Width() * expected->Height());
    for (int y = 0; y < expected->Height(); ++y)
      for (int x = 0; x < expected->Width(); ++x) {
        const auto* p = reinterpret_cast<const uint8_t*>(rgb.constData()) +
                        3 * (static_cast<size_t>(y) * expected->Width() + x);
        ASSERT_EQ(TPixelColor(p[0]) << 16 | TPixelColor(p[1]) << 8 | p[2],
                  expected->PixelColor(x, y))
            << index << " at " << x << "," << y;
      }
  }
}

} // namespace
} // namespace kestrel
