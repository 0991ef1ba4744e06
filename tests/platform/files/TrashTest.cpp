// The desktop's Trash: a file goes there with a record a file manager can restore it from, and a
// file whose volume has no usable Trash stays where it is.

#include "platform/files/Trash.h"

#include "support/PrivateVolume.h"
#include "support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrel {
namespace {

using test::FileBytes;
using test::WriteFile;

class Trash : public ::testing::Test {
protected:
  // The record of a trashed file: its original path (decoded) and its deletion date.
  static QString RecordedPath(const QString& trash, const QString& name) {
    const QString text = QString::fromUtf8(FileBytes(trash + "/info/" + name + ".trashinfo"));
    const QRegularExpression form(
        "^\\[Trash Info\\]\nPath=(.+)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$");
    const QRegularExpressionMatch match = form.match(text);
    return match.hasMatch() ? QUrl::fromPercentEncoding(match.captured(1).toUtf8()) : text;
  }

  test::TTempEnvironment Env; // the home Trash is in its data folder
};

TEST_F(Trash, FilesGoToTheHomeTrashWithARecordOfWhereTheyWere) {
  const QString folder = Env.Folder("pictures");
  const QString home = Env.DataHome() + "/Trash";
  EXPECT_EQ(TTrash::HomeTrash(), home);
  TTrash trash;
  // Names a shell would trip over are only names here.
  for (const QString& name : {QString("a b%.jpg"), QString("-n\n\"q\"'.jpg")}) {
    WriteFile(folder + "/" + name, name.toUtf8());
    ASSERT_EQ(trash.MoveToTrash(folder + "/" + name), 0) << name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder + "/" + name));
    EXPECT_EQ(trash.LastTrash(), home);
    EXPECT_EQ(FileBytes(home + "/files/" + trash.LastName()), name.toUtf8());
    EXPECT_EQ(RecordedPath(home, trash.LastName()), folder + "/" + name);
  }
  // A second file of a name already in the Trash gets a numbered name; the first stays.
  WriteFile(folder + "/a b%.jpg", "second");
  ASSERT_EQ(trash.MoveToTrash(folder + "/a b%.jpg"), 0);
  EXPECT_EQ(trash.LastName(), "a b%.2.jpg");
  EXPECT_EQ(FileBytes(home + "/files/a b%.jpg"), "a b%.jpg");
  EXPECT_EQ(FileBytes(home + "/files/a b%.2.jpg"), "second");
  // A name too long for its record's name is shortened in the Trash, not refused.
  const QString longName = QString(124, QChar(0xE9)) + ".jpg"; // 252 bytes of UTF-8
  WriteFile(folder + "/" + longName, "long");
  ASSERT_EQ(trash.MoveToTrash(folder + "/" + longName), 0);
  EXPECT_LE(QFile::encodeName(trash.LastName()).size() + 10, 255);
  EXPECT_EQ(RecordedPath(home, trash.LastName()), folder + "/" + longName);

  EXPECT_EQ(trash.MoveToTrash(folder + "/missing.jpg"), ENOENT);
  EXPECT_TRUE(QDir(folder).isEmpty());
}

TEST_F(Trash, AnotherVolumeUsesItsOwnTrashOrKeepsTheFile) {
  KESTREL_WITH_PRIVATE_VOLUME("256k");
  const QString volume = test::PrivateVolume();
  const QString uid = QString::number(::geteuid());
  QDir().mkpath(volume + "/photos");
  WriteFile(volume + "/photos/a.jpg", "a");
  // The administrator's shared Trash, a sticky folder: each user has a folder in it.
  ASSERT_TRUE(QDir(volume).mkdir(".Trash"));
  ::chmod(QFile::encodeName(volume + "/.Trash").constData(), 01777);
  {
    TTrash trash;
    ASSERT_EQ(trash.MoveToTrash(volume + "/photos/a.jpg"), 0);
    EXPECT_EQ(trash.LastTrash(), volume + "/.Trash/" + uid);
    EXPECT_EQ(RecordedPath(trash.LastTrash(), "a.jpg"), "photos/a.jpg"); // from the volume's top
  }
  // Without the sticky bit it is not trusted; "<top>/.Trash-<uid>" serves instead.
  ::chmod(QFile::encodeName(volume + "/.Trash").constData(), 0777);
  WriteFile(volume + "/photos/b.jpg", "b");
  {
    TTrash trash;
    ASSERT_EQ(trash.MoveToTrash(volume + "/photos/b.jpg"), 0);
    EXPECT_EQ(trash.LastTrash(), volume + "/.Trash-" + uid);
  }
  // Neither usable: the file is kept, never deleted instead.
  ASSERT_TRUE(QDir(volume + "/.Trash-" + uid).removeRecursively());
  WriteFile(volume + "/.Trash-" + uid, "not a folder");
  WriteFile(volume + "/photos/c.jpg", "c");
  TTrash trash;
  EXPECT_EQ(trash.MoveToTrash(volume + "/photos/c.jpg"), kNoTrash);
  EXPECT_EQ(FileBytes(volume + "/photos/c.jpg"), "c");
}

} // namespace
} // namespace kestrel
