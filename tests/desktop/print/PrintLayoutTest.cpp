// Where a picture lands on the page and in the page diagram.

#include "desktop/print/PrintLayout.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

constexpr TSize kPage{4800, 6000};
constexpr TSize kPicture{1000, 500};

TEST(PrintLayout, FitAndCentreOfAPictureOnALetterPageAt600Dots) {
  EXPECT_EQ(FitPercentage(kPicture, kPage), 480);
  const TPrintPlacement at100 = PlacePicture(kPicture, kPage, 100, TPrintPosition::Center);
  EXPECT_EQ(at100.Printed, kPicture);
  EXPECT_EQ(at100.Offset, (TPoint{1900, 2750}));
  const TPrintPlacement atFit = PlacePicture(kPicture, kPage, 480, TPrintPosition::Center);
  EXPECT_EQ(atFit.Printed, (TSize{4800, 2400}));
  EXPECT_EQ(atFit.Offset, (TPoint{0, 1800}));
  // 119.8 percent would fit; 120 would cut a dot off each side.
  EXPECT_EQ(FitPercentage(kPicture, {1198, 1712}), 119);
}

TEST(PrintLayout, SevenPositions) {
  const std::pair<TPrintPosition, TPoint> expected[] = {
      {TPrintPosition::Center, {1900, 2750}},      {TPrintPosition::TopLeft, {0, 0}},
      {TPrintPosition::TopRight, {3800, 0}},       {TPrintPosition::BottomLeft, {0, 5500}},
      {TPrintPosition::BottomRight, {3800, 5500}}, {TPrintPosition::TopCenter, {1900, 0}},
      {TPrintPosition::BottomCenter, {1900, 5500}}};
  for (const auto& [position, offset] : expected) {
    EXPECT_EQ(PlacePicture(kPicture, kPage, 100, position).Offset, offset)
        << PrintPositionName(position).toStdString();
    EXPECT_EQ(PrintPositionNamed(PrintPositionName(position)), position);
  }
  EXPECT_FALSE(PrintPositionNamed("middle"));
  // Larger than the page: the odd overflow halves toward zero, not down.
  EXPECT_EQ(PlaceAt(TPrintPosition::Center, {4800, 6000}, {4801, 6003}), (TPoint{0, -1}));
}

TEST(PrintLayout, HugeAndTinyPicturesStayPrintable) {
  // The fit of a picture 300 times the page rounds to 0: it is held at 1.
  EXPECT_EQ(FitPercentage({30000, 20000}, {100, 100}), 1);
  EXPECT_EQ(FitPercentage({30000, 20000}, kPage), 16);
  EXPECT_EQ(FitPercentage({1, 1}, kPage), 480000);
  EXPECT_EQ(PrintedSize({1, 1}, 1), (TSize{1, 1}));
  EXPECT_EQ(PrintedSize({30000, 20000}, 1), (TSize{300, 200}));
}

TEST(PrintLayout, DiagramFollowsThePageAspect) {
  EXPECT_EQ(DiagramSize(320, kPage, false), (TSize{160, 200}));
  EXPECT_EQ(DiagramSize(320, {6000, 4800}, true), (TSize{200, 160}));
  // The shape is the picture's share of the page height, with the picture's own aspect.
  EXPECT_EQ(ShapeSize({160, 200}, kPage, kPicture, 480), (TSize{160, 80}));
  EXPECT_EQ(ShapeSize({160, 200}, kPage, kPicture, 100), (TSize{34, 17}));
  EXPECT_EQ(ShapeSize({160, 200}, kPage, {1, 1}, 1), (TSize{1, 1}));
}

} // namespace
} // namespace kestrel
