// The editing tools' arithmetic: pen width steps, crop areas dragged either way and outside the
// picture, the adjust zones (corners before edges, the tolerance by pen width and zoom), and the
// scroll position that keeps the view's centre through every zoom change.

#include "processing/editing/ToolGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

TEST(PenWidth, StepsRunOneToSixteenAndSaturateAtBothEnds) {
  std::vector<int> widths, samples;
  for (int step = 0; step < kPenWidthSteps; ++step) {
    widths.push_back(PenWidthOfStep(step));
    samples.push_back(PenSampleSize(step));
  }
  EXPECT_EQ(widths, (std::vector<int>{1, 2, 4, 8, 12, 16}));
  EXPECT_EQ(samples, (std::vector<int>{4, 6, 8, 10, 12, 16}));
  int step = 0;
  for (int i = 0; i < 9; ++i)
    step = NextPenStep(step, true);
  EXPECT_EQ(PenWidthOfStep(step), 16);
  for (int i = 0; i < 9; ++i)
    step = NextPenStep(step, false);
  EXPECT_EQ(PenWidthOfStep(step), 1);
  EXPECT_EQ(PenWidthOfStep(-3), 1);
  EXPECT_EQ(PenWidthOfStep(99), 16);
}

TEST(CropArea, DraggedBackwardsGivesTheSameAreaAndIsClippedToThePicture) {
  EXPECT_EQ(CropArea({10, 20, 30, 40}, 100, 100), (TRect{10, 20, 31, 41}));
  EXPECT_EQ(CropArea({30, 40, 10, 20}, 100, 100), (TRect{10, 20, 31, 41}));
  EXPECT_EQ(CropArea({30, 20, 10, 40}, 100, 100), (TRect{10, 20, 31, 41}));
  EXPECT_EQ(CropArea({-5, 90, 50, 200}, 100, 100), (TRect{0, 90, 51, 100}));
  // Wholly outside, or at the far edge of the int range: nothing, and no overflow.
  EXPECT_TRUE(CropArea({150, 10, 170, 20}, 100, 100).IsEmpty());
  EXPECT_TRUE(CropArea({-30, -30, -1, -1}, 100, 100).IsEmpty());
  EXPECT_EQ(CropArea({0, 0, INT32_MAX, INT32_MAX}, 7, 5), (TRect{0, 0, 7, 5}));
  EXPECT_EQ(ShapeSize({30, 40, 10, 20}), (TSize{21, 21}));
}

TEST(AdjustZones, ToleranceFollowsPenWidthAndZoom) {
  EXPECT_EQ(AdjustTolerance(8, 1, false), 6);
  EXPECT_EQ(AdjustTolerance(8, 2, false), 5);
  EXPECT_EQ(AdjustTolerance(8, 4, false), 4);
  EXPECT_EQ(AdjustTolerance(8, 1, true), 2);
  EXPECT_EQ(AdjustTolerance(1, 16, false), 0);
}

TEST(AdjustZones, CornersWinOverEdgesAndTheToleranceBoundsEachZone) {
  const TCorners r{20, 10, 60, 50};
  const int t = 3;
  EXPECT_EQ(AdjustZoneAt(r, {40, 30}, t), TAdjustZone::Inside);
  EXPECT_EQ(AdjustZoneAt(r, {17, 30}, t), TAdjustZone::Left);
  EXPECT_EQ(AdjustZoneAt(r, {16, 30}, t), TAdjustZone::Outside);
  EXPECT_EQ(AdjustZoneAt(r, {40, 13}, t), TAdjustZone::Top);
  EXPECT_EQ(AdjustZoneAt(r, {40, 14}, t), TAdjustZone::Inside);
  EXPECT_EQ(AdjustZoneAt(r, {63, 30}, t), TAdjustZone::Right);
  EXPECT_EQ(AdjustZoneAt(r, {40, 47}, t), TAdjustZone::Bottom);
  // Points within reach of an edge and a corner's other edge are the corner.
  EXPECT_EQ(AdjustZoneAt(r, {22, 12}, t), TAdjustZone::TopLeft);
  EXPECT_EQ(AdjustZoneAt(r, {63, 7}, t), TAdjustZone::TopRight);
  EXPECT_EQ(AdjustZoneAt(r, {58, 53}, t), TAdjustZone::BottomRight);
  EXPECT_EQ(AdjustZoneAt(r, {17, 48}, t), TAdjustZone::BottomLeft);
  // The corners may come in either order.
  EXPECT_EQ(AdjustZoneAt({60, 50, 20, 10}, {22, 12}, t), TAdjustZone::TopLeft);
}

TEST(AdjustZones, DraggingMovesOrResizesAndNormalises) {
  const TCorners r{20, 10, 60, 50};
  EXPECT_EQ(AdjustedCorners(r, TAdjustZone::Inside, 5, -3), (TCorners{25, 7, 65, 47}));
  EXPECT_EQ(AdjustedCorners(r, TAdjustZone::Left, 10, 99), (TCorners{30, 10, 60, 50}));
  EXPECT_EQ(AdjustedCorners(r, TAdjustZone::BottomRight, 4, 6), (TCorners{20, 10, 64, 56}));
  // Past the other edge, the rectangle turns round and stays normalised.
  EXPECT_EQ(AdjustedCorners(r, TAdjustZone::Left, 50, 0), (TCorners{60, 10, 70, 50}));
  EXPECT_EQ(AdjustedCorners(r, TAdjustZone::Outside, 5, 5), r);
  // A line drawn up and to the right stays so when its top end is dragged.
  const TCorners line{20, 50, 60, 10};
  EXPECT_EQ(WithOrientationOf(line, AdjustedCorners(line, TAdjustZone::TopRight, 5, -5)),
            (TCorners{20, 50, 65, 5}));
}

TEST(ZoomScroll, EveryZoomChangeKeepsThePictureAtTheCentre) {
  const int client = 400, picture = 1000;
  for (int from = 0; from <= 4; ++from)
    for (int to = 0; to <= 4; ++to) {
      const int oldZoom = ZoomFactorOfStep(from), newZoom = ZoomFactorOfStep(to);
      const int oldRange = picture * oldZoom, newRange = picture * newZoom;
      // The centre of the view over picture pixel 600.
      const int oldPosition = 600 * oldZoom - client / 2;
      if (oldPosition < 0) continue;
      const int position = ZoomScrollPosition(oldRange, oldPosition, newRange, client, to - from);
      const double centre = (position + client / 2.0) / newZoom;
      EXPECT_NEAR(centre, 600, 1.0) << from << " -> " << to;
    }
  EXPECT_EQ(ZoomScrollPosition(0, 10, 100, 50, 1), 0);
  EXPECT_EQ(ZoomStepOfFactor(8), 3);
}

} // namespace
} // namespace kestrel
