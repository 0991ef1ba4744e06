// The file commands through the real window: copy and move with the copy/move dialog, the Trash,
// folders, paths through the clipboard and the rename window. The dialog is answered by the test;
// message boxes are recorded and answered with Answer.

#include "app/filecommands/FileCommands.h"
#include "app/saveas/SaveImageAs.h"
#include "browse/find/FindHost.h"
#include "browse/index/Thumbs.h"
#include "desktop/rename/RenameDialog.h"
#include "platform/ui/SaveDialog.h"
#include "support/MainWindowFixture.h"
#include "support/PrivateVolume.h"
#include "support/Unprivileged.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>

namespace kestrel {
namespace {

using test::FileBytes;
using test::WriteFile;

class FileCommands : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Pictures = Env.Folder("Pictures");
    Target = Env.Folder("Target");
    for (const char* name : {"a.jpg", "b.png", "c.bmp"})
      WriteFile(Pictures + "/" + name, QByteArray("bytes of ") + name);
    PreviousDialog = SetSaveDialogHandler([this](const TSaveDialogRequest& request) {
      Requests.push_back(request);
      RefreshDuringDialog = Windows.back()->FileviewUpdate;
      return TSaveDialogAnswer{!Chosen.isEmpty(), Chosen, 1};
    });
  }
  void TearDown() override {
    SetSaveDialogHandler(PreviousDialog);
    MainWindowFixture::TearDown();
  }
  TKestrelMain* Showing(const QString& folder) {
    TKestrelMain* main = Start({folder});
    if (main) Settle(main);
    return main;
  }
  static void Settle(TKestrelMain* main) {
    main->FListBox1->FinishReading();
    main->DListBox1->FinishReading();
    QApplication::processEvents();
    main->WaitForPicture();
  }
  // Selects the named files of the list and gives it the focus.
  static void Select(TKestrelMain* main, const QStringList& names) {
    main->FListBox1->clearSelection();
    for (const QString& name : names) {
      const int index = main->FListBox1->IndexOfText(name);
      ASSERT_GE(index, 0) << name.toStdString();
      if (name == names.first()) main->FListBox1->SetItemIndex(index);
      main->FListBox1->SetSelected(index, true);
    }
    main->FListBox1->setFocus();
  }
  static QStringList SelectedNames(TKestrelMain* main) {
    QStringList names;
    for (int i = 0; i < main->FListBox1->Count(); ++i)
      if (main->FListBox1->Selected(i)) names << main->FListBox1->Item(i).Name;
    return names;
  }
  static QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
  QStringList Captions() const {
    QStringList captions;
    for (const TMessageRequest& message : Messages)
      captions << message.Caption;
    return captions;
  }

  QString Pictures, Target;
  QString Chosen; // the dialog's answer; empty cancels it
  std::vector<TSaveDialogRequest> Requests;
  bool RefreshDuringDialog = true;
  TSaveDialogHandler PreviousDialog;
};

TEST_F(FileCommands, OneFileCopiedOntoAnExistingNameReplacesItButNeverItself) {
  TKestrelMain* main = Showing(Pictures);
  ASSERT_NE(main, nullptr);
  WriteFile(Target + "/old.jpg", "an older, longer file");
  Select(main, {"a.jpg"});
  Chosen = Target + "/old.jpg"; // a copy can rename; the dialog asked about replacing
  main->Copy1Click();
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Title, "Copy File");
  EXPECT_EQ(Requests[0].FileName, "a.jpg");
  EXPECT_TRUE(Requests[0].ConfirmOverwrite);
  EXPECT_TRUE(Requests[0].Filter.startsWith("All Kestrel Image Files|*.bmp;"));
  EXPECT_FALSE(RefreshDuringDialog);
  EXPECT_EQ(FileBytes(Target + "/old.jpg"), "bytes of a.jpg");
  EXPECT_EQ(FileBytes(Pictures + "/a.jpg"), "bytes of a.jpg");
  EXPECT_EQ(FilesIn(Target), QStringList({"old.jpg"}));
  EXPECT_EQ(Stored("SaveDialog", "Initial Dir"), Target);
  EXPECT_EQ(main->CopyMoveTarget, Target);
  EXPECT_TRUE(main->FileviewUpdate);

  // Onto itself, however the user answered: refused, and the file is as it was.
  Answer = TMsgResult::Yes;
  Chosen = Pictures + "/a.jpg";
  main->Copy1Click();
  Settle(main);
  EXPECT_EQ(FileBytes(Pictures + "/a.jpg"), "bytes of a.jpg");
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Kestrel!: Copy/Move Error 17");
  EXPECT_EQ(FilesIn(Pictures), QStringList({"a.jpg", "b.png", "c.bmp"}));
  EXPECT_EQ(Requests[1].InitialDir, Target);
}

TEST_F(FileCommands, SeveralFilesNeverReplaceAndEachTakenNameAsksOnce) {
  TKestrelMain* main = Showing(Pictures);
  ASSERT_NE(main, nullptr);
  WriteFile(Target + "/b.png", "already there");
  Select(main, {"a.jpg", "b.png", "c.bmp"});
  Chosen = Target + "/a.jpg";
  Answer = TMsgResult::Yes;
  main->Copy1Click();
  EXPECT_FALSE(Requests[0].ConfirmOverwrite);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Kestrel!: Copy/Move Error 17");
  EXPECT_EQ(Messages[0].Text, "File b.png Already Exists in Destination Folder\r"
                              " Do you wish to Copy Any Remaining Files?");
  EXPECT_EQ(FileBytes(Target + "/b.png"), "already there");
  EXPECT_EQ(FileBytes(Target + "/c.bmp"), "bytes of c.bmp");

  // No stops: the third file stays where it is.
  for (const char* name : {"a.jpg", "c.bmp"})
    QFile::remove(Target + "/" + name);
  Answer = TMsgResult::No;
  Settle(main);
  Select(main, {"a.jpg", "b.png", "c.bmp"});
  main->Move1Click();
  Settle(main);
  EXPECT_EQ(Messages.size(), 2u);
  EXPECT_EQ(FilesIn(Target), QStringList({"a.jpg", "b.png"}));
  EXPECT_EQ(FileBytes(Target + "/b.png"), "already there");
  EXPECT_EQ(FilesIn(Pictures), QStringList({"b.png", "c.bmp"}));
  // The list follows the move; the first selected place now holds the next file.
  EXPECT_EQ(test::Texts(*main->FListBox1), QStringList({"b.png", "c.bmp"}));
  EXPECT_EQ(SelectedNames(main), QStringList({"b.png"}));
}

TEST_F(FileCommands, AFileThatCannotBeReadAsksAboutAccess) {
  if (test::RerunUnprivileged()) return;
  TKestrelMain* main = Showing(Pictures);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(QFile::setPermissions(Pictures + "/b.png", QFileDevice::Permissions()));
  Select(main, {"a.jpg", "b.png", "c.bmp"});
  Chosen = Target + "/a.jpg";
  Answer = TMsgResult::Yes;
  main->Copy1Click();
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Kestrel!: Copy/Move Error 13");
  EXPECT_EQ(Messages[0].Text, "File b.png Access Denied. File may be write protected\r"
                              " Do you wish to Copy Any Remaining Files?");
  EXPECT_EQ(FilesIn(Target), QStringList({"a.jpg", "c.bmp"}));
}

TEST_F(FileCommands, MovesCrossVolumesAndAFailedCopyKeepsTheSource) {
  KESTREL_WITH_PRIVATE_VOLUME("64k");
  const QString volume = test::PrivateVolume();
  WriteFile(volume + "/d.jpg", "on the small volume");
  TKestrelMain* main = Showing(volume);
  ASSERT_NE(main, nullptr);
  Select(main, {"d.jpg"});
  Chosen = Pictures + "/d.jpg";
  main->Move1Click();
  Settle(main);
  EXPECT_EQ(FileBytes(Pictures + "/d.jpg"), "on the small volume");
  EXPECT_TRUE(FilesIn(volume).isEmpty());
  EXPECT_TRUE(Messages.empty());

  // Into the full volume: the copy fails, the source stays whole and nothing is left there.
  const QByteArray big(100 << 10, 'x');
  WriteFile(Pictures + "/big.jpg", big);
  main->DListBox1->SetDirectory(Pictures);
  Settle(main);
  Select(main, {"big.jpg", "d.jpg"});
  Chosen = volume + "/big.jpg";
  Answer = TMsgResult::Yes;
  main->Move1Click();
  Settle(main);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Kestrel!: Copy/Move Error 28");
  EXPECT_EQ(FileBytes(Pictures + "/big.jpg"), big);
  EXPECT_EQ(FilesIn(volume), QStringList({"d.jpg"}));
}

TEST_F(FileCommands, DeletedFilesGoToTheTrashAndTheListMovesOn) {
  TKestrelMain* main = Showing(Pictures);
  ASSERT_NE(main, nullptr);
  main->show();
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  Select(main, {"a.jpg", "b.png"});
  main->Timer1Timer();
  // Answered No: nothing goes, the selection stays.
  QTest::keyClick(main->FListBox1, Qt::Key_Delete);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Text, "Are you sure you want to move these 2 items to the Trash?");
  EXPECT_EQ(FilesIn(Pictures).size(), 3);
  EXPECT_EQ(SelectedNames(main), QStringList({"a.jpg", "b.png"}));

  Answer = TMsgResult::Yes;
  QTest::keyClick(main->FListBox1, Qt::Key_Delete);
  Settle(main);
  const QString trash = Env.DataHome() + "/Trash";
  EXPECT_EQ(FilesIn(trash + "/files"), QStringList({"a.jpg", "b.png"}));
  EXPECT_EQ(FilesIn(trash + "/info"), QStringList({"a.jpg.trashinfo", "b.png.trashinfo"}));
  EXPECT_EQ(FilesIn(Pictures), QStringList({"c.bmp"}));
  EXPECT_EQ(SelectedNames(main), QStringList({"c.bmp"}));
  EXPECT_TRUE(main->FileviewUpdate);

  // The last file: nothing is left to select.
  main->Timer1Timer();
  QTest::keyClick(main->FListBox1, Qt::Key_Delete);
  Settle(main);
  EXPECT_EQ(main->FListBox1->Count(), 0);
  EXPECT_TRUE(SelectedNames(main).isEmpty());
  EXPECT_EQ(FilesIn(trash + "/files").size(), 3);
}

TEST_F(FileCommands, TheFindWindowsHitsAreCopiedMovedAndTrashedIntoTheShownFolder) {
  TKestrelMain* main = Showing(Target);
  ASSERT_NE(main, nullptr);
  WriteFile(Target + "/b.png", "taken");
  const QStringList hits = {Pictures + "/a.jpg", Pictures + "/b.png"};
  // A taken name is never replaced: its question is answered No, which stops the rest.
  EXPECT_EQ(main->TransferFound(TFindTransferKind::Copy, hits, Target), QStringList(hits[0]));
  EXPECT_EQ(FileBytes(Target + "/b.png"), "taken");
  Settle(main);
  EXPECT_EQ(main->FListBox1->Count(), 2);
  EXPECT_EQ(main->TransferFound(TFindTransferKind::Move, {Pictures + "/c.bmp"}, Target),
            QStringList(Pictures + "/c.bmp"));
  EXPECT_EQ(FilesIn(Pictures), QStringList({"a.jpg", "b.png"}));
  EXPECT_EQ(FilesIn(Target), QStringList({"a.jpg", "b.png", "c.bmp"}));
  // Answered No, nothing goes to the Trash.
  EXPECT_TRUE(main->TransferFound(TFindTransferKind::Trash, hits, {}).isEmpty());
  Answer = TMsgResult::Yes;
  EXPECT_EQ(main->TransferFound(TFindTransferKind::Trash, hits, {}), hits);
  EXPECT_TRUE(FilesIn(Pictures).isEmpty());
}

TEST_F(FileCommands, FoldersAreMadeNumberedAndOnlyEmptyOnesRemoved) {
  TKestrelMain* main = Showing(Pictures);
  ASSERT_NE(main, nullptr);
  main->NewFolder2Click();
  EXPECT_TRUE(QFileInfo(Pictures + "/New Folder").isDir());
  TRenameDialog* rename = main->RenameDialog1;
  EXPECT_TRUE(rename->isVisible());
  EXPECT_EQ(rename->Mode(), TRenameDialog::mdFolder);
  EXPECT_EQ(rename->Target(), Pictures + "/New Folder");
  EXPECT_EQ(rename->Edit1->text(), "New Folder");
  EXPECT_FALSE(main->FileviewUpdate) << "the lists wait for the name";
  rename->close();
  EXPECT_TRUE(main->FileviewUpdate);

  main->DListBox1->SetDirectory(Pictures);
  Settle(main);
  main->NewFolder2Click();
  EXPECT_EQ(rename->Target(), Pictures + "/New Folder (1)");
  EXPECT_EQ(main->DListBox1->ItemPath(main->DListBox1->ItemIndex()), Pictures + "/New Folder (1)");
  rename->Edit1->setText("trip");
  rename->Button1Click();
  rename->close();
  EXPECT_TRUE(QFileInfo(Pictures + "/trip").isDir());
  EXPECT_EQ(main->DListBox1->ItemPath(main->DListBox1->ItemIndex()), Pictures + "/trip");

  // A folder with something in it stays, and says why.
  WriteFile(Pictures + "/trip/x.jpg", "x");
  main->DListBox1->setFocus();
  main->Delete1Click();
  ASSERT_EQ(Messages.size(), 1u) << Captions().join(" | ").toStdString() << " "
                                 << Messages.back().Text.toStdString();
  EXPECT_EQ(Messages[0].Text, "Error Folder Not Empty 1\nError : 39");
  EXPECT_TRUE(QFileInfo(Pictures + "/trip/x.jpg").exists());

  // The folder shown, once empty, goes, and the lists show its parent.
  const QString empty = Env.Folder("Pictures/New Folder");
  main->DListBox1->SetDirectory(empty);
  Settle(main);
  main->RemoveFolder1Click();
  Settle(main);
  EXPECT_FALSE(QFileInfo::exists(empty));
  EXPECT_EQ(main->DListBox1->Directory(), Pictures);
  EXPECT_EQ(main->FListBox1->Directory(), Pictures);
  // Removed by the program itself: the watch that ends with it is no error to tell.
  EXPECT_TRUE(test::WaitUntil([&] { return main->Watcher->Watching() == Pictures; }));
  EXPECT_EQ(Captions(), QStringList({"Kestrel!"}));
}

TEST_F(FileCommands, PathsGoToTheClipboardAndComeBackAsTargets) {
  TKestrelMain* main = Showing(Env.Folder("my pictures"));
  ASSERT_NE(main, nullptr);
  WriteFile(Env.Path() + "/my pictures/a b.jpg", "x");
  main->FileListRefresh();
  Settle(main);
  Select(main, {"a b.jpg"});
  main->ClipAsDos2Click();
  const QString dos = QGuiApplication::clipboard()->text();
  EXPECT_EQ(dos, QString(Env.Path() + "/my pictures/a b.jpg").replace('/', '\\'));
  main->SaveToPathClick();
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Target Folder for Copy/Move will be:");
  EXPECT_EQ(Messages[0].Text, Env.Path() + "/my pictures");
  EXPECT_EQ(main->CopyMoveTarget, Env.Path() + "/my pictures");

  // A file manager's copied file list: the first file counts.
  auto* list = new QMimeData;
  list->setUrls({QUrl::fromLocalFile(Target), QUrl::fromLocalFile(Pictures)});
  QGuiApplication::clipboard()->setMimeData(list);
  main->SaveAsDialog1Click();
  EXPECT_EQ(main->ImageSave->InitialDir, Target);

  QGuiApplication::clipboard()->setText(Env.Path() + "/nowhere");
  main->SaveToPathClick();
  EXPECT_EQ(Messages.back().Text, "Path Not Found");
  main->ClipAsUnix1Click(); // the folder list's current folder
  EXPECT_EQ(QGuiApplication::clipboard()->text(), Env.Path() + "/my pictures");

  // The Picture Index Maker's browse folder: a pasted file also proposes its name; the folder
  // list's item clears it.
  QGuiApplication::clipboard()->setText(Env.Path() + "/my pictures/a b.jpg");
  main->ThumbsDialog2Click();
  EXPECT_EQ(Messages.back().Caption, "Picture Index Maker will \"Browse for Backgrounds\" here:");
  EXPECT_EQ(main->IndexMaker().BrowseFolder(), Env.Path() + "/my pictures");
  EXPECT_EQ(main->IndexMaker().BrowseName(), "a b.jpg");
  main->ThumbsDialog1Click();
  EXPECT_EQ(main->IndexMaker().BrowseFolder(), Env.Path() + "/my pictures");
  EXPECT_EQ(main->IndexMaker().BrowseName(), "");

  // "Switch Folders" trades the shown folder for the target.
  main->CopyMoveTarget = Pictures;
  main->SwitchFolders1Click();
  EXPECT_EQ(main->DListBox1->Directory(), Pictures);
  EXPECT_EQ(main->CopyMoveTarget, Env.Path() + "/my pictures");
}

TEST_F(FileCommands, TheRenameWindowRenamesASeriesAndNeverOverAnotherFile) {
  for (const char* name : {"photo012.jpg", "x.png", "y.jpg"})
    WriteFile(Pictures + "/" + name, "x");
  TKestrelMain* main = Showing(Pictures);
  ASSERT_NE(main, nullptr);
  TRenameDialog* rename = main->RenameDialog1;
  // Nothing selected: the window opens with nothing to rename, and renames nothing.
  main->FListBox1->clearSelection();
  main->FListBox1->setFocus();
  main->Rename1Click();
  rename->Button1Click();
  EXPECT_EQ(FilesIn(Pictures).size(), 6);

  Select(main, {"photo012.jpg"});
  main->Rename1Click();
  EXPECT_EQ(rename->windowTitle(), "Rename Image File");
  EXPECT_EQ(rename->Edit2->text(), "photo");
  EXPECT_EQ(rename->Edit3->text(), "012");
  EXPECT_EQ(rename->Edit4->text(), "jpg");
  rename->CheckBox1->click();
  rename->Autoincrement1->setChecked(true);
  rename->Edit2->setText("trip");
  rename->Button1Click();
  Settle(main);
  EXPECT_TRUE(QFileInfo::exists(Pictures + "/trip012.jpg"));
  EXPECT_EQ(rename->Edit3->text(), "013");
  EXPECT_EQ(SelectedNames(main), QStringList({"trip012.jpg"}));

  // The next of the series keeps its own extension.
  Select(main, {"x.png"});
  emit main->FListBox1->Click();
  EXPECT_EQ(rename->Edit4->text(), "png");
  rename->Edit3->setText("099");
  rename->Button1Click();
  Settle(main);
  EXPECT_TRUE(QFileInfo::exists(Pictures + "/trip099.png"));
  EXPECT_EQ(rename->Edit3->text(), "100");

  // A name that is taken, or that cannot be, changes nothing and says so in the caption.
  Select(main, {"y.jpg"});
  emit main->FListBox1->Click();
  rename->CheckBox1->click();
  for (const char* name : {"a.jpg", "..", "sub/y.jpg", ""}) {
    QTest::keyClick(rename->Edit1, Qt::Key_End); // a key brings the caption back
    ASSERT_EQ(rename->windowTitle(), "Rename Image File");
    rename->Edit1->setText(name);
    rename->Button1Click();
    EXPECT_NE(rename->windowTitle(), "Rename Image File") << name;
  }
  rename->Edit1->setText("a.jpg");
  rename->Button1Click();
  EXPECT_EQ(rename->windowTitle(), "Name Already Exists");
  EXPECT_EQ(FileBytes(Pictures + "/a.jpg"), "bytes of a.jpg");
  EXPECT_TRUE(QFileInfo::exists(Pictures + "/y.jpg"));
  QTest::keyClick(rename->Edit1, Qt::Key_B);
  EXPECT_EQ(rename->windowTitle(), "Rename Image File");
  // Keys that have no place in a portable name are not typed.
  rename->Edit1->clear();
  QTest::keyClicks(rename->Edit1, "a:b*?");
  EXPECT_EQ(rename->Edit1->text(), "ab");
}

TEST_F(FileCommands, TheCommandsFollowTheActiveListAlsoWhileTheirMenuIsOpen) {
  TKestrelMain* main = Showing(Pictures);
  ASSERT_NE(main, nullptr);
  main->show();
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  TCommandSet& commands = main->Commands();
  main->FListBox1->setFocus();
  QMenu* menu = commands.Menu("&File");
  menu->popup(main->mapToGlobal(QPoint(0, 0)));
  ASSERT_TRUE(test::WaitUntil([&] { return menu->isVisible(); }));
  main->Timer1Timer();
  for (const char* name : {"Copy1", "Move1", "Delete1", "Rename1"})
    EXPECT_TRUE(commands.Action(name)->isEnabled()) << name;
  menu->close();
  // Alt gives the keys to the menu bar; the list stays the control the commands act on.
  main->menuBar()->setFocus();
  main->Timer1Timer();
  EXPECT_TRUE(commands.Action("Copy1")->isEnabled());
  main->DListBox1->setFocus();
  main->Timer1Timer();
  EXPECT_FALSE(commands.Action("Copy1")->isEnabled());
  EXPECT_TRUE(commands.Action("Delete1")->isEnabled());
  // Ctrl and a click on a folder offers it as the copy/move target.
  const QRect item = main->DListBox1->visualRect(main->DListBox1->model()->index(1, 0));
  QTest::mouseClick(main->DListBox1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                    item.center());
  ASSERT_FALSE(Messages.empty());
  EXPECT_EQ(Messages.back().Caption, "Target Folder for Copy/Move will be:");
  EXPECT_EQ(main->CopyMoveTarget, main->DListBox1->ItemPath(1));
}

TEST_F(FileCommands, ShortcutsOnTheCommandLineShowTheirTargets) {
  ASSERT_TRUE(QFile::link(Pictures + "/b.png", Env.Path() + "/link.png"));
  TKestrelMain* main = Showing(Env.Path() + "/link.png");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->DListBox1->Directory(), Pictures);
  EXPECT_EQ(SelectedNames(main), QStringList({"b.png"}));

  WriteFile(Env.Path() + "/pics.desktop",
            "[Desktop Entry]\nType=Link\nURL=" + QUrl::fromLocalFile(Target).toEncoded() + "\n");
  main->AcceptFile(Env.Path() + "/pics.desktop");
  Settle(main);
  EXPECT_EQ(main->DListBox1->Directory(), Target);
  EXPECT_TRUE(Messages.empty());
}

} // namespace
} // namespace kestrel
