#include "desktop/install/MimeAppsList.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

const QString kOurs = "kestrel.desktop";

class MimeAppsListRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(MimeAppsListRoundTrip, SettingAndRemovingOurDefaultsGivesBackTheFileByteForByte) {
  const QByteArray original = GetParam();
  TMimeAppsList list(original);
  list.SetDefault("image/png", kOurs);
  list.SetDefault("image/gif", kOurs);
  EXPECT_EQ(list.DefaultOf("image/png"), kOurs);
  EXPECT_EQ(list.DefaultOf("image/gif"), kOurs);
  // Whatever was there before is still there.
  for (const QByteArray& line : original.split('\n')) {
    EXPECT_TRUE(list.Text().contains(line)) << line.constData();
  }

  // Read back from its text, as a later uninstall does.
  TMimeAppsList later(list.Text());
  EXPECT_TRUE(later.RemoveDefault("image/png", kOurs));
  EXPECT_TRUE(later.RemoveDefault("image/gif", kOurs));
  EXPECT_FALSE(later.RemoveDefault("image/gif", kOurs));
  EXPECT_EQ(later.Text(), original);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MimeAppsListRoundTrip,
    ::testing::Values(
        "",                                                  // no file yet
        "[Added Associations]\ntext/plain=gedit.desktop;\n", // no defaults group
        "[Default Applications]\ntext/plain=gedit.desktop\n\n[Added Associations]\nx=y;\n",
        // what a desktop would call syntax errors, and CRLF line ends, stay as they are
        "# mine\r\n[Default Applications]\r\nno equals sign here\r\n=value without key\r\n"
        "\xff\xfe binary junk\r\n\r\n[Broken\r\n",
        // xdg-mime's own way of starting a file
        "\n[Default Applications]\ntext/plain=gedit.desktop\n"));

TEST(MimeAppsList, AnotherProgramsDefaultIsLeftAloneAndOursLeavesAList) {
  TMimeAppsList list("[Default Applications]\n"
                     "image/png=gimp.desktop;\n"
                     "image/gif=kestrel.desktop;eog.desktop;\n"
                     "image/bmp = kestrel.desktop\n");
  EXPECT_FALSE(list.RemoveDefault("image/png", kOurs));
  EXPECT_TRUE(list.RemoveDefault("image/gif", kOurs));
  EXPECT_TRUE(list.RemoveDefault("image/bmp", kOurs));
  EXPECT_EQ(list.Text(), "[Default Applications]\n"
                         "image/png=gimp.desktop;\n"
                         "image/gif=eog.desktop;\n");
  EXPECT_EQ(list.DefaultOf("image/gif"), "eog.desktop");
  EXPECT_EQ(list.DefaultOf("image/tiff"), "");

  // A default another program set replaces its line in place.
  list.SetDefault("image/png", kOurs);
  EXPECT_EQ(list.Text(), "[Default Applications]\n"
                         "image/png=kestrel.desktop;\n"
                         "image/gif=eog.desktop;\n");
}

TEST(MimeAppsList, XdgMimesFreshFileIsRemovedWholeWhenOnlyOurLinesWereInIt) {
  TMimeAppsList list("\n[Default Applications]\nimage/png=kestrel.desktop\n");
  EXPECT_TRUE(list.RemoveDefault("image/png", kOurs));
  EXPECT_EQ(list.Text(), "");
}

} // namespace
} // namespace kestrel
