// The PNG writer's depth conversions and the GIF writer's two ways to 8 bits.

#include "SaveTestSupport.h"

#include "app/save/DepthCode.h"
#include "app/save/JpegRoundTrip.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/gif/GIFSubImage.h"
#include "imaging/png/PngGraphic.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::PixelsOf;
using test::ReadBack;
using test::TestPicture;

class WriterTest : public ::testing::Test {
protected:
  std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }

  QTemporaryDir dir;
  test::TScriptedQuestions questions;
  TImageSaver saver{questions};
};

TEST_F(WriterTest, PngDepthsFollowTheConversionTable) {
  const auto palette8 = TestPicture(33, 21, pf8bit);
  const auto deep = TestPicture(33, 21, pf24bit);
  const struct {
    const TBitmap* Source;
    int Depth;
    TImageFormat Expected;
    bool SamePixels;
  } cases[] = {{palette8.get(), kDepthCode8, ifColor256, true},
               {palette8.get(), kDepthCode24, ifTrueColor, true},
               {palette8.get(), kDepthCode4, ifColor16, false},
               {deep.get(), kDepthCode24, ifTrueColor, true},
               {deep.get(), kDepthCode4, ifColor16, false},
               {deep.get(), kDepthCode8, ifColor256, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Source->BitsPerPixel()) + " to depth code " +
                 std::to_string(c.Depth));
    questions.Compression = {{2, c.Depth}};
    ASSERT_TRUE(saver.SaveAs(Path("out.png"), *c.Source, true));
    TPngGraphic png;
    png.LoadFromFile(Path("out.png"));
    EXPECT_EQ(png.ImageFormat(), c.Expected);
    EXPECT_NEAR(png.Gamma, 0.45, 1e-4);
    if (c.SamePixels) {
      EXPECT_EQ(PixelsOf(*ReadBack(Path("out.png"))), PixelsOf(*c.Source));
    }
  }
  EXPECT_EQ(saver.Settings().Png.Result, 2);
  // A deep source without a palette goes to 8 bits through the JPEG round trip.
  EXPECT_EQ(PixelsOf(*ReadBack(Path("out.png"))), PixelsOf(*JpegRoundTrip(*deep, true)));
}

TEST_F(WriterTest, PngRefusesDepthsWithoutAConversion) {
  for (TPixelFormat format : {pf1bit, pf15bit, pf32bit}) {
    questions.Told.clear();
    EXPECT_FALSE(saver.SaveAs(Path("out.png"), *TestPicture(5, 5, format), true));
    EXPECT_EQ(questions.Told,
              std::vector<std::string>{"Kestrel: Save Image|Conversion not Supported"});
  }
  EXPECT_TRUE(questions.AskedUses.empty()) << "refused before the window is shown";
  EXPECT_FALSE(QFile::exists(dir.filePath("out.png")));
}

TEST_F(WriterTest, Gif256ColoursAreDrawnDirectlyAndDeeperOnesGoThroughTheRoundTrip) {
  const auto palette8 = TestPicture(31, 19, pf8bit);
  ASSERT_TRUE(saver.SaveAs(Path("flat.gif"), *palette8, false));
  EXPECT_EQ(PixelsOf(*ReadBack(Path("flat.gif"))), PixelsOf(*palette8));

  const auto deep = TestPicture(31, 19, pf24bit);
  ASSERT_TRUE(saver.SaveAs(Path("deep.gif"), *deep, false));
  EXPECT_EQ(PixelsOf(*ReadBack(Path("deep.gif"))), PixelsOf(*JpegRoundTrip(*deep, true)));
  EXPECT_TRUE(questions.Told.empty());
}

TEST_F(WriterTest, GifTakesTransparencyFromTheViewSetting) {
  auto source = TestPicture(12, 12, pf8bit);
  TSavePicture shown;
  shown.Transparent = true;
  ASSERT_TRUE(saver.SaveAs(Path("clear.gif"), *source, false, shown));
  ASSERT_TRUE(saver.SaveAs(Path("solid.gif"), *source, false));
  TGIFImage clear, solid;
  clear.LoadFromFile(Path("clear.gif"));
  solid.LoadFromFile(Path("solid.gif"));
  ASSERT_EQ(clear.Images().Count(), 1);
  EXPECT_TRUE(clear.Images()[0].Transparent());
  EXPECT_FALSE(solid.Images()[0].Transparent());
  // The bottom-left pixel's colour is the transparent one.
  const TGIFSubImage& frame = clear.Images()[0];
  EXPECT_EQ(frame.Data()[static_cast<size_t>(11 * 12)], frame.TransparentColorIndex());
}

} // namespace
} // namespace kestrel
