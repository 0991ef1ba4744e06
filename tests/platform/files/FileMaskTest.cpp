#include "platform/files/FileMask.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(FileMask, WildcardsMatchWithoutRegardToCase) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*.jpg", "holiday.jpg", true},
      {"*.jpg", "HOLIDAY.JPG", true},
      {"*.jpg", "holiday.jpeg", false},
      {"*.jpg", "jpg", false},
      {"*.jpg", ".jpg", true},
      {"*.*", "README", true},
      {"*.*", ".hidden", true},
      {"*", "", true},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a?c",
       "a\xc3\xa4"
       "c",
       true},
      {"*jp*", "a.jpeg", true},
      {"*a*b*c", "xxaxxbxxc", true},
      {"*a*b*c", "xxaxxcxxb", false},
      {"photo??.png", "photo01.PNG", true},
      {"photo??.png", "photo1.png", false},
      {"*.tar.gz", "x.TAR.GZ", true},
      {"exact", "Exact", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TFileMask::Match(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST(FileMask, CountsEveryPatternANameMatches) {
  const TFileMask mask("*.jpg;*.jpeg;;*g;");
  EXPECT_FALSE(mask.Empty());
  EXPECT_EQ(mask.Matches("a.jpg"), 2);  // *.jpg and *g
  EXPECT_EQ(mask.Matches("a.jpeg"), 2); // *.jpeg and *g
  EXPECT_EQ(mask.Matches("a.png"), 1);
  EXPECT_EQ(mask.Matches("a.bmp"), 0);
  EXPECT_TRUE(TFileMask(";;").Empty());
}

} // namespace
} // namespace kestrel
