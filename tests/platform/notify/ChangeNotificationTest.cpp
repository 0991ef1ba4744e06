#include "platform/notify/ChangeNotification.h"

#include "support/TempEnvironment.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace kestrel {
namespace {

// The system queues a change while the call that makes it runs, so a wait of 0 already sees every
// change made before it: these tests need no time-outs.
class ChangeNotifications : public ::testing::Test {
protected:
  QString Folder(const QString& relative) const {
    const QString path = Root.path() + "/" + relative;
    QDir().mkpath(path);
    return path;
  }
  QString Path(const QString& relative) const { return Root.path() + "/" + relative; }
  static bool SignalledNow(TChangeNotification& handle) {
    const TWaitResult result = WaitForChanges({&handle}, 0, nullptr);
    return result.Outcome == TWaitOutcome::Signalled;
  }
  // Signalled now; then re-armed, so the next check sees only later changes.
  static bool TakeSignal(TChangeNotification& handle) {
    const bool signalled = SignalledNow(handle);
    EXPECT_TRUE(handle.Next());
    return signalled;
  }

  QTemporaryDir Root;
};

TEST_F(ChangeNotifications, FileNamesSignalAndContentsDoNot) {
  const QString shown = Folder("shown");
  TChangeNotification files;
  ASSERT_TRUE(files.Open(shown, true, TNameChanges::Files));
  EXPECT_FALSE(SignalledNow(files));

  test::WriteFile(shown + "/a.bmp", "pixels");
  EXPECT_TRUE(TakeSignal(files));
  EXPECT_FALSE(SignalledNow(files));

  // Contents, sizes and times are not names.
  QFile file(shown + "/a.bmp");
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write("more");
  file.close();
  EXPECT_FALSE(SignalledNow(files));

  ASSERT_TRUE(QFile::rename(shown + "/a.bmp", shown + "/b.bmp"));
  EXPECT_TRUE(TakeSignal(files));
  ASSERT_TRUE(QFile::remove(shown + "/b.bmp"));
  EXPECT_TRUE(TakeSignal(files));
  // A folder made directly in the watched one counts too: the file list may show folders.
  Folder("shown/new");
  EXPECT_TRUE(TakeSignal(files));

  // A change made after the signal and before the re-arm signals again.
  test::WriteFile(shown + "/c.bmp", "x");
  ASSERT_TRUE(SignalledNow(files));
  test::WriteFile(shown + "/d.bmp", "x");
  EXPECT_TRUE(files.Next());
  EXPECT_TRUE(TakeSignal(files));
  EXPECT_FALSE(SignalledNow(files));
}

TEST_F(ChangeNotifications, SubFoldersAreWatchedForFileNamesAlsoWhenMadeLater) {
  const QString shown = Folder("shown");
  Folder("shown/a/b");
  TChangeNotification files;
  ASSERT_TRUE(files.Open(shown, true, TNameChanges::Files));
  EXPECT_EQ(files.WatchedFolders(), 3);
  EXPECT_TRUE(files.Complete());

  test::WriteFile(shown + "/a/b/deep.png", "x");
  EXPECT_TRUE(TakeSignal(files));
  // A folder made below the first level is no file name, but is watched from then on.
  Folder("shown/a/c");
  EXPECT_FALSE(SignalledNow(files));
  test::WriteFile(shown + "/a/c/later.png", "x");
  EXPECT_TRUE(TakeSignal(files));
  // A folder moved away is no longer watched.
  const QString outside = Folder("outside");
  ASSERT_TRUE(QDir().rename(shown + "/a/c", outside + "/c"));
  EXPECT_FALSE(SignalledNow(files));
  test::WriteFile(outside + "/c/away.png", "x");
  EXPECT_FALSE(SignalledNow(files));
}

TEST_F(ChangeNotifications, LinksAndOtherFoldersAreNotFollowed) {
  const QString shown = Folder("shown");
  const QString elsewhere = Folder("elsewhere");
  ASSERT_TRUE(QFile::link(elsewhere, shown + "/link"));
  TChangeNotification files;
  ASSERT_TRUE(files.Open(shown, true, TNameChanges::Files));
  EXPECT_FALSE(SignalledNow(files));
  test::WriteFile(elsewhere + "/through-link.png", "x");
  EXPECT_FALSE(SignalledNow(files));
  EXPECT_EQ(files.WatchedFolders(), 1);
}

TEST_F(ChangeNotifications, AWalkOverAHugeTreeStopsAtItsShareOfTheSystemsWatches) {
  const int budget = TChangeNotification::FolderBudget();
  ASSERT_GE(budget, 256);
  ASSERT_LE(budget, 4096);
  const QString shown = Folder("shown");
  for (int i = 0; i < budget + 5; ++i)
    ASSERT_TRUE(QDir().mkdir(shown + "/" + QString::number(i)));
  TChangeNotification files;
  ASSERT_TRUE(files.Open(shown, true, TNameChanges::Files));
  EXPECT_FALSE(files.Complete());
  EXPECT_EQ(files.WatchedFolders(), budget);
  // The folder itself is always among them.
  test::WriteFile(shown + "/new.png", "x");
  EXPECT_TRUE(SignalledNow(files));
}

TEST_F(ChangeNotifications, FolderNamesSignalAndFileNamesDoNot) {
  const QString parent = Folder("parent");
  const QString shown = Folder("parent/shown");
  TChangeNotification folders;
  ASSERT_TRUE(folders.Open(parent, false, TNameChanges::Folders));
  ASSERT_TRUE(folders.Add(shown));

  test::WriteFile(parent + "/file.txt", "x");
  test::WriteFile(shown + "/file.txt", "x");
  EXPECT_FALSE(SignalledNow(folders));
  Folder("parent/sibling");
  EXPECT_TRUE(TakeSignal(folders));
  Folder("parent/shown/child");
  EXPECT_TRUE(TakeSignal(folders));
  // Not below the folders it was given.
  Folder("parent/sibling/grandchild");
  EXPECT_FALSE(SignalledNow(folders));
}

TEST_F(ChangeNotifications, AWatchedFolderThatGoesAwaySignalsAndCannotBeReArmed) {
  const QString shown = Folder("shown");
  Folder("shown/sub");
  test::WriteFile(shown + "/a.png", "x");
  TChangeNotification files;
  ASSERT_TRUE(files.Open(shown, true, TNameChanges::Files));
  ASSERT_TRUE(QDir(shown).removeRecursively());
  EXPECT_TRUE(SignalledNow(files));
  EXPECT_FALSE(files.Next());
  EXPECT_EQ(files.Error(), ENOENT);

  // The re-arm notices it without a wait in between.
  const QString quick = Folder("quick");
  TChangeNotification unwaited;
  ASSERT_TRUE(unwaited.Open(quick, true, TNameChanges::Files));
  ASSERT_TRUE(QDir().rmdir(quick));
  EXPECT_FALSE(unwaited.Next());

  // Moved away counts as gone: the path watched names nothing any more.
  const QString other = Folder("other");
  TChangeNotification moved;
  ASSERT_TRUE(moved.Open(other, false, TNameChanges::Folders));
  ASSERT_TRUE(QDir().rename(other, Path("renamed")));
  EXPECT_TRUE(SignalledNow(moved));
  EXPECT_FALSE(moved.Next());
}

TEST_F(ChangeNotifications, TheParentSeesTheShownFolderGoWhileItIsTheCurrentFolder) {
  // A folder that is a process's current folder reports its own removal only when left: the
  // parent's watch is what tells.
  struct TKeepCurrent {
    QString Saved = QDir::currentPath();
    ~TKeepCurrent() { QDir::setCurrent(Saved); }
  } keep;
  const QString parent = Folder("parent");
  const QString shown = Folder("parent/shown");
  TChangeNotification folders;
  ASSERT_TRUE(folders.Open(parent, false, TNameChanges::Folders));
  ASSERT_TRUE(folders.Add(shown));
  ASSERT_TRUE(QDir::setCurrent(shown));
  ASSERT_TRUE(QDir().rmdir(shown));
  EXPECT_TRUE(SignalledNow(folders));
  EXPECT_FALSE(folders.Next());
  EXPECT_EQ(folders.Error(), ENOENT);

  // A sibling going away is only a change.
  ASSERT_TRUE(QDir::setCurrent(parent));
  const QString other = Folder("other");
  const QString kept = Folder("other/kept");
  Folder("other/sibling");
  TChangeNotification siblings;
  ASSERT_TRUE(siblings.Open(other, false, TNameChanges::Folders));
  ASSERT_TRUE(siblings.Add(kept));
  ASSERT_TRUE(QDir().rmdir(other + "/sibling"));
  EXPECT_TRUE(TakeSignal(siblings));
}

TEST_F(ChangeNotifications, OpeningWhatIsNoFolderFailsWithTheSystemsReason) {
  TChangeNotification handle;
  EXPECT_FALSE(handle.Open(Path("missing"), true, TNameChanges::Files));
  EXPECT_EQ(handle.Error(), ENOENT);
  EXPECT_FALSE(handle.IsOpen());
  test::WriteFile(Path("plain.txt"), "x");
  EXPECT_FALSE(handle.Open(Path("plain.txt"), false, TNameChanges::Folders));
  EXPECT_EQ(handle.Error(), ENOTDIR);
  EXPECT_FALSE(handle.Next());
  EXPECT_FALSE(handle.Add(Folder("any")));
}

TEST_F(ChangeNotifications, AWaitEndsOnTheFirstSignalledHandleOnAWakeOrAfterItsTime) {
  const QString first = Folder("first");
  const QString second = Folder("second");
  TChangeNotification a, b;
  ASSERT_TRUE(a.Open(first, false, TNameChanges::Files));
  ASSERT_TRUE(b.Open(second, false, TNameChanges::Files));
  TWaitWake wake;
  EXPECT_EQ(WaitForChanges({&a, &b}, 30, &wake).Outcome, TWaitOutcome::TimedOut);

  test::WriteFile(second + "/x", "x");
  TWaitResult result = WaitForChanges({&a, &b}, 0, &wake);
  EXPECT_EQ(result.Outcome, TWaitOutcome::Signalled);
  EXPECT_EQ(result.Index, 1);
  test::WriteFile(first + "/x", "x");
  EXPECT_EQ(WaitForChanges({&a, &b}, 0, &wake).Index, 0);
  ASSERT_TRUE(a.Next());
  EXPECT_EQ(WaitForChanges({&a, &b}, 0, &wake).Index, 1);
  ASSERT_TRUE(b.Next());

  // Another thread's wake ends a long wait at once, and only once.
  std::thread other([&wake] { wake.Signal(); });
  EXPECT_EQ(WaitForChanges({&a, &b}, 60000, &wake).Outcome, TWaitOutcome::Woken);
  other.join();
  EXPECT_EQ(WaitForChanges({&a, &b}, 0, &wake).Outcome, TWaitOutcome::TimedOut);
}

TEST_F(ChangeNotifications, UnreadableSubFoldersAreLeftOutAndTheRestIsWatched) {
  if (test::RerunUnprivileged()) return;
  const QString shown = Folder("shown");
  Folder("shown/closed/inner");
  Folder("shown/open");
  ASSERT_TRUE(QFile::setPermissions(shown + "/closed", QFile::Permissions()));
  TChangeNotification files;
  ASSERT_TRUE(files.Open(shown, true, TNameChanges::Files));
  EXPECT_FALSE(files.Complete());
  test::WriteFile(shown + "/open/a.png", "x");
  EXPECT_TRUE(SignalledNow(files));
  QFile::setPermissions(shown + "/closed", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ChangeNotificationErrors, TheWatchLimitsAreNamedPlainly) {
  EXPECT_TRUE(ChangeNotificationErrorText(ENOSPC).contains("limit of watched folders"));
  EXPECT_TRUE(ChangeNotificationErrorText(EMFILE).contains("max_user_instances"));
  EXPECT_EQ(ChangeNotificationErrorText(EACCES), QString::fromLocal8Bit(std::strerror(EACCES)));
}

} // namespace
} // namespace kestrel
