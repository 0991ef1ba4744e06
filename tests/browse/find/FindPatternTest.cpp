#include "browse/find/FindPattern.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

bool Match(const char* pattern, const std::string& name) {
  return TFindPattern(QString::fromUtf8(pattern)).Matches(name);
}

TEST(FindPattern, IsAnchoredAtTheStartOfTheNameOnly) {
  EXPECT_FALSE(Match("*.*", "README"));
  EXPECT_TRUE(Match("*.*", "read.me"));
  EXPECT_TRUE(Match("IMG", "IMG_0001.JPG"));
  EXPECT_FALSE(Match("IMG", "XIMG_0001.JPG"));
  EXPECT_TRUE(Match("*.jpg", "x.jpgz")); // a name that begins with the pattern's text
  EXPECT_FALSE(Match("*.jpg", "x.jpeg"));
  EXPECT_TRUE(Match("", "anything"));
  EXPECT_TRUE(Match("", ""));
  EXPECT_FALSE(Match("a", ""));
}

TEST(FindPattern, AStarTriesEveryPlaceOfWhatFollowsIt) {
  EXPECT_TRUE(Match("*ab", "aab"));
  EXPECT_TRUE(Match("*aab", "aaab"));
  EXPECT_TRUE(Match("a*b*c", "aXbYbZc"));
  EXPECT_FALSE(Match("a*b*c", "acb"));
  EXPECT_TRUE(Match("*?x", "abx"));
  EXPECT_FALSE(Match("*??x", "ax"));
  EXPECT_TRUE(Match("**.*", "a.b"));
}

TEST(FindPattern, FoldsCaseAndCountsCharactersNotBytes) {
  EXPECT_TRUE(Match("img_*.jpg", "IMG_0001.JPG"));
  EXPECT_TRUE(Match("ÉTÉ", "été 2024.jpg"));
  EXPECT_TRUE(Match("?.jpg", "é.jpg"));
  EXPECT_FALSE(Match("??.jpg", "é.jpg"));
  // A byte that is not UTF-8 is one character, equal to no pattern character.
  EXPECT_TRUE(Match("a?b", "a\xFF"
                           "b"));
  EXPECT_FALSE(Match("a??b", "a\xFF"
                             "b"));
  EXPECT_TRUE(Match("*.jpg", "\xC3\x28photo.jpg"));
  EXPECT_FALSE(Match("\xC3\xA9", "\xC3")); // a cut sequence
}

TEST(FindPattern, ManyStarsTakePolynomialTime) {
  // Each star would multiply the work of a matcher that retries every star.
  std::string pattern;
  for (int i = 0; i < 200; ++i)
    pattern += "*a";
  const std::string longName(5000, 'a');
  EXPECT_FALSE(Match((pattern + "b").c_str(), longName));
  EXPECT_TRUE(Match((pattern + "b").c_str(), longName + "b"));
  EXPECT_FALSE(Match(pattern.c_str(), std::string(199, 'a')));
}

} // namespace
} // namespace kestrel
