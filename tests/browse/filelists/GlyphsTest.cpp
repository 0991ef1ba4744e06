#include "browse/filelists/Glyphs.h"

#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

const TGlyph kAll[] = {TGlyph::Floppy,       TGlyph::Hard,          TGlyph::Network,
                       TGlyph::CDRom,        TGlyph::Ram,           TGlyph::OpenFolder,
                       TGlyph::ClosedFolder, TGlyph::CurrentFolder, TGlyph::Executable,
                       TGlyph::UnknownFile};

TEST(Glyphs, EachIsSixteenSquareWithItsBottomLeftColourTransparent) {
  test::TestApplication();
  for (TGlyph glyph : kAll) {
    const QImage drawn = GlyphImage(glyph);
    ASSERT_EQ(drawn.size(), QSize(16, 16));
    const QRgb key = drawn.pixel(0, 15);
    const QImage shown = GlyphPixmap(glyph).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), QSize(16, 16));
    int opaque = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const bool isKey = drawn.pixel(x, y) == key;
        EXPECT_EQ(qAlpha(shown.pixel(x, y)) == 0, isKey) << int(glyph) << " at " << x << "," << y;
        opaque += isKey ? 0 : 1;
      }
    }
    EXPECT_GT(opaque, 30) << int(glyph);  // a picture, not a speck
    EXPECT_LT(opaque, 256) << int(glyph); // with a transparent surround
  }
  EXPECT_TRUE(GlyphPixmap(TGlyph::None).isNull());
  EXPECT_EQ(TFolderBitmap(TGlyph::OpenFolder).size(), QSize(16, 16));
}

TEST(Glyphs, AllDiffer) {
  std::vector<QImage> images;
  for (TGlyph glyph : kAll)
    images.push_back(GlyphImage(glyph));
  for (size_t i = 0; i < images.size(); ++i)
    for (size_t j = i + 1; j < images.size(); ++j)
      EXPECT_NE(images[i], images[j]) << i << " " << j;
}

} // namespace
} // namespace kestrel
