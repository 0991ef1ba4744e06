#include "../view/ViewTestSupport.h"
#include "app/saveas/SaveImageAs.h"
#include "app/watcher/FilterMask.h"
#include "app/watcher/StatusLine.h"
#include "browse/filelists/BackgroundRead.h"
#include "browse/filelists/DCombobox.h"
#include "support/MainWindowFixture.h"
#include "support/Unprivileged.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStorageInfo>
#include <QTest>

#include <cerrno>
#include <cstring>

namespace kestrel {
namespace {

// The main window's file view following the disk. Changes are made the way another program makes
// them, and each wait has a deadline of several seconds.
class FollowTheDisk : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Shown = Env.Folder("Pictures");
    for (const char* name : {"a.bmp", "c.png"})
      test::WriteFile(Shown + "/" + name, "x");
  }
  // A started window showing folder, once its watch is open there.
  TKestrelMain* ShowingFolder(const QString& folder) {
    TKestrelMain* main = Start();
    if (!main) return nullptr;
    main->DListBox1->SetDirectory(folder);
    Settle(main);
    EXPECT_TRUE(test::WaitUntil([&] { return main->Watcher->Watching() == folder; }));
    return main;
  }
  static void Settle(TKestrelMain* main) {
    main->FListBox1->FinishReading();
    main->DListBox1->FinishReading();
    main->WaitForPicture();
    QApplication::processEvents();
  }
  static QStringList Files(TKestrelMain* main) { return test::Texts(*main->FListBox1); }
  static QStringList SelectedNames(TKestrelMain* main) {
    QStringList names;
    for (int i = 0; i < main->FListBox1->Count(); ++i)
      if (main->FListBox1->Selected(i)) names << main->FListBox1->Item(i).Name;
    return names;
  }
  static bool Lists(TKestrelMain* main, const QString& name) {
    return test::Texts(*main->FListBox1).contains(name);
  }
  static void Idle(int milliseconds) {
    test::WaitUntil([] { return false; }, milliseconds);
  }
  static void Trigger(TKestrelMain* main, const char* command) {
    main->Commands().Action(command)->trigger();
  }
  // A file made elsewhere and copied in, as a file manager does.
  void CopyIn(const QString& name, const QByteArray& bytes = "x") {
    const QString source = Env.Folder("elsewhere") + "/" + name;
    test::WriteFile(source, bytes);
    ASSERT_TRUE(QFile::copy(source, Shown + "/" + name));
  }
  QStringList WatchMessages() const {
    QStringList texts;
    for (const TMessageRequest& message : Messages)
      if (message.Text.startsWith("Bad Change Notification Handle: ")) texts << message.Text;
    return texts;
  }

  QString Shown;
};

TEST_F(FollowTheDisk, AFileCopiedInJoinsTheListWithoutMovingTheSelectionOrThePicture) {
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  main->AcceptFile(Shown + "/c.png");
  Settle(main);
  ASSERT_EQ(main->CurrentPicture, Shown + "/c.png");
  CopyIn("b.jpg");
  EXPECT_TRUE(test::WaitUntil([&] { return Lists(main, "b.jpg"); }));
  EXPECT_EQ(Files(main), QStringList({"a.bmp", "b.jpg", "c.png"}));
  EXPECT_EQ(SelectedNames(main), QStringList({"c.png"}));
  EXPECT_EQ(main->CurrentPicture, Shown + "/c.png");
  EXPECT_FALSE(main->Watcher->FilesChanged());
  // A file the mask leaves out changes nothing visible, and a sub-folder shows in the folder list.
  CopyIn("notes.txt");
  Env.Folder("Pictures/trip");
  EXPECT_TRUE(test::WaitUntil([&] { return test::Texts(*main->DListBox1).contains("trip"); }));
  EXPECT_EQ(Files(main), QStringList({"a.bmp", "b.jpg", "c.png"}));
  EXPECT_TRUE(WatchMessages().isEmpty());
}

TEST_F(FollowTheDisk, StopFileviewUpdateHoldsRefreshesUntilItIsUnchecked) {
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  Trigger(main, "StopUpdate2");
  EXPECT_FALSE(main->FileviewUpdate);
  EXPECT_TRUE(main->Commands().Action("StopUpdate1")->isChecked());
  CopyIn("held.png");
  // The watcher has seen it (it sets the flag before asking for the refresh).
  ASSERT_TRUE(test::WaitUntil([&] { return main->Watcher->FilesChanged(); }));
  Idle(300);
  EXPECT_FALSE(Lists(main, "held.png"));

  // The pop-up's item is the same switch; unchecking refreshes at once.
  Trigger(main, "StopUpdate1");
  EXPECT_TRUE(main->FileviewUpdate);
  EXPECT_FALSE(main->Commands().Action("StopUpdate2")->isChecked());
  Settle(main);
  EXPECT_TRUE(Lists(main, "held.png"));
  EXPECT_FALSE(main->Watcher->FilesChanged());
}

TEST_F(FollowTheDisk, ARestoreAfterChangesRefreshesTheList) {
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  Trigger(main, "StopUpdate2");
  CopyIn("meanwhile.png");
  ASSERT_TRUE(test::WaitUntil([&] { return main->Watcher->FilesChanged(); }));
  QWindowStateChangeEvent restored(Qt::WindowMinimized);
  QApplication::sendEvent(main, &restored);
  Settle(main);
  EXPECT_TRUE(Lists(main, "meanwhile.png"));
  EXPECT_FALSE(main->Watcher->FilesChanged());
}

TEST_F(FollowTheDisk, ADeletedFolderMovesTheListsToItsParentAndTheWatchFollows) {
  const QString parent = Env.Folder("Pictures/trip");
  const QString gone = Env.Folder("Pictures/trip/day1");
  test::WriteFile(gone + "/x.png", "x");
  test::WriteFile(parent + "/kept.png", "x");
  TKestrelMain* main = ShowingFolder(gone);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(QDir(gone).removeRecursively());
  EXPECT_TRUE(test::WaitUntil([&] { return main->DListBox1->Directory() == parent; }));
  EXPECT_TRUE(test::WaitUntil([&] { return main->Watcher->Watching() == parent; }));
  Settle(main);
  EXPECT_EQ(Files(main), QStringList({"kept.png"}));
  ASSERT_EQ(WatchMessages().size(), 1);
  EXPECT_TRUE(WatchMessages().first().contains("\rWinError= 2\r"));
  // The watch on the parent works: a new file there shows.
  test::WriteFile(parent + "/new.png", "x");
  EXPECT_TRUE(test::WaitUntil([&] { return Lists(main, "new.png"); }));

  // An empty folder that goes: no file name changes in it, only its own name in the parent.
  const QString empty = Env.Folder("Pictures/trip/day2");
  main->DListBox1->SetDirectory(empty);
  Settle(main);
  ASSERT_TRUE(test::WaitUntil([&] { return main->Watcher->Watching() == empty; }));
  ASSERT_TRUE(QDir().rmdir(empty));
  EXPECT_TRUE(test::WaitUntil([&] { return main->DListBox1->Directory() == parent; }));
  EXPECT_TRUE(test::WaitUntil([&] { return main->Watcher->Watching() == parent; }));
  EXPECT_EQ(WatchMessages().size(), 2);
}

TEST_F(FollowTheDisk, AFolderThatCannotBeReadIsToldOnceAndNeverBringsItDown) {
  if (test::RerunUnprivileged()) return;
  const QString closed = Env.Folder("Pictures/closed");
  test::WriteFile(closed + "/secret.png", "x");
  // It can be entered, not read.
  ASSERT_TRUE(QFile::setPermissions(closed, QFile::WriteOwner | QFile::ExeOwner));
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  main->DListBox1->SetDirectory(closed);
  Settle(main);
  EXPECT_EQ(main->FListBox1->Count(), 0);
  ASSERT_TRUE(test::WaitUntil([&] { return !WatchMessages().isEmpty(); }));
  EXPECT_EQ(WatchMessages().first(), "Bad Change Notification Handle: 1\r" + closed +
                                         "\rWinError= 13\r" +
                                         QString::fromLocal8Bit(std::strerror(EACCES)));
  // Tried again each second, told once.
  EXPECT_TRUE(test::WaitUntil([&] { return main->Watcher->Rounds() >= 3; }));
  EXPECT_EQ(WatchMessages().size(), 1);
  // A refresh keeps the lists where they are.
  main->FileListRefresh();
  Settle(main);
  EXPECT_EQ(main->DListBox1->Directory(), closed);
  QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(FollowTheDisk, AnEditedPictureStaysAndTheFileItWasSavedToIsSelected) {
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  Trigger(main, "StopUpdate2"); // the refreshes here are the test's own
  main->AcceptFile(Shown + "/a.bmp");
  Settle(main);
  main->ImageModified = true;
  main->ImageSave->LastSavedPath = Shown + "/saved.png";
  test::WriteFile(main->ImageSave->LastSavedPath, "x");
  main->FileListRefresh();
  Settle(main);
  EXPECT_EQ(SelectedNames(main), QStringList({"saved.png"}));
  EXPECT_EQ(main->CurrentPicture, Shown + "/a.bmp");

  // Saved elsewhere: the list keeps its place, and the edited picture is not replaced even when
  // its file is gone.
  main->ImageModified = false;
  main->ImageKind = 16;
  main->ImageSave->LastSavedPath = Env.Folder("other") + "/saved.png";
  main->FListBox1->clearSelection();
  main->FListBox1->SetItemIndex(0);
  QFile::remove(Shown + "/a.bmp");
  main->FileListRefresh();
  Settle(main);
  EXPECT_EQ(SelectedNames(main), QStringList({"c.png"}));
  EXPECT_EQ(main->CurrentPicture, Shown + "/a.bmp");
}

TEST_F(FollowTheDisk, AFileChosenWhileARefreshReadsTheFolderStaysChosen) {
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  Trigger(main, "StopUpdate2"); // the refreshes here are the test's own
  main->AcceptFile(Shown + "/a.bmp");
  Settle(main);
  const int budget = TBackgroundRead::WaitBudget();
  TBackgroundRead::SetWaitBudget(0); // the read ends after the choice below
  main->FileListRefresh();
  ASSERT_TRUE(main->FListBox1->Reading());
  main->FListBox1->clearSelection();
  main->FListBox1->SetItemIndex(1);
  main->LoadPicture(Shown + "/c.png");
  Settle(main);
  TBackgroundRead::SetWaitBudget(budget);
  EXPECT_EQ(SelectedNames(main), QStringList({"c.png"}));
  EXPECT_EQ(main->CurrentPicture, Shown + "/c.png");
}

TEST_F(FollowTheDisk, AnUneditedPictureFollowsTheListWhenItsFileGoes) {
  test::WriteFile(Shown + "/b.gif", "x");
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  main->AcceptFile(Shown + "/b.gif");
  Settle(main);
  ASSERT_EQ(main->CurrentPicture, Shown + "/b.gif");
  ASSERT_TRUE(QFile::remove(Shown + "/b.gif"));
  // The same place in the list is now c.png, and the view shows it.
  EXPECT_TRUE(test::WaitUntil([&] { return main->CurrentPicture == Shown + "/c.png"; }));
  EXPECT_EQ(SelectedNames(main), QStringList({"c.png"}));
}

TEST_F(FollowTheDisk, AllFilesModeTakesItsMaskFromTheFilterText) {
  test::WriteFile(Shown + "/jpg-notes.txt", "x");
  test::WriteFile(Shown + "/c.jpg", "x");
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  main->show();
  EXPECT_EQ(Files(main), QStringList({"a.bmp", "c.jpg", "c.png"}));

  Trigger(main, "AllFiles1");
  Settle(main);
  EXPECT_TRUE(main->Edit1->isVisible());
  EXPECT_EQ(main->Edit1->text(), "*.*");
  EXPECT_EQ(main->FListBox1->Mask(), "*.*;");
  EXPECT_EQ(Files(main), QStringList({"a.bmp", "c.jpg", "c.png", "jpg-notes.txt"}));

  main->Edit1->setText("jpg");
  Settle(main);
  EXPECT_EQ(main->FListBox1->Mask(), "*jpg*;");
  EXPECT_EQ(Files(main), QStringList({"c.jpg", "jpg-notes.txt"}));

  QTest::mouseDClick(main->Edit1, Qt::LeftButton);
  EXPECT_FALSE(main->Edit1->isVisible());
  QTest::mouseDClick(main->Label1, Qt::LeftButton);
  EXPECT_TRUE(main->Edit1->isVisible());

  Trigger(main, "AllFiles1");
  Settle(main);
  EXPECT_FALSE(main->Edit1->isVisible());
  EXPECT_EQ(Files(main), QStringList({"a.bmp", "c.jpg", "c.png"}));
  // Out of that mode the status line does not bring the filter back.
  QTest::mouseDClick(main->Label1, Qt::LeftButton);
  EXPECT_FALSE(main->Edit1->isVisible());
}

TEST_F(FollowTheDisk, TheStatusLineCountsTheFilesAndSizesTheShownFile) {
  test::WriteFile(Shown + "/big.bmp", QByteArray(1536, 'x'));
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->Label1->text(), "  3 Files");
  main->AcceptFile(Shown + "/big.bmp");
  Settle(main);
  EXPECT_EQ(main->Label1->text(), " 1.5 KB  3 Files"); // not a picture: no size of its own
  test::WritePicture(*test::PatternBitmap(20, 10), Shown + "/real.bmp");
  main->FileListRefresh();
  main->AcceptFile(Shown + "/real.bmp");
  Settle(main);
  EXPECT_EQ(main->Label1->text(), "20 x 10 ( 24 bits/pixel ) " +
                                      SizeText(0, QFileInfo(Shown + "/real.bmp").size()) +
                                      "  4 Files");
  main->AcceptFile(Shown + "/big.bmp");
  Settle(main);
  // Another folder: the count follows, and the shown file, not in its list, has no size there.
  const QString other = Env.Folder("other");
  test::WriteFile(other + "/one.png", "x");
  main->DListBox1->SetDirectory(other);
  Settle(main);
  EXPECT_EQ(main->Label1->text(), "  1 Files");
  // Back in its folder the size shows while the file is there.
  main->DListBox1->SetDirectory(Shown);
  Settle(main);
  EXPECT_EQ(main->Label1->text(), " 1.5 KB  4 Files");
  ASSERT_TRUE(QFile::remove(Shown + "/big.bmp"));
  main->FileListRefresh();
  Settle(main);
  EXPECT_EQ(main->Label1->text(), "  3 Files");
}

TEST_F(FollowTheDisk, TheDriveBoxHintIsTheFreeSpaceOfTheShownVolume) {
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  auto hintBytes = [&] {
    const QStringList parts = main->DCombobox1->toolTip().split(' ');
    if (parts.size() != 4 || parts[0] != "Space" || parts[1] != "Free:") return -1.0;
    const double scale = parts[3] == "MB" ? 1024.0 * 1024 : parts[3] == "KB" ? 1024 : 1;
    return parts[2].toDouble() * scale;
  };
  const double free = double(QStorageInfo(Shown).bytesAvailable());
  EXPECT_NEAR(hintBytes(), free, free * 0.01 + 1024 * 1024);

  main->DCombobox1->setToolTip({});
  QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(main->Panel4, &move);
  EXPECT_NEAR(hintBytes(), free, free * 0.01 + 1024 * 1024);
  main->DCombobox1->setToolTip({});
  emit main->DCombobox1->Change();
  EXPECT_NEAR(hintBytes(), free, free * 0.01 + 1024 * 1024);
}

TEST_F(FollowTheDisk, HidingTheFileViewSuspendsTheWatcherAndShowingCatchesUp) {
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  Trigger(main, "FileSelector1");
  EXPECT_TRUE(main->Watcher->Suspended());
  CopyIn("hidden.png");
  Idle(300);
  EXPECT_FALSE(Lists(main, "hidden.png"));
  EXPECT_FALSE(main->Watcher->FilesChanged());
  Trigger(main, "FileSelector1");
  EXPECT_FALSE(main->Watcher->Suspended());
  EXPECT_TRUE(test::WaitUntil([&] { return Lists(main, "hidden.png"); }));
}

TEST_F(FollowTheDisk, RefreshFileviewReadsBothListsAgain) {
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  Trigger(main, "StopUpdate2");
  Env.Folder("Pictures/new-folder");
  CopyIn("new.png");
  Trigger(main, "RefreshFileview1");
  Settle(main);
  EXPECT_TRUE(test::Texts(*main->DListBox1).contains("new-folder"));
  EXPECT_TRUE(Lists(main, "new.png"));
}

TEST_F(FollowTheDisk, ARefreshOfABigFolderReplacesTheItemsInOneUpdate) {
  for (int i = 0; i < 3000; ++i)
    test::WriteFile(Shown + QString("/p%1.png").arg(i, 4, 10, QChar('0')), {});
  TKestrelMain* main = ShowingFolder(Shown);
  ASSERT_NE(main, nullptr);
  Trigger(main, "StopUpdate2");
  main->FListBox1->SetItemIndex(1500);
  ASSERT_EQ(main->FListBox1->Count(), 3002);
  CopyIn("zz.png");
  // Every reset of the list, with the items it held just before.
  QList<int> resets;
  QAbstractItemModel* model = main->FListBox1->model();
  QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, model,
                   [&] { resets << model->rowCount(); });
  const int budget = TBackgroundRead::WaitBudget();
  TBackgroundRead::SetWaitBudget(0); // the read is applied later, on the way through the events
  main->FileListRefresh();
  Settle(main);
  TBackgroundRead::SetWaitBudget(budget);
  // Never emptied first: the old items stayed until the new ones replaced them at once.
  EXPECT_EQ(resets, QList<int>({3002}));
  EXPECT_EQ(main->FListBox1->Count(), 3003);
  EXPECT_EQ(SelectedNames(main), QStringList({"p1498.png"}));
}

} // namespace
} // namespace kestrel
