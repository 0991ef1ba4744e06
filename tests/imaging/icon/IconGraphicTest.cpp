// The icon picture of the image library: icons read as true colour on black, pictures written as
// opaque icons of the system size, and pictures of the library assigned to icons.

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"
#include "imaging/icon/Icon.h"
#include "imaging/icon/IconGraphic.h"
#include "imaging/metafile/Metafile.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::DataPath;
using test::PatternColor;

// A true-colour picture whose pixels follow the test pattern.
std::unique_ptr<TDibGraphic> Pattern(int width, int height) {
  auto picture = std::make_unique<TDibGraphic>();
  picture->NewImage(width, height, ifTrueColor);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture->SetPixel(x, y, PatternColor(x, y));
  return picture;
}

TEST(IconGraphic, ATransparentIconReadsAsTrueColourOnBlack) {
  TIconGraphic picture;
  picture.LoadFromFile(DataPath("icon/multi.ico"));
  EXPECT_EQ(picture.Width(), 48);
  EXPECT_EQ(picture.Height(), 48);
  EXPECT_EQ(picture.ImageFormat(), ifTrueColor);
  TIcon icon;
  icon.LoadFromFile(DataPath("icon/multi.ico"));
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const QRgb p = icon.Image().pixel(x, y);
      ASSERT_EQ(picture.Pixel(x, y), qAlpha(p) == 0 ? 0u : (p & 0xFFFFFF)) << x << "," << y;
    }
  }
  EXPECT_EQ(picture.Pixel(0, 0), 0u);
}

TEST(IconGraphic, APictureIsWrittenAsAnOpaqueIconOfTheSystemSize) {
  EXPECT_EQ(SystemIconSize(), (TSize{32, 32}));
  for (const auto& [width, height] : {std::pair{100, 80}, std::pair{16, 16}}) {
    TIconGraphic picture;
    picture.Assign(Pattern(width, height).get());
    TMemoryStream stream;
    picture.SaveToStream(stream);
    stream.SetPosition(0);
    TIcon icon;
    icon.LoadFromStream(stream);
    ASSERT_EQ(icon.Width(), 32);
    ASSERT_EQ(icon.Height(), 32);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const QRgb p = icon.Image().pixel(x, y);
        ASSERT_EQ(qAlpha(p), 255);
        // The top-left corner of a larger picture; a smaller one leaves black around it.
        const bool inside = x < width && y < height;
        ASSERT_EQ(p & 0xFFFFFF, inside ? PatternColor(x, y) : 0u) << x << "," << y;
      }
    }
  }
}

TEST(IconGraphic, PicturesOfTheLibraryAssignToIcons) {
  const auto plain = Pattern(40, 20);
  TIcon icon;
  icon.Assign(plain.get());
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_EQ(icon.Image().pixel(3, 4) & 0xFFFFFF, PatternColor(3, 4));
  EXPECT_EQ(icon.Image().pixel(3, 25) & 0xFFFFFF, 0u);

  TIconGraphic read;
  read.LoadFromFile(DataPath("icon/pal4-mask.ico"));
  TIcon again;
  again.Assign(&read);
  EXPECT_EQ(again.Image().pixel(5, 5), 0xFF0000FFu);
  EXPECT_EQ(again.Image().pixel(21, 21), 0xFFFF0000u);
  EXPECT_EQ(again.Image().pixel(0, 0), 0xFF000000u); // transparent parts became black

  // Targets nobody handles still raise the library's error.
  TMetafile metafile;
  EXPECT_THROW(metafile.Assign(plain.get()), EZeduziziError);
}

TEST(IconGraphic, DamagedIconsRaise) {
  TIconGraphic picture;
  std::vector<uint8_t> bytes = test::ReadFileBytes(DataPath("icon/pal1.ico"));
  bytes.resize(40);
  TMemoryStream stream(bytes);
  EXPECT_THROW(picture.LoadFromStream(stream), EInvalidGraphic);
  EXPECT_TRUE(picture.Empty());
}

} // namespace
} // namespace kestrel
