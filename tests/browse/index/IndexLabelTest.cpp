#include "browse/index/IndexLabel.h"

#include "support/TestApplication.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// Six pixels a character, so the break rules can be checked by numbers.
int SixEach(const QString& text) {
  return 6 * static_cast<int>(text.size());
}

TCaptionLines Break(const char* text, int limit) {
  return BreakCaption(text, limit, SixEach);
}

TEST(CaptionBreak, BreaksBeforeTheLastFittingSignThenCapitalThenInTheMiddle) {
  // "IMG_0001." is 54 pixels: under 60 the break goes before the ".".
  TCaptionLines lines = Break("IMG_0001.JPG", 60);
  EXPECT_EQ(lines.First, "IMG_0001");
  EXPECT_EQ(lines.Second, ".JPG");
  // Under 50 the "." does not fit: the "_" does.
  lines = Break("IMG_0001.JPG", 50);
  EXPECT_EQ(lines.First, "IMG");
  EXPECT_EQ(lines.Second, "_0001.JPG");
  lines = Break("HolidayPictures", 60);
  EXPECT_EQ(lines.First, "Holiday");
  EXPECT_EQ(lines.Second, "Pictures");
  // No sign and no capital that fits: the middle. "!" is never a break.
  lines = Break("wow!great!news", 40);
  EXPECT_EQ(lines.First, "wow!gre");
  EXPECT_EQ(lines.Second, "at!news");
  // A sign at the very start would leave the first line empty: the middle instead.
  lines = Break("_abcdefghij", 40);
  EXPECT_EQ(lines.First, "_abcd");
  EXPECT_EQ(lines.Second, "efghij");
}

TEST(CaptionBreak, TextNarrowerThanTheLimitStaysOnOneLine) {
  EXPECT_EQ(Break("short.jpg", 60).Second, "");
  EXPECT_EQ(Break("short.jpg", 60).First, "short.jpg");
  EXPECT_EQ(Break("x", 1).First, "x"); // nothing to break
  EXPECT_EQ(LongestName({"ab", "abc", "xyz", "a"}), "abc");
  EXPECT_EQ(LongestName({}), "");
}

TEST(IndexLabelBitmap, IsOnePixelLargerThanItsLinesAndTransparentInTheBackgroundColour) {
  test::TestApplication();
  TFont font;
  font.Size = 10;
  font.Color = clWhite;
  TIndexLabel label(0x204060, 1000);
  TBitmap& one = label.Make("IMG_0001.JPG", font, false, true);
  const int lineHeight = one.Canvas().TextHeight("Ag");
  const int oneWidth = one.Canvas().TextWidth("IMG_0001.JPG");
  EXPECT_EQ(one.Height(), lineHeight + 1);
  EXPECT_EQ(one.Width(), oneWidth + 1);
  EXPECT_EQ(one.Canvas().Pixel(0, 0), 0x204060);
  EXPECT_FALSE(one.Transparent());

  label.SetWrapLimit(oneWidth - 5);
  TBitmap& two = label.Make("IMG_0001.JPG", font, true, true);
  EXPECT_EQ(two.Height(), 2 * lineHeight + 1);
  EXPECT_EQ(two.Width(),
            std::max(two.Canvas().TextWidth("IMG_0001"), two.Canvas().TextWidth(".JPG")) + 1);
  EXPECT_TRUE(two.Transparent());
  EXPECT_EQ(two.TransparentColor(), 0x204060);
  // Headings never wrap.
  EXPECT_EQ(label.Make("IMG_0001.JPG", font, false, false).Height(), lineHeight + 1);
}

TEST(IndexLabelBitmap, AFontTheSystemLacksFallsBackToOneItHas) {
  test::TestApplication();
  TFont missing;
  missing.Name = "MS Sans Serif"; // not on this system: substituted
  missing.Size = 12;
  missing.Color = clWhite;
  TIndexLabel label(clBlack, 1000);
  TBitmap& bitmap = label.Make("Thumbnails", missing, false, false);
  int lit = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      lit += bitmap.Canvas().Pixel(x, y) == clWhite;
  EXPECT_GT(bitmap.Width(), 30);
  EXPECT_GT(lit, 20); // the text is drawn in some face
}

} // namespace
} // namespace kestrel
