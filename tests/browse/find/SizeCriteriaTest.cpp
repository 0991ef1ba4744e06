#include "browse/find/SizeCriteria.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(SizeCriteria, AReferenceFileGivesItsKilobyteOrItsExactSize) {
  TSizeCriteria size;
  size.SetReference(10000, true);
  EXPECT_EQ(size.Bounds.Minimum, 10000);
  EXPECT_EQ(size.Bounds.Maximum, 10000);
  size.SetReference(10000, false);
  EXPECT_EQ(size.AtLeast, "9");
  EXPECT_EQ(size.AtMost, "10");
  EXPECT_EQ(size.Bounds.Minimum, 9216);
  EXPECT_EQ(size.Bounds.Maximum, 10240);
  EXPECT_TRUE(size.Bounds.Contains(10240));
  EXPECT_FALSE(size.Bounds.Contains(9215));
  // Sizes beyond 32 bits.
  size.SetReference(5'000'000'000, true);
  EXPECT_TRUE(size.Bounds.Contains(5'000'000'000));
}

TEST(SizeCriteria, AtMostNeverStaysBelowAtLeast) {
  TSizeCriteria size;
  size.AtLeast = "8";
  ASSERT_TRUE(size.AtLeastChanged());
  size.AtMost = "5";
  ASSERT_TRUE(size.AtMostChanged());
  EXPECT_EQ(size.AtMost, "8");
  EXPECT_EQ(size.Bounds.Minimum, 8192);
  EXPECT_EQ(size.Bounds.Maximum, 8192);
  // Raising "At Least" above "At most" raises the maximum with the field.
  size.AtLeast = "20";
  ASSERT_TRUE(size.AtLeastChanged());
  EXPECT_EQ(size.AtMost, "20");
  EXPECT_EQ(size.Bounds.Maximum, 20480);
  // An empty field is refused; the bounds stay.
  size.AtMost = "";
  EXPECT_FALSE(size.AtMostChanged());
  EXPECT_EQ(size.Bounds.Maximum, 20480);
  // With the exact size nothing follows the fields.
  size.SetReference(3000, true);
  size.AtLeast = "1";
  EXPECT_TRUE(size.AtLeastChanged());
  EXPECT_EQ(size.Bounds.Minimum, 3000);
}

} // namespace
} // namespace kestrel
