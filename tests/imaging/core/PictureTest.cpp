// The picture container, its registry of formats, and the clipboard.

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Clipboard.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Stream.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::PatternBitmap;
using test::PixelsOf;

class TFirstTestGraphic : public TBitmap {
public:
  const char* ClassName() const override { return "TFirstTestGraphic"; }
};
class TSecondTestGraphic : public TBitmap {
public:
  const char* ClassName() const override { return "TSecondTestGraphic"; }
};

TEST(PictureRegistry, BitmapsComeFirstAndFormatsKeepTheirOrder) {
  TPicture::RegisterFileFormat<TFirstTestGraphic>("tsa", "Test A");
  TPicture::RegisterFileFormat<TSecondTestGraphic>(".TSB", "Test B");
  TPicture::RegisterFileFormat<TFirstTestGraphic>("tsc", "Test C");
  const auto formats = TPicture::FileFormats();
  ASSERT_GE(formats.size(), 4u);
  EXPECT_EQ(formats.front().Extension, "bmp");
  EXPECT_EQ(formats.front().Description, "Bitmaps");
  EXPECT_EQ(formats[formats.size() - 2].Extension, "tsb");

  const std::string filter = TPicture::GraphicFilter();
  EXPECT_EQ(filter.rfind("All (*.bmp;", 0), 0u) << filter;
  EXPECT_NE(filter.find(";*.tsa;*.tsb;*.tsc)|*.bmp;"), std::string::npos) << filter;
  EXPECT_NE(filter.find("|Bitmaps (*.bmp)|*.bmp|"), std::string::npos) << filter;
  const std::string tail = "|Test A (*.tsa)|*.tsa|Test B (*.tsb)|*.tsb|Test C (*.tsc)|*.tsc";
  EXPECT_EQ(filter.substr(filter.size() - tail.size()), tail);
  const std::string mask = TPicture::GraphicFileMask();
  EXPECT_TRUE(mask.ends_with(";*.tsa;*.tsb;*.tsc")) << mask;

  TPicture::RegisterFileFormat<TSecondTestGraphic>("tsa", "Test A again");
  const auto again = TPicture::FileFormats();
  EXPECT_EQ(again.size(), formats.size()) << "registering an extension again replaces it";
  EXPECT_EQ(again[again.size() - 3].Description, "Test A again");

  for (const char* key : {"tsb", ".TSB", "dir.x/name.Tsb"}) {
    const auto f = TPicture::FindFileFormat(key);
    ASSERT_TRUE(f) << key;
    EXPECT_EQ(f->Class, std::type_index(typeid(TSecondTestGraphic)));
  }
  TPicture::UnregisterGraphicClass(typeid(TFirstTestGraphic));
  EXPECT_FALSE(TPicture::FindFileFormat("tsc"));
  EXPECT_TRUE(TPicture::FindFileFormat("tsa")) << "now a TSecondTestGraphic extension";
  TPicture::UnregisterGraphicClass(typeid(TSecondTestGraphic));
  EXPECT_EQ(TPicture::FileFormats().size(), formats.size() - 3);
}

TEST(Picture, LoadsByExtensionAndKeepsItsGraphicWhenLoadingFails) {
  QTemporaryDir dir;
  const std::string good = dir.filePath("good.BMP").toStdString();
  PatternBitmap(5, 3, pf8bit)->SaveToFile(good);
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TPicture&) { ++changes; };
  picture.LoadFromFile(good);
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 3);
  EXPECT_EQ(changes, 1);

  const std::string bad = dir.filePath("bad.bmp").toStdString();
  TMemoryStream(std::vector<uint8_t>{'B', 'M', 1, 2}).SaveToFile(bad);
  EXPECT_THROW(picture.LoadFromFile(bad), EInvalidGraphic);
  EXPECT_EQ(picture.Width(), 5) << "a failed load leaves the graphic";
  try {
    picture.LoadFromFile(dir.filePath("note.xyz").toStdString());
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_THROW(picture.LoadFromFile(dir.filePath("noextension").toStdString()), EInvalidGraphic);

  picture.Bitmap().Canvas().SetPixel(0, 0, clBlack);
  EXPECT_EQ(changes, 2) << "changes of the graphic reach the picture";
  TPicture empty;
  EXPECT_THROW(empty.SaveToFile(good), EInvalidGraphic);
}

TEST(Picture, AssignmentCopiesTheGraphicAndBitmapReplacesOtherClasses) {
  TPicture a;
  a.Bitmap().Assign(PatternBitmap(4, 4, pf24bit).get());
  TPicture b;
  b.Assign(&a);
  ASSERT_NE(b.Graphic(), a.Graphic());
  EXPECT_EQ(PixelsOf(b.Bitmap()), PixelsOf(a.Bitmap()));
  TBitmap target;
  target.Assign(&a); // a picture hands its graphic over
  EXPECT_EQ(PixelsOf(target), PixelsOf(a.Bitmap()));

  b.SetGraphic(std::make_unique<TDibGraphic>());
  TBitmap& bitmap = b.Bitmap();
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(b.Graphic(), &bitmap);
  b.Assign(nullptr);
  EXPECT_EQ(b.Graphic(), nullptr);
}

TEST(Picture, ClipboardBitmapsAreReadByTheImageLibrary) {
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_BITMAP));
  TClipboardData data;
  data.Bitmap = PatternBitmap(3, 3, pf24bit);
  TPicture picture;
  picture.LoadFromClipboardFormat(CF_BITMAP, data, {});
  ASSERT_NE(dynamic_cast<TDibGraphic*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_THROW(picture.LoadFromClipboardFormat(0x7777, data, {}), EInvalidGraphic);
}

TEST(Clipboard, BitmapsAndNamedFormatsRoundTrip) {
  TClipboard& clipboard = TClipboard::Instance();
  const TClipboardFormat gif = TClipboard::RegisterFormat("GIF Image", "image/gif");
  EXPECT_EQ(TClipboard::RegisterFormat("GIF Image", "image/gif"), gif);
  EXPECT_NE(gif, CF_BITMAP);

  auto bitmap = PatternBitmap(7, 5, pf24bit);
  {
    TClipboardSession session(clipboard);
    clipboard.Assign(bitmap.get());
    TClipboardData bytes;
    bytes.Bytes = {'G', 'I', 'F', '8', '9', 'a'};
    clipboard.SetAsHandle(gif, bytes);
  }
  ASSERT_TRUE(clipboard.HasFormat(CF_BITMAP));
  ASSERT_TRUE(clipboard.HasFormat(gif)) << "both formats went into one clipboard entry";
  EXPECT_EQ(clipboard.GetAsHandle(gif).Bytes, (std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a'}));

  const test::ScreenDepth screen(32);
  TDibGraphic picture;
  picture.Assign(&clipboard);
  EXPECT_EQ(picture.ImageFormat(), ifTrueColor);
  EXPECT_EQ(PixelsOf(picture), PixelsOf(*bitmap));

  clipboard.Clear();
  EXPECT_FALSE(clipboard.HasFormat(CF_BITMAP));
  EXPECT_THROW(picture.Assign(&clipboard), EInvalidGraphic) << "no bitmap on the clipboard";
}

} // namespace
} // namespace kestrel
