#include "imaging/core/Picture.h"

#include "PictureTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

struct Registered {
  const char* Extension;
  const char* Description;
  const char* Class;
};

// Every extension of the bitmap module's formats reads and writes through the picture registry,
// as kestrel-tool convert does.
TEST(BmodFileFormats, EachExtensionWritesAndReadsThroughTheRegistry) {
  const Registered formats[] = {{"pcx", "ZSoft PC Paintbrush", "TPcxGraphic"},
                                {"pcc", "ZSoft PC Paintbrush", "TPcxGraphic"},
                                {"dcx", "DCX file", "TDcxGraphic"},
                                {"tga", "Truevision Targa", "TTgaGraphic"},
                                {"afi", "Truevision Targa", "TTgaGraphic"},
                                {"vst", "Truevision Vista", "TTgaGraphic"}};
  TDibGraphic source;
  FillPattern(source, 23, 7, ifColor256);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const Registered& r : formats) {
    const auto format = TPicture::FindFileFormat(r.Extension);
    ASSERT_TRUE(format.has_value()) << r.Extension;
    EXPECT_EQ(format->Description, r.Description);
    auto writer = format->Create();
    EXPECT_STREQ(writer->ClassName(), r.Class);
    writer->Assign(&source);
    const std::string path = dir.filePath(QString("picture.") + r.Extension).toStdString();
    writer->SaveToFile(path);

    TPicture picture;
    picture.LoadFromFile(path);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_STREQ(picture.Graphic()->ClassName(), r.Class);
    const auto* read = dynamic_cast<const TDibGraphic*>(picture.Graphic());
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(SamePixels(*read, source)) << r.Extension;
  }
}

} // namespace
