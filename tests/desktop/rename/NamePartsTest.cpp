// A name as base, number and extension, the number counting up, and the names refused.

#include "desktop/rename/NameParts.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct TSplitCase {
  const char* Name;
  const char* Base;
  const char* Number;
  const char* Extension;
};

TEST(NameParts, SplitAndJoinGiveTheNameBack) {
  const TSplitCase cases[] = {{"photo012.jpg", "photo", "012", "jpg"},
                              {"readme", "readme", "", ""},
                              {"2024.trip.05.png", "2024.trip.", "05", "png"},
                              {"img.", "img", "", ""},
                              {".hidden7", "", "", "hidden7"},
                              {"123", "", "123", ""}};
  for (const TSplitCase& c : cases) {
    const TNameParts parts = TNameParts::Split(c.Name);
    EXPECT_EQ(parts.Base, c.Base) << c.Name;
    EXPECT_EQ(parts.Number, c.Number) << c.Name;
    EXPECT_EQ(parts.Extension, c.Extension) << c.Name;
  }
  EXPECT_EQ(TNameParts::Split("photo012.jpg").Joined(), "photo012.jpg");
  EXPECT_EQ(TNameParts::Split("readme").Joined(), "readme"); // no trailing dot
}

TEST(NameParts, TheNumberCountsOnInItsDigits) {
  EXPECT_EQ(NextNumber("012"), "013");
  EXPECT_EQ(NextNumber("009"), "010");
  EXPECT_EQ(NextNumber("099"), "100");
  EXPECT_EQ(NextNumber("99"), "100");
  EXPECT_EQ(NextNumber(""), "");
  // Far past any integer type.
  EXPECT_EQ(NextNumber(QString(40, '9')), "1" + QString(40, '0'));
  EXPECT_EQ(NextNumber("18446744073709551615"), "18446744073709551616");
}

TEST(NameParts, NamesThatCannotBeAreRefused) {
  for (const char* bad : {"", ".", "..", "a/b", "/"})
    EXPECT_FALSE(NameProblem(bad).isEmpty()) << bad;
  EXPECT_FALSE(NameProblem(QString("a") + QChar(0) + "b").isEmpty());
  for (const char* good : {"a.jpg", "..a", "a:b", "-x", "new\nline", "\\"})
    EXPECT_TRUE(NameProblem(good).isEmpty()) << good;
}

} // namespace
} // namespace kestrel
