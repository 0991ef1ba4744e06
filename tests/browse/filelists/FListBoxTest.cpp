#include "browse/filelists/FListBox.h"

#include "browse/filelists/DListBox.h"
#include "platform/files/Errors.h"
#include "support/ListHelpers.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"
#include "support/Unprivileged.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::Texts;

class FileList : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    Folder = Env.Folder("pictures");
    for (const char* name :
         {"b.jpg", "A.JPG", "c.jpeg", "notes.txt", "setup.exe", ".hidden.jpg", "x.jpg.jpeg"})
      test::WriteFile(Folder + "/" + name, "x");
    QDir(Folder).mkdir("Sub");
    QDir(Folder).mkdir(".cache");
  }
  // A list on Folder, read completely.
  std::unique_ptr<TFListBox> ListOn(const QString& mask, TFileType types) {
    auto list = std::make_unique<TFListBox>();
    list->SetFileType(types);
    list->SetMask(mask);
    list->SetDirectory(Folder);
    list->FinishReading();
    return list;
  }

  test::TKeepCurrentFolder KeepFolder;
  test::TTempEnvironment Env;
  QString Folder;
};

TEST_F(FileList, TwoPatternsMakeOneSortedListAndDoubleMatchesShowTwice) {
  const auto list = ListOn("*.jpg;*.jpeg", {ftNormal});
  EXPECT_EQ(Texts(*list), QStringList({"A.JPG", "b.jpg", "c.jpeg", "x.jpg.jpeg"}));
  list->SetMask("*.jpeg;x*");
  list->FinishReading();
  EXPECT_EQ(Texts(*list), QStringList({"c.jpeg", "x.jpg.jpeg", "x.jpg.jpeg"}));
  EXPECT_EQ(list->Directory(), Folder);
  EXPECT_EQ(QDir::currentPath(), Folder); // the list works in the process's current folder
}

TEST_F(FileList, FileTypesDecideFoldersAndHiddenEntries) {
  const auto mainList = ListOn("*.jpg", {ftReadOnly, ftHidden, ftSystem, ftArchive, ftNormal});
  EXPECT_EQ(Texts(*mainList), QStringList({".hidden.jpg", "A.JPG", "b.jpg"}));

  const auto folders = ListOn("*.*", {ftDirectory});
  EXPECT_EQ(Texts(*folders), QStringList({"[..]", "[.]", "[Sub]"}));

  const auto everything = ListOn("*", {ftNormal, ftDirectory});
  EXPECT_TRUE(Texts(*everything).contains("[Sub]"));
  EXPECT_TRUE(Texts(*everything).contains("notes.txt"));
  EXPECT_FALSE(Texts(*everything).contains("[.cache]"));
}

TEST_F(FileList, GlyphsMarkProgramsFoldersAndOtherFiles) {
  const auto list = ListOn("*.exe;*.txt;S*", {ftNormal, ftDirectory});
  list->SetShowGlyphs(true);
  list->FinishReading();
  ASSERT_EQ(Texts(*list), QStringList({"[Sub]", "notes.txt", "setup.exe", "setup.exe"}));
  EXPECT_EQ(list->Item(0).Glyph, TGlyph::ClosedFolder);
  EXPECT_EQ(list->Item(1).Glyph, TGlyph::UnknownFile);
  EXPECT_EQ(list->Item(2).Glyph, TGlyph::Executable);
  EXPECT_GE(list->ItemHeight(), 17);
  EXPECT_EQ(list->LayoutOf(list->Item(0)).TextLeft, 22);
  list->SetShowGlyphs(false);
  list->FinishReading();
  EXPECT_EQ(list->Item(0).Glyph, TGlyph::None);
  EXPECT_EQ(list->LayoutOf(list->Item(0)).TextLeft, 2);
}

TEST_F(FileList, LinkedEditShowsTheSelectionOrTheMask) {
  const auto list = ListOn("*.jpg", {ftNormal});
  QLineEdit edit;
  list->SetFileEdit(&edit);
  EXPECT_EQ(edit.text(), "*.jpg");
  QSignalSpy changes(list.get(), &TFListBox::Change);
  list->SetItemIndex(1);
  list->SetSelected(1, true);
  emit list->Click();
  EXPECT_EQ(edit.text(), "b.jpg");
  EXPECT_EQ(edit.selectedText(), "b.jpg");
  EXPECT_EQ(list->FileName(), Folder + "/b.jpg");
  emit list->Click(); // same item: no second change
  EXPECT_EQ(changes.count(), 1);
}

TEST_F(FileList, SettingAFileNameSelectsItOrChangesTheMask) {
  const auto list = ListOn("*.jpg", {ftNormal});
  list->SetFileName(Folder + "/b.jpg");
  list->FinishReading();
  EXPECT_EQ(list->SelectedName(), "b.jpg");

  list->SetFileName("*.jpeg");
  list->FinishReading();
  EXPECT_EQ(list->Mask(), "*.jpeg");

  // Present on disk but hidden by the mask: the name becomes the mask.
  list->SetFileName("notes.txt");
  test::WaitUntil([&] { return !list->Reading() && list->SelectedName() == "notes.txt"; });
  EXPECT_EQ(list->Mask(), "notes.txt");
  EXPECT_EQ(list->SelectedName(), "notes.txt");

  EXPECT_THROW(list->SetFileName(Folder + "/missing.jpg"), EInvalidOperation);
}

TEST_F(FileList, ANewerReadSupersedesAnOlderOne) {
  const QString other = Env.Folder("other");
  test::WriteFile(other + "/only.jpg", "x");
  TBackgroundRead::SetWaitBudget(0);
  TFListBox list;
  list.SetMask("*.jpg");
  QStringList seen;
  list.SetDirectory(Folder);
  list.WhenRead([&](bool) { seen << list.Directory() + ":" + Texts(list).join(","); });
  list.SetDirectory(other);
  list.WhenRead([&](bool) { seen << list.Directory() + ":" + Texts(list).join(","); });
  ASSERT_TRUE(test::WaitUntil([&] { return !list.Reading(); }));
  TBackgroundRead::SetWaitBudget(60);
  // Each callback saw the folder it waited for, complete.
  for (const QString& line : seen)
    EXPECT_TRUE(line == Folder + ":A.JPG,b.jpg" || line == other + ":only.jpg")
        << line.toStdString();
  EXPECT_EQ(seen.last(), other + ":only.jpg");
  EXPECT_EQ(Texts(list), QStringList({"only.jpg"}));
}

TEST_F(FileList, AFolderRemovedBehindTheListsBackEmptiesItOnTheNextRead) {
  const auto list = ListOn("*.jpg", {ftNormal});
  ASSERT_EQ(list->Count(), 2);
  QSignalSpy failures(list.get(), &TFListBox::ReadFailed);
  QDir::setCurrent(Env.Path());
  QDir(Folder).removeRecursively();
  list->ReadFileNames();
  list->FinishReading();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(failures.count(), 1);
  bool done = false;
  list->WhenRead([&](bool ok) { done = !ok; });
  EXPECT_TRUE(done);
}

TEST_F(FileList, AFolderThatCannotBeReadLeavesAnEmptyListAndSaysWhy) {
  if (test::RerunUnprivileged()) return;
  const QString locked = Env.Folder("locked");
  test::WriteFile(locked + "/a.jpg", "x");
  QFile::setPermissions(locked, QFile::ExeOwner); // can be entered, not read
  TFListBox list;
  QSignalSpy failures(&list, &TFListBox::ReadFailed);
  list.SetDirectory(locked);
  list.FinishReading();
  EXPECT_EQ(list.Count(), 0);
  ASSERT_EQ(failures.count(), 1);
  EXPECT_TRUE(failures[0][0].toString().contains("Permission denied"));
  EXPECT_FALSE(list.ReadError().isEmpty());
  QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
} // namespace kestrel
