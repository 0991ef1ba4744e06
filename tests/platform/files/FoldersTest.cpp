#include "platform/files/Folders.h"

#include "support/TempEnvironment.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <map>

namespace kestrel {
namespace {

std::map<QString, quint32> Attributes(const std::vector<TDirEntry>& entries) {
  std::map<QString, quint32> byName;
  for (const TDirEntry& entry : entries)
    byName[entry.Name] = entry.Attributes;
  return byName;
}

TEST(Folders, ScanReportsFoldersHiddenNamesAndOrdinaryFiles) {
  test::TTempEnvironment env;
  const QString root = env.Folder("scan");
  test::WriteFile(root + "/picture.jpg", "x");
  test::WriteFile(root + "/.hidden.png", "x");
  QDir(root).mkdir("sub");
  QDir(root).mkdir(".config");
  QFile::link(root + "/sub", root + "/link-to-sub");
  QFile::link(root + "/picture.jpg", root + "/link-to-picture");

  const auto byName = Attributes(ScanDirectory(root, false));
  EXPECT_EQ(byName.at("picture.jpg"), faArchive);
  EXPECT_EQ(byName.at(".hidden.png"), faArchive | faHidden);
  EXPECT_EQ(byName.at("sub"), faDirectory);
  EXPECT_EQ(byName.at(".config"), faDirectory | faHidden);
  EXPECT_EQ(byName.at("link-to-sub"), faDirectory);
  EXPECT_EQ(byName.at("link-to-picture"), faArchive);
  EXPECT_EQ(byName.at(".."), faDirectory);
  EXPECT_EQ(byName.at("."), faDirectory);

  const auto accepted = ScanDirectory(root, false, [](std::string_view name) {
    return name.find(".jpg") != std::string_view::npos;
  });
  ASSERT_EQ(accepted.size(), 1u);
  EXPECT_EQ(accepted[0].Name, "picture.jpg");
}

TEST(Folders, ReadOnlyIsFoundWhenAsked) {
  if (test::RerunUnprivileged()) return;
  test::TTempEnvironment env;
  const QString root = env.Folder("readonly");
  test::WriteFile(root + "/locked.bmp", "x");
  QFile::setPermissions(root + "/locked.bmp", QFile::ReadOwner);
  EXPECT_EQ(Attributes(ScanDirectory(root, true)).at("locked.bmp"), faArchive | faReadOnly);
  EXPECT_EQ(Attributes(ScanDirectory(root, false)).at("locked.bmp"), faArchive);
}

TEST(Folders, MissingFoldersRaiseAndKeepTheCurrentFolder) {
  test::TTempEnvironment env;
  const QString before = CurrentDirectory();
  const QString missing = env.Path() + "/gone";
  try {
    ChangeDirectory(missing);
    FAIL() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode, ENOENT);
    EXPECT_TRUE(QString(error.what()).contains(missing));
  }
  EXPECT_EQ(CurrentDirectory(), before);
  EXPECT_THROW(ScanDirectory(missing, false), EInOutError);
  test::WriteFile(env.Path() + "/file", "x");
  EXPECT_THROW(ChangeDirectory(env.Path() + "/file"), EInOutError);

  ChangeDirectory(env.Folder("there"));
  EXPECT_EQ(CurrentDirectory(), env.Path() + "/there");
  ChangeDirectory(before);
}

} // namespace
} // namespace kestrel
