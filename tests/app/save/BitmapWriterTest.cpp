// The bitmap writer: every palette choice of the compression window, in the depth it names, and
// the choice that needs the source's own palette.

#include "SaveTestSupport.h"

#include "app/save/BitmapSavePlan.h"
#include "app/save/DepthCode.h"
#include "app/save/JpegRoundTrip.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/tiff/CompressionChoices.h"
#include "processing/colour/FixedPalettes.h"
#include "processing/colour/ReduceToPalette.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kestrel {
namespace {

using test::PixelsOf;
using test::TestPicture;

// What each item of the compression window promises, by its text.
TSavePlan Promised(const std::string& item, TPixelFormat format, bool deep) {
  using P = TSavePalette;
  static const std::map<std::string, P> palettes = {
      {"No Palette", P::None},
      {"Windows Default palette", P::Default},
      {"WinWeb Palette", P::Web},
      {"Octree Palette - no dither", P::Octree16},
      {"WinOctree Palette - no dither", P::Octree256}};
  if (item == "Optimized/Floyd Steinberg Dither") return {TSaveWay::JpegRoundTrip, P::None, format};
  if (item == "Octree with F/S dither") return {TSaveWay::OctreeDither, P::None, format};
  if (item == "Image Own Palette")
    return {TSaveWay::Redraw, deep && format == pf8bit ? P::OwnWidened : P::Own, format};
  return {TSaveWay::Redraw, palettes.at(item), format};
}

TEST(BitmapSavePlan, EveryItemOfTheWindowDoesWhatItSays) {
  for (int depthCode : {kDepthCodeDevice, kDepthCode1, kDepthCode4, kDepthCode8, kDepthCode15,
                        kDepthCode16, kDepthCode24, kDepthCode32}) {
    for (const char* depth : {"4", "8", "24"}) {
      TCompressChoices choices(TCompressUse::Bmp, depthCode, 0, false);
      choices.SetDepth(depth);
      const std::vector<std::string> items = choices.Items();
      for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        SCOPED_TRACE(std::to_string(depthCode) + " to " + depth + ": " + items[i]);
        const TSavePlan plan = PlanBitmapSave(depthCode, choices.DepthCode(), i);
        const TPixelFormat format = PixelFormatOfDepthCode(choices.DepthCode());
        // A device bitmap is redrawn without a palette whatever the item says.
        const TSavePlan promised = depthCode == kDepthCodeDevice
                                       ? TSavePlan{TSaveWay::Redraw, TSavePalette::None, format}
                                       : Promised(items[i], format, depthCode > 3);
        EXPECT_EQ(plan.Way, promised.Way);
        EXPECT_EQ(plan.Palette, promised.Palette);
        EXPECT_EQ(plan.Format, promised.Format);
      }
      const TSavePlan past = PlanBitmapSave(depthCode, choices.DepthCode(), int(items.size()));
      EXPECT_EQ(past.Palette, TSavePalette::None);
      EXPECT_EQ(past.Way, TSaveWay::Redraw);
    }
  }
}

class BitmapWriterTest : public ::testing::Test {
protected:
  // Saves source as a BMP with one answer of the window and reads the file back.
  std::unique_ptr<TBitmap> Save(const TBitmap& source, int choice, int depthCode) {
    questions.Compression = {{choice, depthCode}};
    const std::string path = dir.filePath("out.bmp").toStdString();
    EXPECT_TRUE(saver.SaveAs(path, source, true)) << questions.Told.back();
    auto written = std::make_unique<TBitmap>();
    written->LoadFromFile(path);
    return written;
  }

  QTemporaryDir dir;
  test::TScriptedQuestions questions;
  TImageSaver saver{questions};
};

TEST_F(BitmapWriterTest, PaletteSourcesKeepOrChangeTheirPalette) {
  const auto source = TestPicture(40, 30, pf8bit);
  const auto own = Save(*source, 0, kDepthCode8);
  EXPECT_EQ(own->PixelFormat(), pf8bit);
  EXPECT_EQ(own->OwnPalette(), source->OwnPalette());
  EXPECT_EQ(PixelsOf(*own), PixelsOf(*source));

  const auto standard = Save(*source, 2, kDepthCode4);
  EXPECT_EQ(standard->PixelFormat(), pf4bit);
  EXPECT_EQ(standard->OwnPalette(), SystemPalette16());

  const auto web = Save(*source, 3, kDepthCode8);
  ASSERT_GE(web->OwnPalette().Count(), 236);
  for (int i = 0; i < 236; ++i)
    EXPECT_EQ(web->OwnPalette().Color(i), MakePalette236().Color(i)) << i;

  const auto deep = Save(*source, 0, kDepthCode24);
  EXPECT_EQ(deep->PixelFormat(), pf24bit);
  EXPECT_EQ(PixelsOf(*deep), PixelsOf(*source));

  const auto defaults = Save(*source, 2, kDepthCode8);
  const TPalette& palette = defaults->OwnPalette();
  ASSERT_EQ(palette.Count(), 256);
  EXPECT_EQ(palette.Color(19), SystemPalette20().Color(19));
  EXPECT_EQ(palette.Color(20), clBlack);
  EXPECT_EQ(palette.Color(255), clBlack);
  EXPECT_EQ(questions.AskedDepths, (std::vector<int>{3, 3, 3, 3, 3}));
}

TEST_F(BitmapWriterTest, DeepSourcesReduceByTheChosenWay) {
  const auto source = TestPicture(64, 48, pf24bit);
  const auto trip = Save(*source, 0, kDepthCode8);
  EXPECT_EQ(trip->PixelFormat(), pf8bit);
  EXPECT_EQ(PixelsOf(*trip), PixelsOf(*JpegRoundTrip(*source, true)));

  const auto dithered = Save(*source, 5, kDepthCode8);
  EXPECT_EQ(PixelsOf(*dithered),
            PixelsOf(*ReduceToPalette(*source, rmQuantizeWindows, dmFloydSteinberg, 8, {})));

  const auto octree = Save(*source, 1, kDepthCode4);
  EXPECT_EQ(octree->PixelFormat(), pf4bit);
  EXPECT_EQ(octree->OwnPalette(), BuildOctreePalette(*source, 16, 4, false));

  const auto kept = Save(*source, 0, kDepthCode24);
  EXPECT_EQ(PixelsOf(*kept), PixelsOf(*source));
}

TEST_F(BitmapWriterTest, ADeepSourceWithoutAPaletteCannotKeepIt) {
  const auto source = TestPicture(10, 10, pf24bit);
  // "Image Own Palette" at 8 bits, then the octree palette when asked again.
  questions.Compression = {{1, kDepthCode8}, {2, kDepthCode8}};
  const std::string path = dir.filePath("out.bmp").toStdString();
  ASSERT_TRUE(saver.SaveAs(path, *source, true));
  EXPECT_EQ(questions.Told,
            std::vector<std::string>{"Kestrel: Save As Bitmap|Source Graphic must have a palette"});
  EXPECT_EQ(questions.AskedUses.size(), 2u);
  EXPECT_EQ(saver.Settings().Bitmap.Result, 2) << "the choice that applied is remembered";

  // Remembered, the impossible choice ends the save once, without asking and without a file.
  saver.Settings().Bitmap = {0, kDepthCode4}; // "Image Own Palette" at 4 bits
  questions.Told.clear();
  const std::string other = dir.filePath("other.bmp").toStdString();
  EXPECT_FALSE(saver.SaveAs(other, *source, false));
  EXPECT_EQ(questions.Told.size(), 1u);
  EXPECT_EQ(questions.AskedUses.size(), 2u);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(other)));

  // With a palette attached, the same choice widens it to 256 entries.
  TBitmap withPalette;
  withPalette.Assign(source.get());
  withPalette.SetPalette(SystemPalette16());
  saver.Settings().Bitmap = {1, kDepthCode8};
  ASSERT_TRUE(saver.SaveAs(other, withPalette, false));
  TBitmap written;
  written.LoadFromFile(other);
  ASSERT_EQ(written.OwnPalette().Count(), 256);
  EXPECT_EQ(written.OwnPalette().Color(15), SystemPalette16().Color(15));
  EXPECT_EQ(written.OwnPalette().Color(16), clBlack);
}

TEST_F(BitmapWriterTest, AFittedViewIsRedrawnAtTheChosenDepthWithoutAPalette) {
  // The view fitted to the window is a device bitmap: whatever palette is chosen, it is drawn at
  // the chosen depth with that depth's own colours, and nothing asks for a palette it lacks.
  TBitmap fitted;
  fitted.Assign(TestPicture(40, 30, pf24bit).get());
  fitted.SetPixelFormat(pfDevice);
  const auto plain = Redraw(fitted, pf8bit, TPalette(), clBlack);
  for (int choice : {0, 3}) { // "Image Own Palette", "WinWeb Palette"
    const auto written = Save(fitted, choice, kDepthCode8);
    EXPECT_EQ(written->OwnPalette(), plain->OwnPalette()) << choice;
    EXPECT_EQ(PixelsOf(*written), PixelsOf(*plain)) << choice;
  }
  EXPECT_TRUE(questions.Told.empty());
}

TEST_F(BitmapWriterTest, AWebPaletteSaveHoldsNoIndexPastTheTableWhateverFreshMemoryHeld) {
  // Fresh heap blocks made to hold 0xF4, as a freed picture may leave them: index 244, past the
  // 236 colours, whose table colour is black like the source's first pixel.
#if defined(__GLIBC__)
  mallopt(M_PERTURB, 0x0B);
#endif
  const auto source = TestPicture(64, 40, pf24bit);
  questions.Compression = {{4, kDepthCode8}}; // "WinWeb Palette"
  const std::string path = dir.filePath("web.bmp").toStdString();
  const bool saved = saver.SaveAs(path, *source, true);
#if defined(__GLIBC__)
  mallopt(M_PERTURB, 0);
#endif
  ASSERT_TRUE(saved);
  TBitmap written;
  ASSERT_NO_THROW(written.LoadFromFile(path)); // the reader refuses an index past the table
  EXPECT_EQ(written.OwnPalette().Count(), 236);
  EXPECT_EQ(written.ScanLine(0)[0], 0) << "black is the palette's first entry";
}

} // namespace
} // namespace kestrel
