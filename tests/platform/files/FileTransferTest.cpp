// Copying and moving single files at the system level: nothing overwritten that should not be, no
// source lost, no partial file left behind.

#include "platform/files/FileTransfer.h"

#include "support/PrivateVolume.h"
#include "support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

using test::FileBytes;
using test::WriteFile;

class FileTransfer : public ::testing::Test {
protected:
  QString Path(const QString& name) const { return Dir.filePath(name); }
  // The folder's names, sorted, hidden ones included: a leftover temporary file shows here.
  QStringList Names() const {
    return QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  }
  QTemporaryDir Dir;
};

TEST_F(FileTransfer, ACopyIsANewFileWithTheSourcesBytesModeAndTime) {
  const QByteArray bytes = QByteArray(3 << 20, 'k') + "end"; // more than one read's worth
  WriteFile(Path("a.jpg"), bytes);
  ::chmod(QFile::encodeName(Path("a.jpg")).constData(), 0640);
  const struct timespec old[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
  ::utimensat(AT_FDCWD, QFile::encodeName(Path("a.jpg")).constData(), old, 0);
  std::atomic<qint64> copied{0};
  EXPECT_EQ(CopyNewFile(Path("a.jpg"), Path("b.jpg"), {&copied, nullptr}), 0);
  EXPECT_EQ(FileBytes(Path("b.jpg")), bytes);
  EXPECT_EQ(copied.load(), bytes.size());
  struct stat status;
  ASSERT_EQ(::stat(QFile::encodeName(Path("b.jpg")).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  EXPECT_EQ(status.st_mtim.tv_sec, 1000000000);

  // An existing name is never written over, whatever it is.
  WriteFile(Path("c.jpg"), "keep");
  EXPECT_EQ(CopyNewFile(Path("a.jpg"), Path("c.jpg")), EEXIST);
  EXPECT_EQ(FileBytes(Path("c.jpg")), "keep");
  ASSERT_EQ(::symlink("nowhere", QFile::encodeName(Path("dangling")).constData()), 0);
  EXPECT_EQ(CopyNewFile(Path("a.jpg"), Path("dangling")), EEXIST);
  EXPECT_FALSE(QFileInfo::exists(Path("nowhere")));
}

TEST_F(FileTransfer, OnlyRegularFilesAreCopiedAndNothingIsLeftOfAFailure) {
  ASSERT_TRUE(QDir(Dir.path()).mkdir("folder"));
  EXPECT_EQ(CopyNewFile(Path("folder"), Path("copy")), EISDIR);
  // A pipe would wait for a writer forever: it is refused at once.
  ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe")).constData(), 0600), 0);
  EXPECT_EQ(CopyNewFile(Path("pipe"), Path("copy")), EINVAL);
  EXPECT_EQ(CopyNewFile(Path("missing"), Path("copy")), ENOENT);
  EXPECT_FALSE(QFileInfo::exists(Path("copy")));

  // A stop takes back what was written.
  WriteFile(Path("big"), QByteArray(1 << 20, 'b'));
  const std::atomic<bool> stop{true};
  EXPECT_EQ(CopyNewFile(Path("big"), Path("copy"), {nullptr, &stop}), ECANCELED);
  EXPECT_EQ(Names(), QStringList({"big", "pipe"}));
}

TEST_F(FileTransfer, ReplacingRefusesTheSourceItselfUnderAnyName) {
  WriteFile(Path("a.jpg"), "source");
  ASSERT_EQ(::link(QFile::encodeName(Path("a.jpg")).constData(),
                   QFile::encodeName(Path("hard.jpg")).constData()),
            0);
  ASSERT_TRUE(QFile::link(Path("a.jpg"), Path("soft.jpg")));
  for (const char* target : {"a.jpg", "hard.jpg", "soft.jpg"}) {
    EXPECT_EQ(CopyReplacing(Path("a.jpg"), Path(target)), kSameFile) << target;
    EXPECT_EQ(MoveReplacing(Path("a.jpg"), Path(target)), kSameFile) << target;
    EXPECT_EQ(FileBytes(Path("a.jpg")), "source") << target;
  }
  EXPECT_EQ(Names(), QStringList({"a.jpg", "hard.jpg", "soft.jpg"}));

  // Another file is replaced whole, by way of a temporary name that does not stay.
  WriteFile(Path("old.jpg"), "an older and longer file");
  EXPECT_EQ(CopyReplacing(Path("a.jpg"), Path("old.jpg")), 0);
  EXPECT_EQ(FileBytes(Path("old.jpg")), "source");
  WriteFile(Path("b.jpg"), "moving");
  EXPECT_EQ(MoveReplacing(Path("b.jpg"), Path("old.jpg")), 0);
  EXPECT_EQ(FileBytes(Path("old.jpg")), "moving");
  EXPECT_EQ(Names(), QStringList({"a.jpg", "hard.jpg", "old.jpg", "soft.jpg"}));
  // A failed replacement leaves the target as it was.
  EXPECT_EQ(CopyReplacing(Path("missing"), Path("old.jpg")), ENOENT);
  EXPECT_EQ(FileBytes(Path("old.jpg")), "moving");
}

TEST_F(FileTransfer, MovesAndRenamesNeverReplace) {
  WriteFile(Path("a.jpg"), "a");
  WriteFile(Path("b.jpg"), "b");
  EXPECT_EQ(MoveNewFile(Path("a.jpg"), Path("b.jpg")), EEXIST);
  EXPECT_EQ(RenameNoReplace(Path("a.jpg"), Path("b.jpg")), EEXIST);
  EXPECT_EQ(FileBytes(Path("b.jpg")), "b");
  EXPECT_EQ(MoveNewFile(Path("a.jpg"), Path("c.jpg")), 0);
  EXPECT_EQ(Names(), QStringList({"b.jpg", "c.jpg"}));
  // Folders rename too, and not onto one another.
  ASSERT_TRUE(QDir(Dir.path()).mkdir("one"));
  ASSERT_TRUE(QDir(Dir.path()).mkdir("two"));
  EXPECT_EQ(RenameNoReplace(Path("one"), Path("two")), EEXIST);
  EXPECT_EQ(RenameNoReplace(Path("one"), Path("three")), 0);
  EXPECT_TRUE(QFileInfo(Path("three")).isDir());
}

// A second volume: a small tmpfs of the test's own.
TEST_F(FileTransfer, AcrossVolumesTheSourceGoesOnlyOnceItsCopyIsComplete) {
  KESTREL_WITH_PRIVATE_VOLUME("256k");
  const QString volume = test::PrivateVolume();
  WriteFile(volume + "/small.jpg", "small");
  EXPECT_EQ(MoveNewFile(volume + "/small.jpg", Path("small.jpg")), 0);
  EXPECT_EQ(FileBytes(Path("small.jpg")), "small");
  EXPECT_FALSE(QFileInfo::exists(volume + "/small.jpg"));

  // Too big for the volume: the copy fails on the full disk, the source stays, no part is left.
  const QByteArray big(600 << 10, 'x');
  WriteFile(Path("big.jpg"), big);
  EXPECT_EQ(MoveNewFile(Path("big.jpg"), volume + "/big.jpg"), ENOSPC);
  EXPECT_EQ(CopyNewFile(Path("big.jpg"), volume + "/big.jpg"), ENOSPC);
  EXPECT_EQ(FileBytes(Path("big.jpg")), big);
  EXPECT_TRUE(QDir(volume).entryList(QDir::Files | QDir::Hidden).isEmpty());

  // Replacing across volumes: the old target stays whole when the new copy does not fit.
  WriteFile(volume + "/old.jpg", "old");
  EXPECT_EQ(MoveReplacing(Path("big.jpg"), volume + "/old.jpg"), ENOSPC);
  EXPECT_EQ(FileBytes(volume + "/old.jpg"), "old");
  EXPECT_EQ(QDir(volume).entryList(QDir::Files | QDir::Hidden), QStringList({"old.jpg"}));
  EXPECT_EQ(MoveReplacing(Path("small.jpg"), volume + "/old.jpg"), 0);
  EXPECT_EQ(FileBytes(volume + "/old.jpg"), "small");
  EXPECT_FALSE(QFileInfo::exists(Path("small.jpg")));
}

} // namespace
} // namespace kestrel
