#include "app/main/RecentFolders.h"

#include "platform/settings/Settings.h"
#include "support/TempEnvironment.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

QString Stored(const QString& letter) {
  TSettingValue value = QString("(none)");
  ReadSetting("Recent Folders", letter, value);
  return std::get<QString>(value);
}

class Recent : public ::testing::Test {
protected:
  test::TTempEnvironment Env;
  TRecentFolders Folders;
};

TEST_F(Recent, AFolderVisitedAgainMovesToTheTop) {
  const QString c = Env.Folder("C"), d = Env.Folder("D");
  Folders.Add(c);
  Folders.Add(d);
  Folders.Add(c);
  EXPECT_EQ(Folders.Items(), QStringList({c, d}));
  EXPECT_EQ(Stored("A"), c);
  EXPECT_EQ(Stored("B"), d);
  EXPECT_EQ(ListSection("Recent Folders").NumValues, 2);
  // Only exactly the same text counts as the same entry.
  Folders.Add(c + "/");
  EXPECT_EQ(Folders.Items().size(), 3);
}

TEST_F(Recent, KeepsTheSixteenNewest) {
  QStringList visited;
  for (int i = 0; i < 17; ++i) {
    visited << Env.Folder(QString("folder%1").arg(i));
    Folders.Add(visited.last());
  }
  ASSERT_EQ(Folders.Items().size(), TRecentFolders::kLimit);
  EXPECT_EQ(Folders.Items().first(), visited.last());
  EXPECT_FALSE(Folders.Items().contains(visited.first()));
  EXPECT_EQ(Stored("A"), visited.last());
  EXPECT_EQ(Stored("P"), visited[1]);
  EXPECT_EQ(ListSection("Recent Folders").NumValues, 16);
}

TEST_F(Recent, AMissingFolderLeavesTheMenuButStaysStoredUntilTheNextChange) {
  const QString kept = Env.Folder("kept"), gone = Env.Folder("gone");
  Folders.Add(kept);
  Folders.Add(gone);
  QDir(gone).removeRecursively();

  TRecentFolders atStart;
  atStart.Load();
  EXPECT_EQ(atStart.Items(), QStringList({kept}));
  EXPECT_EQ(Stored("A"), gone); // still stored

  const QString next = Env.Folder("next");
  atStart.Add(next);
  EXPECT_EQ(Stored("A"), next);
  EXPECT_EQ(Stored("B"), kept);
  EXPECT_EQ(ListSection("Recent Folders").NumValues, 2);
}

} // namespace
} // namespace kestrel
