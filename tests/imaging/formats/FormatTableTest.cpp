// The format table against the picture container's registry, and what is built from it.

#include "imaging/formats/FormatTable.h"
#include "imaging/core/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestrel {
namespace {

TEST(FormatTable, TheRegistryHoldsTheTableInItsOrder) {
  std::vector<std::string> readable;
  for (const TFormatRow& row : FormatTable()) {
    SCOPED_TRACE(row.Extension);
    const auto registered = TPicture::FindFileFormat(row.Extension);
    if (!row.Class) {
      EXPECT_FALSE(registered) << "registered by the viewer, or not read by this build";
      continue;
    }
    readable.push_back(row.Extension);
    ASSERT_TRUE(registered);
    EXPECT_EQ(registered->Description, row.Description);
    EXPECT_EQ(registered->Class, *row.Class);
    EXPECT_EQ(std::type_index(typeid(*registered->Create())), *row.Class);
  }
  // Other tests of this program register classes of their own after the table's.
  std::vector<std::string> order;
  for (const TFileFormat& format : TPicture::FileFormats())
    if (FindFormatRow(format.Extension)) order.push_back(format.Extension);
  EXPECT_EQ(order, readable);
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(order.front(), "bmp");
}

TEST(FormatTable, KindsByExtension) {
  const std::pair<const char*, TFileKind> cases[] = {
      {"x.jpg", fkJpeg},     {"x.JPEG", fkJpeg}, {"x.jpe", fkJpeg},  {"x.bmp", fkBmp},
      {"x.ico", fkIcon},     {"x.wmf", fkWmf},   {"x.emf", fkEmf},   {"x.gif", fkGif},
      {"x.png", fkPng},      {"x.tif", fkTiff},  {"x.TIFF", fkTiff}, {"x.vst", fkVst},
      {"x.tga", fkTga},      {"x.afi", fkAfi},   {"x.pcc", fkPcc},   {"x.pcx", fkPcx},
      {"x.dcx", fkDcx},      {"x.wav", fkSound}, {"x.txt", fkNone},  {"jpg", fkNone},
      {"dir.png/x", fkNone}, {"", fkNone}};
  for (const auto& [path, kind] : cases)
    EXPECT_EQ(KindOfPath(path), kind) << path;
  ASSERT_NE(FindFormatRow("PNG"), nullptr);
  EXPECT_EQ(FindFormatRow(".png"), FindFormatRow("/a/b.Png"));
  EXPECT_EQ(FindFormatRow("xyz"), nullptr);
}

TEST(FormatTable, TheOpenFilterLeavesTheSoundOut) {
  RegisterFormatRow("wav", typeid(TPicture), [] { return nullptr; });
  const std::string full = TPicture::GraphicFilter();
  ASSERT_NE(full.find("*.wav"), std::string::npos);
  const std::string filter = OpenFilter();
  EXPECT_EQ(filter.find("wav"), std::string::npos) << filter;
  EXPECT_EQ(filter.find("Sound"), std::string::npos) << filter;
  EXPECT_EQ(filter.rfind("All (*.bmp;", 0), 0u) << filter;
  EXPECT_NE(filter.find("|Portable Network Graphic (*.png)|*.png"), std::string::npos);
  TPicture::UnregisterGraphicClass(typeid(TPicture));
  const std::vector<std::string> extensions = TableExtensions();
  EXPECT_EQ(extensions.front(), "bmp");
  EXPECT_EQ(extensions.back(), "wav");
  EXPECT_EQ(extensions.size(), FormatTable().size());
}

} // namespace
} // namespace kestrel
