#include "app/view/ViewGeometry.h"
#include "app/view/ImageKind.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(FitSize, KeepsTheAspectRatioAndFillsTheTighterSide) {
  EXPECT_EQ(FitSize(400, 300, 0, 4000, 1000), (TSize{400, 100}));
  // trunc(300 x 1000 / 4000) = 75
  EXPECT_EQ(FitSize(400, 300, 0, 1000, 4000), (TSize{75, 300}));
  // A small picture is enlarged to the shorter side of the box.
  EXPECT_EQ(FitSize(400, 300, 0, 10, 10), (TSize{300, 300}));
  // The margin comes off both sides first: 395 x 295 for a 2:1 picture gives 395 x 197.
  EXPECT_EQ(FitSize(400, 300, 5, 2000, 1000), (TSize{395, 197}));
  // Equal ratios take the width: b = trunc(a x h / w).
  EXPECT_EQ(FitSize(400, 300, 0, 800, 600), (TSize{400, 300}));
}

TEST(FitSize, NothingWithoutAnAreaOnEitherSide) {
  EXPECT_FALSE(FitSize(5, 300, 5, 100, 100));
  EXPECT_FALSE(FitSize(400, 0, 0, 100, 100));
  EXPECT_FALSE(FitSize(400, 300, 0, 0, 100));
  EXPECT_FALSE(FitSize(400, 300, 0, 100, -1));
}

TEST(ScaleList, MagnificationAndReductionOfEachEntry) {
  const int magnification[kScaleCount] = {16, 8, 4, 2, 1, 1, 1, 1};
  const int reduction[kScaleCount] = {1, 1, 1, 1, 1, 2, 4, 8};
  for (int i = 0; i < kScaleCount; ++i) {
    EXPECT_EQ(MagnificationOf(i), magnification[i]) << i;
    EXPECT_EQ(ReductionOf(i), reduction[i]) << i;
  }
  EXPECT_EQ(MagnificationOf(-1), 1);
  EXPECT_EQ(ReductionOf(8), 1);
}

TEST(ScaleList, ZoomStepsStopAtTheEndsAndEditedPicturesAreNeverReduced) {
  EXPECT_EQ(ZoomedScaleIndex(0, TZoomDirection::In, ikBmp), 0);
  EXPECT_EQ(ZoomedScaleIndex(7, TZoomDirection::Out, ikBmp), 7);
  EXPECT_EQ(ZoomedScaleIndex(4, TZoomDirection::Out, ikBmp), 5);
  EXPECT_EQ(ZoomedScaleIndex(4, TZoomDirection::In, ikJpeg), 3);
  for (int kind : {ikEdited, ikCrop}) {
    EXPECT_EQ(ZoomedScaleIndex(4, TZoomDirection::Out, kind), 4);
    EXPECT_EQ(ZoomedScaleIndex(4, TZoomDirection::In, kind), 3);
  }
}

TEST(FitImage, TheClientHoldsThePictureTheFileViewAndTheMargin) {
  TFitImageLayout layout;
  layout.FileViewWidth = 130;
  // A low picture beside the file view still gets 200 pixels of height.
  EXPECT_EQ(FitImageClientSize(80, 50, layout),
            (TSize{130 + 80 + kFrameMargin + 2, 200 + kFrameMargin}));
  EXPECT_EQ(FitImageClientSize(80, 300, layout).Height, kFrameMargin + 300 + 2);
  layout.FileViewShown = false;
  EXPECT_EQ(FitImageClientSize(80, 50, layout), (TSize{80 + kFrameMargin + 2, kFrameMargin + 52}));
}

TEST(Placement, CentresASmallPictureAndScrollsALargeOne) {
  const TPlacement small = PlaceImage({400, 300}, {101, 50}, 17, 15, true);
  EXPECT_FALSE(small.HorizontalBar || small.VerticalBar);
  EXPECT_EQ(small.Offset, (TPoint{149, 125})); // (400 - 101) div 2
  // Wider than the client: the horizontal bar takes height, the picture starts at the left.
  const TPlacement wide = PlaceImage({400, 300}, {1000, 100}, 17, 15, true);
  EXPECT_TRUE(wide.HorizontalBar);
  EXPECT_FALSE(wide.VerticalBar);
  EXPECT_EQ(wide.Free, (TSize{400, 285}));
  EXPECT_EQ(wide.Offset, (TPoint{0, 92}));
  // The horizontal bar makes a picture that just fitted in height need the vertical bar too.
  const TPlacement both = PlaceImage({400, 300}, {1000, 295}, 17, 15, true);
  EXPECT_TRUE(both.HorizontalBar && both.VerticalBar);
  EXPECT_EQ(both.Free, (TSize{383, 285}));
  // The fit modes have no bars: a large picture is clipped, never offset below 0.
  const TPlacement fitted = PlaceImage({400, 300}, {1000, 295}, 17, 15, false);
  EXPECT_FALSE(fitted.HorizontalBar || fitted.VerticalBar);
  EXPECT_EQ(fitted.Free, (TSize{400, 300}));
  EXPECT_EQ(fitted.Offset, (TPoint{0, 2}));
}

TEST(PaintClip, OnlyTheVisibleWholeSourcePixelsAreDrawn) {
  // Box fits: everything.
  TPaintSpan all = ClipPaintSpan(20, 100, 400, 1, 100);
  EXPECT_EQ(all.SourceStart, 0);
  EXPECT_EQ(all.SourceLength, 100);
  EXPECT_EQ(all.DestLength, 100);
  // Scrolled 1000 pixels into a 6000-pixel picture with 800 visible.
  TPaintSpan at1 = ClipPaintSpan(-1000, 6000, 800, 1, 6000);
  EXPECT_EQ(at1.SourceStart, 1000);
  EXPECT_EQ(at1.SourceLength, 800);
  EXPECT_EQ(at1.DestStart, 1000);
  // At 4:1, scrolled 1001 pixels: source 250 (truncated) to 451 (1801 / 4 rounded up).
  TPaintSpan at4 = ClipPaintSpan(-1001, 24000, 800, 4, 6000);
  EXPECT_EQ(at4.SourceStart, 250);
  EXPECT_EQ(at4.SourceLength, 201);
  EXPECT_EQ(at4.DestStart, 1000);
  EXPECT_EQ(at4.DestLength, 804);
  // Scrolled to the end: the span stops at the picture.
  TPaintSpan end = ClipPaintSpan(-5300, 6000, 800, 1, 6000);
  EXPECT_EQ(end.SourceStart + end.SourceLength, 6000);
}

} // namespace
} // namespace kestrel
