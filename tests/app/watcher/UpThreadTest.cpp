#include "app/watcher/UpThread.h"

#include "support/TempEnvironment.h"
#include "support/TestApplication.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace kestrel {
namespace {

// The thread's hand-overs recorded as they run on this (the main) thread.
class UpThreadTest : public ::testing::Test {
protected:
  void SetUp() override { test::TestApplication(); }
  std::unique_ptr<TUpThread> Make() {
    TUpThread::THandOvers handOvers;
    handOvers.RefreshFiles = [this](TUpThread::THandOver handOver) {
      ++FileRefreshes;
      if (KeepHandOver) Held = handOver;
    };
    handOvers.RefreshFolders = [this](TUpThread::THandOver) { ++FolderRefreshes; };
    handOvers.ShowError = [this](const QString& message) { Messages << message; };
    return std::make_unique<TUpThread>(&Context, std::move(handOvers));
  }
  // A thread started on folder, once its watches are open.
  std::unique_ptr<TUpThread> Watching(const QString& folder) {
    auto thread = Make();
    thread->SetFolder(folder);
    thread->Resume();
    EXPECT_TRUE(test::WaitUntil([&] { return thread->Watching() == folder; }));
    return thread;
  }
  QString Folder(const QString& relative) const {
    const QString path = Root.path() + "/" + relative;
    QDir().mkpath(path);
    return path;
  }
  static void Idle(int milliseconds) {
    test::WaitUntil([] { return false; }, milliseconds);
  }
  static QString ErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

  QObject Context;
  QTemporaryDir Root;
  int FileRefreshes = 0;
  int FolderRefreshes = 0;
  QStringList Messages;
  bool KeepHandOver = false;
  TUpThread::THandOver Held;
};

TEST_F(UpThreadTest, FileNamesInTheFolderAndFolderNamesBesideItAskForRefreshes) {
  const QString parent = Folder("parent");
  const QString shown = Folder("parent/shown");
  auto thread = Watching(shown);
  EXPECT_FALSE(thread->FilesChanged());

  test::WriteFile(shown + "/copied.bmp", "x");
  EXPECT_TRUE(test::WaitUntil([&] { return FileRefreshes == 1; }));
  EXPECT_TRUE(thread->FilesChanged());
  thread->ClearFilesChanged();

  Folder("parent/sibling");
  EXPECT_TRUE(test::WaitUntil([&] { return FolderRefreshes == 1; }));
  // A new sub-folder shows in both lists.
  Folder("parent/shown/child");
  EXPECT_TRUE(test::WaitUntil([&] { return FolderRefreshes == 2 && FileRefreshes == 2; }));
  EXPECT_TRUE(Messages.isEmpty());
  EXPECT_EQ(thread->Rounds(), 1);
}

TEST_F(UpThreadTest, EachHandOverIsWaitedForUntilItsWorkIsDone) {
  const QString shown = Folder("shown");
  auto thread = Watching(shown);
  KeepHandOver = true;
  test::WriteFile(shown + "/a.png", "x");
  ASSERT_TRUE(test::WaitUntil([&] { return FileRefreshes == 1; }));
  test::WriteFile(shown + "/b.png", "x");
  Idle(300);
  EXPECT_EQ(FileRefreshes, 1); // still held by the first refresh
  KeepHandOver = false;
  Held.reset();
  EXPECT_TRUE(test::WaitUntil([&] { return FileRefreshes == 2; }));
}

TEST_F(UpThreadTest, AnErrorIsShownOnceForItsFolderAndTheWatchIsTriedAgainEverySecond) {
  const QString missing = Root.path() + "/missing";
  auto thread = Make();
  thread->SetFolder(missing);
  thread->Resume();
  ASSERT_TRUE(test::WaitUntil([&] { return Messages.size() == 1; }));
  EXPECT_EQ(Messages.first(), "Bad Change Notification Handle: 1\r" + missing + "\rWinError= 2\r" +
                                  ErrorText(ENOENT));
  EXPECT_TRUE(test::WaitUntil([&] { return thread->Rounds() >= 3; }));
  EXPECT_EQ(Messages.size(), 1);
  Folder("missing");
  EXPECT_TRUE(test::WaitUntil([&] { return thread->Watching() == missing; }));
  EXPECT_EQ(thread->ErrorCode(), 0);
}

TEST_F(UpThreadTest, TheSystemsLimitOfWatchersGivesAPlainMessageAndTheWatchRecovers) {
  // Exhausting the limit would disturb the user's other programs: only a user of its own may.
  const uid_t nobody = 65534; // the user RerunUnprivileged runs the test as
  if (::geteuid() != 0 && ::geteuid() != nobody)
    GTEST_SKIP() << "runs as an unprivileged user of its own, started by the administrator";
  if (test::RerunUnprivileged()) return;
  const QString shown = Folder("shown");
  auto thread = Make();
  thread->SetFolder(shown);
  std::vector<int> taken;
  int error = 0;
  while (taken.size() < 100000) {
    const int fd = ::inotify_init1(IN_CLOEXEC);
    if (fd < 0) {
      error = errno;
      break;
    }
    taken.push_back(fd);
  }
  ASSERT_EQ(error, EMFILE);
  thread->Resume();
  ASSERT_TRUE(test::WaitUntil([&] { return Messages.size() == 1; }));
  EXPECT_TRUE(Messages.first().startsWith("Bad Change Notification Handle: 1\r" + shown +
                                          "\rWinError= " + QString::number(EMFILE) + "\r"));
  EXPECT_TRUE(Messages.first().contains("limit of folder watchers"));
  for (const int fd : taken)
    ::close(fd);
  EXPECT_TRUE(test::WaitUntil([&] { return thread->Watching() == shown; }));
}

TEST(UpThreadParent, TheParentOfARootIsTheRoot) {
  EXPECT_EQ(TUpThread::ParentFolder("/home/ann/Pictures"), "/home/ann");
  EXPECT_EQ(TUpThread::ParentFolder("/home/ann/Pictures/"), "/home/ann");
  EXPECT_EQ(TUpThread::ParentFolder("/home"), "/");
  EXPECT_EQ(TUpThread::ParentFolder("/"), "/");
}

} // namespace
} // namespace kestrel
