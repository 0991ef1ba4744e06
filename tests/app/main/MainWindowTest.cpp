#include "app/main/MainSettings.h"
#include "app/undo/Undo.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "desktop/install/Install.h"
#include "desktop/install/InstallRecord.h"
#include "desktop/viewers/ExtViewerDialog.h"
#include "platform/paths/Paths.h"
#include "platform/settings/NewRegistry.h"
#include "support/DesktopStubs.h"
#include "support/MainWindowFixture.h"
#include "support/SearchPath.h"
#include "support/Unprivileged.h"

#include <QAction>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include <sys/stat.h>

namespace kestrel {
namespace {

using namespace MainSettings;

class MainWindow : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Pictures = Env.Folder("Pictures");
    for (const char* name : {"a.bmp", "b.png", "c.jpg", "notes.txt", "tool.exe"})
      test::WriteFile(Pictures + "/" + name, "x");
  }
  // Where a key typed now arrives first.
  QWidget* KeyTarget(TKestrelMain* main) const {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : main;
  }
  // Shown and active, so that keys reach the focus widget as they do on a desktop.
  static void Activate(TKestrelMain* main) {
    main->show();
    main->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(main));
  }
  // A drag of these paths entering the window, then the drop.
  static void Drop(TKestrelMain* main, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
      urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main, &drop);
  }
  static QColor Background(QWidget* widget, QPalette::ColorRole role = QPalette::Window) {
    return widget->palette().color(role);
  }
  // Whether anything is left of the user's settings once every window is gone.
  bool SettingsLeftAtExit() {
    Windows.clear();
    TNewRegistry user;
    user.RootKey = TRootKey::CurrentUser;
    return user.KeyExists("Software\\Brackwell\\Kestrel");
  }
  static void Settle(TKestrelMain* main) {
    main->FListBox1->FinishReading();
    main->DListBox1->FinishReading();
    QApplication::processEvents();
    main->WaitForPicture();
  }

  QString Pictures;
};

TEST_F(MainWindow, AFirstRunStoresItsDefaultsAndTheInstallationWindowShowsTheViewerWhenDone) {
  test::TDesktopStubs tools(Env);
  FirstRun = true;
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(main->AutoShow());
  EXPECT_FALSE(main->isVisible());
  EXPECT_TRUE(main->FirstInstance);
  EXPECT_EQ(StoredNumber("SlideShow", "Timer"), 33);
  EXPECT_EQ(StoredNumber("MainForm", "Width"), 577);
  EXPECT_EQ(StoredNumber("MainForm", "Height"), 427);
  EXPECT_EQ(StoredNumber("MainForm", "WindowState"), 0);
  EXPECT_EQ(StoredNumber("Color", "Image Frame"), 0);
  EXPECT_EQ(StoredNumber("MainForm", "Pictext FontSize"), 18);
  EXPECT_EQ(Stored("MainForm", "Single Instance"), "FALSE");
  EXPECT_EQ(Stored("MainForm", "Pictext FontName"), "MS Sans Serif");
  EXPECT_EQ(Stored("FileView", "Custom Dir"), "FALSE");
  EXPECT_EQ(main->windowTitle(), "Kestrel!");
  EXPECT_FALSE(IsInstalled());

  main->Timer1Timer();
  ASSERT_TRUE(main->Install);
  EXPECT_TRUE(main->Install->isVisible());
  EXPECT_FALSE(main->isVisible()); // until the installation window closes
  EXPECT_FALSE(IsInstalled());
  main->Install->BtDone->click();
  EXPECT_TRUE(IsInstalled());
  EXPECT_TRUE(main->isVisible());
  EXPECT_TRUE(main->Undo && QFile::exists(main->Undo->FileName()));
  EXPECT_TRUE(QFile::exists(Env.DataHome() + "/applications/kestrel.desktop"));
}

TEST_F(MainWindow, CancellingTheFirstRunEndsTheProgramAndItsExitWritesNothing) {
  test::TDesktopStubs tools(Env);
  FirstRun = true;
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  main->Timer1Timer();
  const QByteArray store = test::FileBytes(Env.StoreFile());
  ASSERT_TRUE(main->Undo);
  const QString undoFile = main->Undo->FileName();
  ASSERT_TRUE(QFile::exists(undoFile));
  main->Install->BtCancel->click();
  EXPECT_FALSE(main->isVisible());
  EXPECT_FALSE(QFile::exists(undoFile));
  Windows.clear();
  EXPECT_EQ(test::FileBytes(Env.StoreFile()), store);
  EXPECT_FALSE(IsInstalled());
  EXPECT_EQ(tools.Calls(), QStringList());
}

TEST_F(MainWindow, RemoveUninstallsAfterItsQuestionAndNeverShowsTheViewer) {
  test::TDesktopStubs tools(Env);
  WriteInstallRecord();
  TKestrelMain* main = Start({"/Remove"});
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(main->AutoShow());
  Answer = TMsgResult::Yes;
  main->Timer1Timer();
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Confirm Uninstall");
  EXPECT_EQ(Messages[0].Text, "Remove Kestrel! from Your Computer?");
  EXPECT_FALSE(main->isVisible());
  EXPECT_FALSE(IsInstalled());
  // The exit leaves the removed settings removed.
  EXPECT_FALSE(SettingsLeftAtExit());
  EXPECT_FALSE(IsInstalled());
}

TEST_F(MainWindow, UninstallFromTheInstallationWindowEndsTheViewerAndItsExitWritesNothing) {
  test::TDesktopStubs tools(Env);
  WriteInstallRecord();
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(main->JpgOptions);
  main->Install1Click();
  ASSERT_TRUE(main->Install);
  Answer = TMsgResult::Yes;
  main->Install->BtCancel->click();
  EXPECT_FALSE(main->isVisible());
  EXPECT_FALSE(IsInstalled());
  // No window of the viewer stores its settings again on the way out.
  EXPECT_FALSE(SettingsLeftAtExit());
}

TEST_F(MainWindow, AProgramIsOfferedAsAnExternalViewerWhichThenOpensTheSelectedPicture) {
  const QString viewer = Pictures + "/viewer.sh";
  const QString record = Env.Path() + "/started.txt";
  test::WriteRecordingProgram(viewer, record);
  WriteInstallRecord(); // no installation window to take the keys
  TKestrelMain* main = Start({Pictures});
  ASSERT_NE(main, nullptr);
  // Enter on a program in the file list offers it.
  main->Commands().Action("AllFiles1")->trigger();
  Settle(main);
  Activate(main);
  main->FListBox1->setFocus();
  main->FListBox1->SetItemIndex(main->FListBox1->IndexOfText("viewer.sh"));
  QTest::keyClick(main->FListBox1, Qt::Key_Return);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Executable File");
  EXPECT_FALSE(main->ExtViewerDialog->isVisible()); // answered No

  // So does opening it; Yes adds it and shows the list.
  Answer = TMsgResult::Yes;
  main->AcceptFile(viewer);
  ASSERT_EQ(Messages.size(), 2u);
  EXPECT_EQ(Messages[1].Caption, "Executable File");
  EXPECT_TRUE(main->ExtViewerDialog->isVisible());
  main->ExtViewerDialog->close();
  EXPECT_FALSE(main->ExtViewerDialog->isVisible());
  for (const char* name : {"ExternalViewer1", "ExternalViewer2"}) {
    QStringList captions;
    for (QAction* item : main->Commands().SubMenu(name)->actions())
      captions << item->text();
    EXPECT_EQ(captions, QStringList({"Open Container", "viewer.sh"})) << name;
  }
  main->AcceptFile(Pictures + "/b.png");
  Settle(main);
  main->Commands().SubMenu("ExternalViewer1")->actions().at(1)->trigger();
  ASSERT_TRUE(test::WaitUntil([&] { return QFile::exists(record); }));
  EXPECT_EQ(QString::fromUtf8(test::FileBytes(record)),
            "1\n" + Pictures + "/b.png\n" + Pictures + "\n");
}

TEST_F(MainWindow, ComesBackAtTheStoredSizeAndAMaximisedWindowKeepsItsRestoredSize) {
  WriteInstallRecord();
  // Smaller than the screen, so the maximised size differs from the restored one.
  WriteSetting(Width, 640);
  WriteSetting(Height, 400);
  TKestrelMain* main = Start();
  ASSERT_TRUE(main && main->AutoShow());
  main->ShowAsStored();
  EXPECT_EQ(main->size(), QSize(640, 400));
  main->showMaximized();
  QApplication::processEvents();
  ASSERT_TRUE(main->isMaximized());
  EXPECT_TRUE(main->close());
  EXPECT_EQ(StoredNumber("MainForm", "WindowState"), 2);
  EXPECT_EQ(StoredNumber("MainForm", "Width"), 640);
  EXPECT_EQ(StoredNumber("MainForm", "Height"), 400);

  Windows.clear();
  TKestrelMain* again = Start();
  ASSERT_NE(again, nullptr);
  again->ShowAsStored();
  QApplication::processEvents();
  EXPECT_TRUE(again->isMaximized());
  again->showNormal();
  QApplication::processEvents();
  EXPECT_EQ(again->size(), QSize(640, 400));
}

TEST_F(MainWindow, StartsInTheStoredFolderAndStoresTheShownFolderAtClose) {
  const QString sub = Env.Folder("Pictures/sub");
  WriteSetting(InitialDir, Pictures);
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->DListBox1->Directory(), Pictures);
  EXPECT_EQ(test::Texts(*main->FListBox1), QStringList({"a.bmp", "b.png", "c.jpg"}));
  main->DListBox1->SetDirectory(sub);
  main->close();
  EXPECT_EQ(Stored("FileView", "Initial Dir"), sub);

  // A fixed start folder is not overwritten.
  Windows.clear();
  WriteFlag(CustomDir, true);
  WriteSetting(InitialDir, Pictures);
  TKestrelMain* fixed = Start();
  ASSERT_NE(fixed, nullptr);
  fixed->DListBox1->SetDirectory(sub);
  fixed->close();
  EXPECT_EQ(Stored("FileView", "Initial Dir"), Pictures);

  // A start folder that is gone is passed over.
  Windows.clear();
  WriteSetting(InitialDir, Env.Path() + "/gone");
  QDir::setCurrent(sub);
  TKestrelMain* third = Start();
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->DListBox1->Directory(), sub);
}

TEST_F(MainWindow, ARelativePathOnTheCommandLineNamesAFileFromTheStartingFolder) {
  // The stored start folder is elsewhere, so the folder list moves the current folder first.
  WriteSetting(InitialDir, Env.Folder("elsewhere"));
  QDir::setCurrent(Env.Path());
  TKestrelMain* main = Start({"Pictures/b.png"});
  ASSERT_NE(main, nullptr);
  Settle(main);
  EXPECT_TRUE(Messages.empty()) << LastMessage().toStdString();
  EXPECT_EQ(main->DListBox1->Directory(), Pictures);
  EXPECT_EQ(main->CurrentPicture, Pictures + "/b.png");
}

TEST_F(MainWindow, AcceptFileShowsFoldersAndFilesAndSaysWhatIsWrong) {
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  const QString start = main->DListBox1->Directory();
  const QString missing = Env.Path() + "/missing.bmp";
  main->AcceptFile(missing);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Text, "Does Not Exist\r" + missing);
  EXPECT_EQ(Messages[0].Caption, "Kestrel!: Load File");
  EXPECT_EQ(Messages[0].Icon, TMsgIcon::Information);
  EXPECT_EQ(main->DListBox1->Directory(), start);

  main->AcceptFile(Pictures + "/b.png");
  Settle(main);
  EXPECT_EQ(main->DListBox1->Directory(), Pictures);
  EXPECT_EQ(main->FListBox1->SelectedName(), "b.png");
  EXPECT_EQ(main->CurrentPicture, Pictures + "/b.png");
  EXPECT_EQ(main->RecentFolders().Items().first(), Pictures);

  const QString sub = Env.Folder("Pictures/sub");
  main->AcceptFile(sub);
  Settle(main);
  EXPECT_EQ(main->DListBox1->Directory(), sub);
  EXPECT_FALSE(main->FListBox1->selectionModel()->hasSelection());

  // A program is offered as an external viewer, never shown.
  main->AcceptFile(Pictures + "/tool.exe");
  Settle(main);
  EXPECT_EQ(Messages.back().Text, "Do you wish to add this file\nto the external viewers list?");
  EXPECT_EQ(Messages.back().Caption, "Executable File");
  EXPECT_EQ(main->DListBox1->Directory(), sub);
  EXPECT_EQ(main->CurrentPicture, Pictures + "/b.png");
  EXPECT_EQ(Messages.size(), 2u);
}

TEST_F(MainWindow, FoldersThatCannotBeEnteredOrReadSaySoAndTheListsStayConsistent) {
  if (test::RerunUnprivileged()) return;
  TKestrelMain* main = Start({Pictures});
  ASSERT_NE(main, nullptr);
  const QString closed = Env.Folder("Pictures/closed");
  const QString unreadable = Env.Folder("Pictures/unreadable");
  QFile::setPermissions(closed, QFile::ReadOwner);
  QFile::setPermissions(unreadable, QFile::ExeOwner);

  main->AcceptFile(closed);
  Settle(main);
  EXPECT_EQ(LastMessage(), "Bad Directory Path");
  EXPECT_EQ(main->DListBox1->Directory(), Pictures);
  EXPECT_EQ(main->FListBox1->Directory(), Pictures);

  main->AcceptFile(unreadable);
  Settle(main);
  EXPECT_TRUE(LastMessage().contains("Permission denied")) << LastMessage().toStdString();
  EXPECT_TRUE(LastMessage().contains(unreadable));
  EXPECT_EQ(main->DListBox1->Directory(), unreadable);
  EXPECT_EQ(main->FListBox1->Directory(), unreadable);
  EXPECT_EQ(main->FListBox1->Count(), 0);

  // Opening the closed folder from the folder list says why and changes nothing.
  main->DListBox1->SetDirectory(Pictures);
  Settle(main);
  const size_t before = Messages.size();
  for (int i = 0; i < main->DListBox1->Count(); ++i)
    if (main->DListBox1->Item(i).Text == "closed") main->DListBox1->SetItemIndex(i);
  main->DListBox1->OpenCurrent();
  ASSERT_EQ(Messages.size(), before + 1);
  EXPECT_TRUE(LastMessage().contains("closed"));
  EXPECT_EQ(main->DListBox1->Directory(), Pictures);
  QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QFile::setPermissions(unreadable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(MainWindow, RecentFoldersFollowTheShownFolder) {
  const QString c = Env.Folder("C"), d = Env.Folder("D");
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  main->DListBox1->SetDirectory(c);
  main->DListBox1->SetDirectory(d);
  main->DListBox1->SetDirectory(c);
  EXPECT_EQ(Stored("Recent Folders", "A"), c);
  EXPECT_EQ(Stored("Recent Folders", "B"), d);
  const QList<QAction*> items = main->Commands().SubMenu("RecentFolders1")->actions();
  ASSERT_GE(items.size(), 2);
  EXPECT_EQ(items[0]->text(), c);
  EXPECT_EQ(items[1]->text(), d);
  items[1]->trigger();
  EXPECT_EQ(main->DListBox1->Directory(), d);

  // At the next start the menu is rebuilt from the store.
  Windows.clear();
  TKestrelMain* again = Start();
  ASSERT_NE(again, nullptr);
  const QList<QAction*> rebuilt = again->Commands().SubMenu("RecentFolders1")->actions();
  ASSERT_GE(rebuilt.size(), 2);
  EXPECT_TRUE(rebuilt[0]->text() == d || rebuilt[1]->text() == d);
}

TEST_F(MainWindow, TheTimerSetsCommandStatesAndTheStatusLineColour) {
  TKestrelMain* main = Start({Pictures});
  ASSERT_NE(main, nullptr);
  main->Timer1Timer();
  TCommandSet& commands = main->Commands();
  EXPECT_FALSE(commands.Action("FindSelection1")->isEnabled());
  EXPECT_FALSE(commands.Action("FindSelector")->isEnabled());
  main->FListBox1->SetItemIndex(1);
  main->Timer1Timer();
  EXPECT_TRUE(commands.Action("FindSelection1")->isEnabled());
  EXPECT_TRUE(commands.Action("FindSelector")->isEnabled());

  EXPECT_EQ(Background(main->Label1), Background(main->FileView));
  main->ImageModified = true;
  main->Timer1Timer();
  EXPECT_EQ(Background(main->Label1), QColor(0, 255, 255)); // 0xFFFF00
  commands.Action("StopPic")->setChecked(true);
  main->Timer1Timer();
  EXPECT_EQ(Background(main->Label1), QColor(255, 0, 255)); // 0xFF00FF
  main->ImageModified = false;
  main->Timer1Timer();
  EXPECT_EQ(Background(main->Label1), QColor(255, 255, 0)); // 0x00FFFF
}

TEST_F(MainWindow, KeysOfTheViewer) {
  TKestrelMain* main = Start({Pictures + "/a.bmp"});
  ASSERT_NE(main, nullptr);
  main->WaitForPicture();
  Activate(main);
  QTest::keyPress(KeyTarget(main), Qt::Key_Space);
  EXPECT_EQ(main->windowTitle(), "No Image is Loaded");
  QTest::keyRelease(KeyTarget(main), Qt::Key_Space);
  EXPECT_EQ(main->windowTitle(), "Kestrel!");

  // With the file view hidden, Up and Down step through the files and Enter brings it back.
  main->Commands().Action("ToolButton5")->trigger();
  EXPECT_TRUE(main->FileView->isHidden());
  QTest::keyClick(KeyTarget(main), Qt::Key_Down);
  main->WaitForPicture();
  EXPECT_EQ(main->FListBox1->SelectedName(), "b.png");
  EXPECT_EQ(main->CurrentPicture, Pictures + "/b.png");
  QTest::keyClick(KeyTarget(main), Qt::Key_Up);
  QTest::keyClick(KeyTarget(main), Qt::Key_Up); // at the top: stays
  main->WaitForPicture();
  EXPECT_EQ(main->FListBox1->SelectedName(), "a.bmp");
  QTest::keyClick(KeyTarget(main), Qt::Key_Return);
  EXPECT_FALSE(main->FileView->isHidden());
  EXPECT_TRUE(main->Commands().Action("FileSelector1")->isChecked());

  // An arrow-key selection loads when the key is released, not with Ctrl held.
  main->FListBox1->setFocus();
  main->FListBox1->SetItemIndex(0);
  QTest::keyPress(main->FListBox1, Qt::Key_Down);
  EXPECT_EQ(main->CurrentPicture, Pictures + "/a.bmp");
  QTest::keyRelease(main->FListBox1, Qt::Key_Down);
  main->WaitForPicture();
  EXPECT_EQ(main->CurrentPicture, Pictures + "/b.png");
  QTest::keyClick(main->FListBox1, Qt::Key_Down, Qt::ControlModifier);
  main->WaitForPicture();
  EXPECT_EQ(main->CurrentPicture, Pictures + "/b.png");
}

TEST_F(MainWindow, ShiftClicksStepTheColourCycle) {
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  Activate(main);
  // A press on the background reaches the widget under the mouse first, then its parents.
  QWidget* background = main->PaintBox2;
  const QPoint corner(2, 2);
  ASSERT_FALSE(main->PaintBox1->geometry().contains(corner));
  QTest::mouseClick(background, Qt::RightButton, Qt::ShiftModifier, corner);
  QTest::mouseClick(background, Qt::RightButton, Qt::ShiftModifier, corner);
  EXPECT_EQ(StoredNumber("Color", "Image Frame"), 0xFF0000);
  EXPECT_EQ(Background(main->Panel2), QColor(0, 0, 255));
  QTest::mouseClick(background, Qt::RightButton, Qt::NoModifier, corner); // steps, changes nothing
  EXPECT_EQ(StoredNumber("Color", "Image Frame"), 0xFF0000);
  // The status line is not the background.
  QTest::mouseClick(main->Label1, Qt::RightButton, Qt::ShiftModifier);
  EXPECT_EQ(StoredNumber("Color", "Image Frame"), 0xFF0000);

  QWidget* folders = main->DListBox1->viewport();
  const QString folder = main->DListBox1->Directory();
  QTest::mouseClick(folders, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 5));
  EXPECT_EQ(StoredNumber("Color", "FileView"), 0xFF00FF);
  EXPECT_EQ(Background(main->FListBox1, QPalette::Base), QColor(255, 0, 255));
  EXPECT_EQ(Background(main->FListBox1, QPalette::Text), QColor(255, 255, 255));
  for (int i = 0; i < 3; ++i)
    QTest::mouseClick(folders, Qt::RightButton, Qt::ShiftModifier);
  EXPECT_EQ(StoredNumber("Color", "FileView"), 0x00FF00);
  EXPECT_EQ(Background(main->DListBox1, QPalette::Text), QColor(0, 0, 0));
  EXPECT_EQ(main->DListBox1->Directory(), folder); // the clicks did not reach the list
}

TEST_F(MainWindow, LinksThatNothingOpensSaySo) {
  TKestrelMain* main = Start({Pictures});
  ASSERT_NE(main, nullptr);
  // The desktop's opener runs, and finds no program for any link.
  const QString bin = Env.Folder("bin");
  test::WriteScript(bin + "/xdg-open", "exit 3\n");
  const test::TSearchPath path(bin);
  for (const char* command : {"Help2", "OpenWeb1", "mailto1", "OpenContainer1", "ExploreFolder1"}) {
    Messages.clear();
    main->Commands().Action(command)->trigger();
    ASSERT_TRUE(test::WaitUntil([this] { return !Messages.empty(); })) << command;
    ASSERT_EQ(Messages.size(), 1u) << command;
    EXPECT_TRUE(Messages[0].Text.startsWith("Cannot open ")) << command;
  }
  EXPECT_TRUE(Messages[0].Text.endsWith("\r" + Pictures)) << Messages[0].Text.toStdString();
}

TEST_F(MainWindow, AFileOnTheCommandLineTakesTheFocusSoTheArrowKeysStepFiles) {
  WriteInstallRecord();
  auto window = std::make_unique<TKestrelMain>(QStringList{"kestrel", Pictures + "/b.png"});
  ASSERT_EQ(window->FormCreate(), TKestrelMain::TStart::Run);
  TKestrelMain* main = window.get();
  Windows.push_back(std::move(window));
  main->Launch();
  ASSERT_TRUE(main->isVisible());
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  EXPECT_EQ(QApplication::focusWidget(), main->FListBox1);
  QTest::keyClick(KeyTarget(main), Qt::Key_Down);
  Settle(main);
  EXPECT_EQ(main->CurrentPicture, Pictures + "/c.jpg");
}

TEST_F(MainWindow, StartMinimizedWinsOverAStoredMaximisedState) {
  WriteInstallRecord();
  WriteSetting(WindowState, 2);
  WriteFlag(StartMinimized, true);
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  main->ShowAsStored();
  QApplication::processEvents();
  EXPECT_TRUE(main->isMinimized());
  main->setWindowState(main->windowState() & ~Qt::WindowMinimized); // restored: as stored
  QApplication::processEvents();
  EXPECT_TRUE(main->isMaximized());
}

TEST_F(MainWindow, ClosingAModifiedPictureAsksFirst) {
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  main->ImageModified = true;
  Answer = TMsgResult::No;
  EXPECT_FALSE(main->close());
  ASSERT_FALSE(Messages.empty());
  EXPECT_EQ(Messages.back().Text, "Do You wish to Discard this Image ?");
  EXPECT_EQ(Messages.back().Caption, "Image Modified");
  EXPECT_EQ(Messages.back().Buttons, TMsgButtons::YesNo);
  EXPECT_FALSE(main->Undo->FileName().isEmpty());
  Answer = TMsgResult::Yes;
  const QString undo = main->Undo->FileName();
  EXPECT_TRUE(main->close());
  EXPECT_FALSE(QFile::exists(undo));
}

// A value of the wrong kind ended the start once; now it is told and its default used.
TEST_F(MainWindow, ValuesOfTheWrongKindAreToldAndTheWindowStartsOnTheirDefaults) {
  WriteSetting("MainForm", "Width", QString("wide"));
  WriteSetting("MainForm", "Single Instance", 1);
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->size(), QSize(577, 427));
  ASSERT_EQ(Messages.size(), 2u);
  for (const auto& message : Messages)
    EXPECT_EQ(message.Caption, "Kestrel!: Settings");
  EXPECT_TRUE(Messages[0].Text.startsWith("The setting \"Single Instance\" in\r"));
  EXPECT_TRUE(Messages[1].Text.startsWith("The setting \"Width\" in\r"));
}

// A read-only settings file once stopped the start and every folder change with error boxes.
TEST_F(MainWindow, AReadOnlySettingsFileGivesOneMessageAndTheViewerRunsOnItsValues) {
  FirstRun = true; // the store as written here, nothing added
  QDir().mkpath(QFileInfo(Env.StoreFile()).path());
  test::WriteFile(Env.StoreFile(), "Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\MainForm]\n"
                                   "\"Width\"=dword:00000320\n");
  ::chmod(QFile::encodeName(Env.StoreFile()), 0444);
  const QByteArray stored = test::FileBytes(Env.StoreFile());

  TKestrelMain* main = Start({Pictures + "/b.png"});
  ASSERT_NE(main, nullptr);
  Settle(main);
  EXPECT_EQ(main->width(), 800);
  EXPECT_EQ(main->RecentFolders().Items().first(), Pictures);
  main->AcceptFile(Pictures + "/a.bmp");
  Settle(main);
  EXPECT_TRUE(main->close());
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].Caption, "Kestrel!: Settings");
  EXPECT_EQ(Messages[0].Text, "The settings file\r" + Env.StoreFile() +
                                  "\ris read-only.\rKestrel starts on the settings it could read "
                                  "and keeps any change of them only until it closes.");
  EXPECT_EQ(test::FileBytes(Env.StoreFile()), stored);
}

TEST_F(MainWindow, ASecondCopyKeepsItsOwnUndoFileAndTheSingleInstanceRuleStopsAThird) {
  const QString undo = UndoFolderName();
  QDir().mkpath(undo);
  test::WriteFile(undo + "Kestrel(4).dat", "left behind");
  WriteInstallRecord();
  TKestrelMain* first = Start();
  EXPECT_TRUE(first->FirstInstance);
  EXPECT_FALSE(QFile::exists(undo + "Kestrel(4).dat")); // the first copy clears old files
  TKestrelMain* second = Start();
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(second->FirstInstance);
  EXPECT_EQ(QFileInfo(second->Undo->FileName()).fileName(), "Kestrel(1).dat");
  EXPECT_TRUE(QFile::exists(undo + "Kestrel.dat"));
  second->close();
  EXPECT_FALSE(QFile::exists(undo + "Kestrel(1).dat"));
  EXPECT_TRUE(QFile::exists(undo + "Kestrel.dat"));

  WriteFlag(SingleInstance, true);
  const QByteArray store = test::FileBytes(Env.StoreFile());
  EXPECT_EQ(Start(), nullptr);
  EXPECT_EQ(test::FileBytes(Env.StoreFile()), store);
  EXPECT_EQ(QDir(undo).entryList(QDir::Files), QStringList({"Kestrel.dat"}));
}

TEST_F(MainWindow, DroppingFilesShowsTheFirst) {
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  Activate(main);
  Drop(main, {Pictures + "/c.jpg", Pictures + "/a.bmp"});
  Settle(main);
  EXPECT_EQ(main->FListBox1->SelectedName(), "c.jpg");
  EXPECT_EQ(main->FListBox1->selectionModel()->selectedRows().size(), 1);

  const QString sub = Env.Folder("Pictures/sub");
  Drop(main, {sub});
  Settle(main);
  EXPECT_EQ(main->DListBox1->Directory(), sub);
}

TEST_F(MainWindow, NewViewersAreSecondProcessesGivenThePathWhole) {
  const QString out = Env.Path() + "/arguments";
  const QString script = Env.Path() + "/viewer.sh";
  test::WriteFile(script, ("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + out + "'\n").toUtf8());
  QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
  const QString spaced = Pictures + "/with space.bmp";
  test::WriteFile(spaced, "x");
  TKestrelMain* main = Start({spaced});
  ASSERT_NE(main, nullptr);
  main->SetProgramFile(script);
  auto started = [&] {
    EXPECT_TRUE(test::WaitUntil([&] { return !test::FileBytes(out).isEmpty(); }));
    const QString text = QString::fromUtf8(test::FileBytes(out));
    QFile::remove(out);
    return text;
  };
  main->NewViewer1Click();
  EXPECT_EQ(started(), "1|" + spaced + "|");
  main->OpenInNewViewer1Click();
  EXPECT_EQ(started(), "1|" + Pictures + "|");

  main->SetProgramFile(Env.Path() + "/missing");
  main->NewViewer1Click();
  EXPECT_EQ(LastMessage(), "Error 2");
}

} // namespace
} // namespace kestrel
