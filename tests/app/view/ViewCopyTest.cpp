#include "app/view/ViewCopy.h"
#include "app/view/ImageKind.h"
#include "imaging/core/Stream.h"
#include "imaging/jpeg/JpegImage.h"
#include "processing/colour/FixedPalettes.h"
#include "processing/resample/Halving.h"

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

#include <utility>

namespace kestrel {
namespace {

// Settings that redraw the copy from the picture at 1:reduction.
TViewCopySettings Redrawn(int reduction) {
  TViewCopySettings settings;
  settings.Reduction = reduction;
  settings.Forced = true;
  return settings;
}

TEST(DrawPath, TheFirstRuleThatHoldsWins) {
  const auto bitmap = test::PatternBitmap(4, 4);
  TJPEGImage jpeg;
  TDrawPathFacts facts;
  EXPECT_EQ(ChooseDrawPath(*bitmap, facts), TDrawPath::Copy);
  EXPECT_EQ(ChooseDrawPath(jpeg, facts), TDrawPath::Jpeg);
  facts.Transparent = true;
  EXPECT_EQ(ChooseDrawPath(*bitmap, facts), TDrawPath::Draw);
  EXPECT_EQ(ChooseDrawPath(jpeg, facts), TDrawPath::Jpeg);
  facts.Transparent = false;
  facts.ScreenDepth = 8;
  EXPECT_EQ(ChooseDrawPath(*bitmap, facts), TDrawPath::Draw);
  facts.ScreenDepth = 32;
  facts.Palette.ImageKind = ikGif; // a still GIF without palettes of its own copies
  EXPECT_EQ(ChooseDrawPath(jpeg, facts), TDrawPath::Copy);
  facts.Palette.GifPalettes = true;
  EXPECT_EQ(ChooseDrawPath(jpeg, facts), TDrawPath::Jpeg);
  facts.PreservePixels = true;
  EXPECT_EQ(ChooseDrawPath(*bitmap, facts), TDrawPath::Draw);
  EXPECT_EQ(ChooseDrawPath(jpeg, facts), TDrawPath::Draw);
}

TEST(ViewCopy, ACopyIsExactAndCostsNoPixels) {
  const auto picture = test::IndexedBitmap(30, 20, 100);
  TBitmap view;
  TViewCopyState state;
  BuildViewCopy(view, *picture, {}, state);
  EXPECT_EQ(view.PixelFormat(), pf8bit);
  EXPECT_EQ(view.Palette(), picture->Palette());
  EXPECT_EQ(std::as_const(view).ScanLine(0), std::as_const(*picture).ScanLine(0)); // shared
  // Writing the copy leaves the picture alone.
  view.ScanLine(0)[0] = 99;
  EXPECT_EQ(picture->ScanLine(0)[0], 0);
  EXPECT_EQ(state.CopyReduction, 1);
}

TEST(ViewCopy, DrawingPutsThePictureOnTheBackgroundWithTransparency) {
  auto picture = test::PatternBitmap(6, 4);
  const TPixelColor key = picture->PixelColor(0, 3); // the bottom-left pixel's colour
  TBitmap view;
  TViewCopyState state;
  TViewCopySettings settings;
  settings.Path = TDrawPath::Draw;
  settings.Background = RgbColor(0, 0, 255);
  settings.Transparent = true;
  BuildViewCopy(view, *picture, settings, state);
  EXPECT_EQ(view.PixelColor(0, 3), 0x0000FFu);
  EXPECT_NE(key, 0x0000FFu);
  EXPECT_EQ(view.PixelColor(2, 1), picture->PixelColor(2, 1));
  settings.Transparent = false;
  BuildViewCopy(view, *picture, settings, state);
  EXPECT_EQ(view.PixelColor(0, 3), key);
  // A palette picture drawn without transparency keeps its format and indices.
  const auto indexed = test::IndexedBitmap(9, 5, 37);
  BuildViewCopy(view, *indexed, settings, state);
  EXPECT_EQ(view.PixelFormat(), pf8bit);
  EXPECT_EQ(view.ScanLine(4)[7], (7 + 12) % 37);
}

TEST(ViewCopy, ReducedCopiesAreHalvedFurtherOrRedrawn) {
  const auto picture = test::PatternBitmap(64, 48);
  TBitmap expected4;
  HalveWhileAbove(*picture, expected4, 48 / 4);
  TBitmap view;
  TViewCopyState state;
  TViewCopySettings settings = Redrawn(2);
  BuildViewCopy(view, *picture, settings, state);
  EXPECT_EQ(view.Width(), 32);
  EXPECT_EQ(state.LastReduction, 2);
  // Zooming out halves the copy already reduced.
  settings.Forced = false;
  settings.Reduction = 4;
  BuildViewCopy(view, *picture, settings, state);
  EXPECT_EQ(test::SizeAndPixels(view), test::SizeAndPixels(expected4));
  // Zooming back in needs the picture again.
  settings.Reduction = 2;
  BuildViewCopy(view, *picture, settings, state);
  EXPECT_EQ(view.Width(), 32);
  EXPECT_EQ(state.CopyReduction, 2);
  // A fitted copy is never halved: it is not the picture at any scale.
  TViewCopyState fitted;
  FitViewCopy(view, *picture, {50, 20}, clBlack, {}, true, fitted);
  EXPECT_TRUE(fitted.Fitted);
  fitted.LastReduction = 2;
  settings.Reduction = 4;
  BuildViewCopy(view, *picture, settings, fitted);
  EXPECT_EQ(test::SizeAndPixels(view), test::SizeAndPixels(expected4));
  // A picture too small for the reduction is shown at full size.
  const auto tiny = test::PatternBitmap(3, 3);
  BuildViewCopy(view, *tiny, settings, state);
  EXPECT_EQ(test::SizeAndPixels(view), test::SizeAndPixels(*tiny));
  EXPECT_EQ(state.CopyReduction, 1);
}

TEST(ViewCopy, ReducedAnimatedGifsShowTheCubePalette) {
  const auto picture = test::IndexedBitmap(16, 16, 20);
  TBitmap view;
  TViewCopyState state;
  TViewCopySettings settings = Redrawn(2);
  BuildViewCopy(view, *picture, settings, state);
  EXPECT_EQ(view.Palette(), picture->Palette());
  settings.Palette = {ikGif, true, false};
  BuildViewCopy(view, *picture, settings, state);
  EXPECT_EQ(view.Palette(), MakePalette236());
}

TEST(ViewCopy, FittingStretchesIntoTheWholeSize) {
  auto picture = test::PatternBitmap(4, 2);
  TBitmap view;
  TViewCopyState state;
  FitViewCopy(view, *picture, {8, 4}, clBlack, {}, true, state);
  ASSERT_EQ(view.Width(), 8);
  ASSERT_EQ(view.Height(), 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(view.PixelColor(x, y), picture->PixelColor(x / 2, y / 2)) << x << "," << y;
}

TEST(ViewCopy, JpegsAreTheirDecodedBitmapAtTheirOwnScale) {
  auto picture = test::PatternBitmap(64, 32);
  TJPEGImage source;
  source.Assign(picture.get());
  TMemoryStream file;
  source.SaveToStream(file);
  file.SetPosition(0);
  TJPEGImage jpeg;
  jpeg.LoadFromStream(file);
  jpeg.SetScale(jsQuarter);
  TBitmap view;
  TViewCopyState state;
  TViewCopySettings settings;
  settings.Path = TDrawPath::Jpeg;
  settings.Reduction = 4; // done by the decoder, not by halving
  BuildViewCopy(view, jpeg, settings, state);
  EXPECT_EQ(view.Width(), 16);
  EXPECT_EQ(view.Height(), 8);
  EXPECT_EQ(state.CopyReduction, 4);
}

} // namespace
} // namespace kestrel
