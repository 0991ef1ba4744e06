#include "browse/filelists/DListBox.h"

#include "browse/filelists/FListBox.h"
#include "platform/files/Errors.h"
#include "platform/volumes/Volumes.h"
#include "support/ListHelpers.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"
#include "support/Unprivileged.h"

#include <QLabel>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::Texts;

class FolderList : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    Trip = Env.Folder("Photos/Trip");
    for (const char* sub : {"zebra", "Alpha", "RECYCLED", "Recycled2", ".thumbs", "beta"})
      QDir(Trip).mkdir(sub);
    QDir(Env.Path() + "/Photos").mkdir("recycled");
  }
  // The texts of the items below the volume root.
  static QStringList Below(const TDListBox& list) { return Texts(list).mid(1); }

  test::TKeepCurrentFolder KeepFolder;
  test::TTempEnvironment Env;
  QString Trip;
};

TEST_F(FolderList, ShowsThePathThenTheSubFoldersWithoutRecycled) {
  TDListBox list;
  list.SetDirectory(Trip);
  list.FinishReading();
  const QStringList path = Trip.mid(VolumeRootOf(Trip).size()).split('/', Qt::SkipEmptyParts);
  EXPECT_EQ(list.Item(0).Text, VolumeRootOf(Trip));
  EXPECT_EQ(Below(list), path + QStringList({"Alpha", "beta", "Recycled2", "zebra"}));
  const int current = list.CurrentFolderIndex();
  EXPECT_EQ(current, path.size());
  EXPECT_EQ(list.ItemIndex(), current);
  EXPECT_EQ(list.Item(0).Glyph, TGlyph::OpenFolder);
  EXPECT_EQ(list.Item(current - 1).Glyph, TGlyph::OpenFolder);
  EXPECT_EQ(list.Item(current).Glyph, TGlyph::CurrentFolder);
  EXPECT_EQ(list.Item(current + 1).Glyph, TGlyph::ClosedFolder);

  // Item paths: the parent, the folder itself, a sub-folder.
  EXPECT_EQ(list.ItemPath(current - 1), Env.Path() + "/Photos");
  EXPECT_EQ(list.ItemPath(current), Trip);
  EXPECT_EQ(list.ItemPath(current + 2), Trip + "/beta");
  EXPECT_EQ(list.ItemPath(0), VolumeRootOf(Trip));

  // Indents: ancestors by position, sub-folders one step deeper than the current folder.
  EXPECT_EQ(list.Item(0).Indent, 2);
  EXPECT_EQ(list.Item(current).Indent, current * 4 + 2);
  EXPECT_EQ(list.Item(current + 1).Indent, (current + 1) * 4 + 6);
  EXPECT_EQ(list.LayoutOf(list.Item(current)).TextLeft, 16 + current * 4 + 2 + 4);
}

TEST_F(FolderList, RecycledCanStillBeEnteredByPath) {
  TDListBox list;
  list.SetDirectory(Trip + "/RECYCLED");
  list.FinishReading();
  EXPECT_EQ(list.Directory(), Trip + "/RECYCLED");
  EXPECT_EQ(list.Item(list.CurrentFolderIndex()).Text, "RECYCLED");
  list.SetDirectory(".."); // relative to the current folder
  EXPECT_EQ(list.Directory(), Trip);
}

TEST_F(FolderList, OpeningAnItemMovesThereAndTheFileListFollows) {
  TDListBox list;
  TFListBox files;
  QLabel label;
  label.resize(60, 20);
  list.SetFileList(&files);
  list.SetDirLabel(&label);
  EXPECT_EQ(files.DirList(), &list);
  QSignalSpy changes(&list, &TDListBox::Change);
  list.SetDirectory(Trip);
  list.FinishReading();
  test::WriteFile(Trip + "/beta/inside.jpg", "x");
  list.SetItemIndex(list.CurrentFolderIndex() + 2);
  list.OpenCurrent();
  files.FinishReading();
  EXPECT_EQ(list.Directory(), Trip + "/beta");
  EXPECT_EQ(files.Directory(), Trip + "/beta");
  EXPECT_EQ(Texts(files), QStringList({"inside.jpg"}));
  EXPECT_EQ(QDir::currentPath(), Trip + "/beta");
  EXPECT_EQ(changes.count(), 2);
  EXPECT_TRUE(label.text().endsWith("/beta"));
  EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), 60);
  // Opening the parent item goes back up.
  list.SetItemIndex(list.CurrentFolderIndex() - 1);
  list.OpenCurrent();
  EXPECT_EQ(list.Directory(), Trip);
}

TEST_F(FolderList, AFolderThatCannotBeEnteredChangesNothing) {
  TDListBox list;
  TFListBox files;
  list.SetFileList(&files);
  list.SetDirectory(Trip);
  list.FinishReading();
  const QStringList before = Texts(list);
  EXPECT_THROW(list.SetDirectory(Trip + "/missing"), EInOutError);
  EXPECT_EQ(list.Directory(), Trip);
  EXPECT_EQ(files.Directory(), Trip);
  EXPECT_EQ(QDir::currentPath(), Trip);

  // A sub-folder removed behind the list's back: opening it says why and changes nothing.
  QDir(Trip).rmdir("zebra");
  QSignalSpy failures(&list, &TDListBox::OpenFailed);
  list.SetItemIndex(int(before.size()) - 1);
  list.OpenCurrent();
  ASSERT_EQ(failures.count(), 1);
  EXPECT_TRUE(failures[0][0].toString().contains("zebra"));
  EXPECT_EQ(Texts(list), before);
  EXPECT_EQ(list.Directory(), Trip);
}

TEST_F(FolderList, AFolderThatCannotBeReadShowsItsPathWithoutSubFolders) {
  if (test::RerunUnprivileged()) return;
  QFile::setPermissions(Trip, QFile::ExeOwner);
  TDListBox list;
  list.SetDirectory(Trip);
  list.FinishReading();
  EXPECT_EQ(list.Item(list.Count() - 1).Text, "Trip");
  EXPECT_TRUE(list.ReadError().contains("Permission denied"));
  QFile::setPermissions(Trip, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  list.Update();
  list.FinishReading();
  EXPECT_TRUE(list.ReadError().isEmpty());
  EXPECT_EQ(list.Item(list.Count() - 1).Text, "zebra");
}

} // namespace
} // namespace kestrel
