#include "imaging/core/ImageLimits.h"

#include <gtest/gtest.h>

using namespace kestrel;

TEST(ImageLimits, StrideIsPaddedToFourBytes) {
  EXPECT_EQ(ImageLimits::PaddedStride(1, 1), 4u);
  EXPECT_EQ(ImageLimits::PaddedStride(3, 24), 12u);
  EXPECT_EQ(ImageLimits::PaddedStride(33, 1), 8u);
  EXPECT_EQ(ImageLimits::PaddedStride(5, 4), 4u);
}

TEST(ImageLimits, RefusesEmptyHugeAndOverflowingSizes) {
  EXPECT_FALSE(ImageLimits::Fits(0, 10, 24));
  EXPECT_FALSE(ImageLimits::Fits(10, -1, 24));
  EXPECT_FALSE(ImageLimits::Fits(ImageLimits::kMaxDimension + 1, 1, 8));
  EXPECT_FALSE(ImageLimits::Fits(100000, 100000, 32)); // 40 GB
  EXPECT_TRUE(ImageLimits::Fits(4000, 3000, 24));
  EXPECT_FALSE(CheckedMul(UINT64_MAX / 2, 3).has_value());
  EXPECT_FALSE(CheckedAdd(UINT64_MAX, 1).has_value());
}

TEST(ImageLimits, LimitIsConfigurableAndResets) {
  ImageLimits::SetMaxBytes(1000);
  EXPECT_TRUE(ImageLimits::Fits(10, 10, 24));   // 32 * 10 = 320 bytes
  EXPECT_FALSE(ImageLimits::Fits(100, 10, 24)); // 3000 bytes
  ImageLimits::SetMaxBytes(0);
  EXPECT_EQ(ImageLimits::MaxBytes(), ImageLimits::kDefaultMaxBytes);
}
