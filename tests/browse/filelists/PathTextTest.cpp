#include "browse/filelists/PathText.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

int Length(const QString& text) {
  return int(text.size());
}

TEST(PathText, LeadingFoldersGiveWayUntilThePathFits) {
  const QString path = "/home/ann/pictures/trip/day1";
  EXPECT_EQ(MinimizeName(path, Length, 100), path);
  EXPECT_EQ(MinimizeName(path, Length, 28), path);
  EXPECT_EQ(MinimizeName(path, Length, 27), "/.../ann/pictures/trip/day1");
  EXPECT_EQ(MinimizeName(path, Length, 26), "/.../pictures/trip/day1");
  EXPECT_EQ(MinimizeName(path, Length, 22), "/.../trip/day1");
  EXPECT_EQ(MinimizeName(path, Length, 13), "/.../day1");
  EXPECT_EQ(MinimizeName(path, Length, 8), ".../day1");
  EXPECT_EQ(MinimizeName(path, Length, 2), ".../day1"); // as short as it gets
  EXPECT_EQ(MinimizeName("/", Length, 0), "/");
}

TEST(PathText, JoinAddsOneSeparator) {
  EXPECT_EQ(JoinPath("/", "a"), "/a");
  EXPECT_EQ(JoinPath("/x", "a"), "/x/a");
  EXPECT_EQ(JoinPath("/x/", "a"), "/x/a");
}

} // namespace
} // namespace kestrel
