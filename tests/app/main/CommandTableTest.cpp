#include "app/main/CommandTable.h"

#include "../view/ViewTestSupport.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include <QToolButton>

namespace kestrel {
namespace {

TEST(CommandTable, NamesAndShortcutsAreUniqueAndEveryCommandHasAHandlerName) {
  QSet<QString> names, shortcuts;
  for (const TCommand& command : CommandTable()) {
    EXPECT_FALSE(names.contains(command.Name)) << command.Name;
    names.insert(command.Name);
    EXPECT_TRUE(QString(command.HandlerName).endsWith("Click")) << command.Name;
    if (*command.Shortcut) {
      EXPECT_FALSE(QKeySequence(command.Shortcut).isEmpty()) << command.Name;
      EXPECT_FALSE(shortcuts.contains(command.Shortcut)) << command.Shortcut;
      shortcuts.insert(command.Shortcut);
    }
    // A handler only where the work is built, and never one without the other.
    EXPECT_TRUE(!command.Handler || command.Built) << command.Name;
    EXPECT_TRUE(!command.Built || command.Kind == TCommandKind::SubMenu || command.Handler)
        << command.Name;
  }
  EXPECT_EQ(shortcuts, QSet<QString>({"Ctrl+A", "Ctrl+S", "Ctrl+Z", "Ctrl+C", "Ctrl+V", "Ctrl+P",
                                      "Ctrl+U", "Ctrl+F", "F6", "F1"}));
}

TEST(CommandTable, OnlyTheMainWindowsOwnCommandsAreBuilt) {
  QSet<QString> built;
  for (const TCommand& command : CommandTable())
    if (command.Built) built.insert(command.Name);
  EXPECT_EQ(
      built,
      QSet<QString>(
          {"NewViewer1", "RecentFolders1", "FindSelection1", "Exit1", "FileSelector1", "OpenWeb1",
           "Help2", "about1", "mailto1", "OpenInNewViewer2", "OpenContainer1", "ExploreFolder1",
           "OpenInNewViewer1", "FindSelector", "ToolButton5", "AllFiles1", "RefreshFileview1",
           "StopUpdate2", "StopUpdate1",
           // the display's commands
           "Transparent1", "DontScale1", "FitToWindow1", "FitToImage1", "Toolbutton2",
           "ToolButton3", "StopPic", "JpegProperties1",
           // saving and the menu transforms
           "SaveAs1", "SaveAs2", "InvertImage1", "MirrorVertical1", "FlipHorizontal1",
           "RotateClockwise1", "RotateAnticlockwise1",
           // resampling
           "Resample1",
           // printing
           "Print1",
           // the find windows
           "FindinFiles1", "FindFile1", "FindFile2", "NameDuplicate", "SizeDuplicate",
           "FindInFiles2", "FindinSubtree",
           // the system-information window
           "SystemInformation1",
           // file management and paths
           "Copy1", "Move1", "Delete1", "Rename1", "NewFolder2", "SwitchFolders1", "MoveFile1",
           "CopyFile1", "DeleteFile1", "RenameFile1", "RenameFolder1", "RemoveFolder1",
           "NewFolder1", "ClipBoard1", "SaveToPath", "SaveAsDialog1", "GotoPath", "toSaveDialog1",
           "SaveAsDialog2", "ClipAsDos1", "ClipAsUnix1", "ClipAsDos2", "ClipAsUnix2",
           // installation and external viewers
           "Install1", "SetExternalViewer1", "ExternalViewer1", "ExternalViewer2",
           // undo, clipboard, wallpaper, stay on top and capture
           "Undo1", "CopyImage1", "PasteImage1", "Centered1", "Tiled1", "Stretched1", "NoWallpaper",
           "StayOnTop1", "ActiveWindow1", "ScreenShot1",
           // rotation, the slide show and full screen
           "AllAngles1", "enable1", "AdjustTimer1", "ToolButton4", "FullScreen1", "HideTitle1",
           "FileSelector2", "Exit2",
           // the Picture Index Maker
           "Thumbs1", "ThumbsBgndDialog1", "ThumbsDialog1", "ThumbsDialog2",
           // the editing tools
           "None1", "Crop1", "Pen1", "Rectangle1", "LineDraw1", "Ellipse1", "Surface1", "Border1",
           // the paint box
           "Color1",
           // the thumbnail gallery
           "Thumbnails1", "Thumbnails2", "Thumbnails3"}));
}

class Commands : public test::MainWindowFixture {};

TEST_F(Commands, MenusPopupsAndToolbarAreBuiltFromTheTable) {
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  QStringList titles;
  for (QAction* action : main->menuBar()->actions())
    titles << action->text();
  EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&View", "&Options", "&Help"}));

  TCommandSet& commands = main->Commands();
  EXPECT_EQ(commands.Menu("&File/&Paste Path to ...")->actions().size(), 4);
  EXPECT_EQ(commands.Menu("&Edit/&Editing Tools")->actions().size(), 8);
  EXPECT_EQ(commands.Menu("PopupMenu3")->actions().size(), 3);
  EXPECT_EQ(commands.Action("SaveAs1")->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(commands.Action("Install1")->shortcut(), QKeySequence(Qt::Key_F6));
  EXPECT_TRUE(commands.Action("None1")->isChecked());
  EXPECT_TRUE(commands.Action("FileSelector1")->isChecked());
  EXPECT_FALSE(commands.Action("DontScale1")->isChecked());

  QStringList hints;
  for (QAction* action : main->ToolBar1->actions())
    hints << action->toolTip();
  EXPECT_EQ(hints,
            QStringList({"Locate Selector", "Fit Window", "Fit Image", "SlideShow", "Hide"}));
  // The two fit buttons may both be up.
  commands.Action("Toolbutton2")->setChecked(true);
  commands.Action("Toolbutton2")->setChecked(false);
  EXPECT_FALSE(commands.Action("ToolButton3")->isChecked());

  for (const TCommand& command : CommandTable()) {
    QAction* action = commands.Action(command.Name);
    ASSERT_NE(action, nullptr) << command.Name;
    EXPECT_EQ(action->text().isEmpty() ? action->toolTip() : action->text(), command.Caption);
  }
}

TEST_F(Commands, CommandsNotBuiltStayDisabledWhateverTheState) {
  test::WriteFile(Env.Folder("pics") + "/a.bmp", "x");
  TKestrelMain* main = Start({Env.Path() + "/pics/a.bmp"});
  ASSERT_NE(main, nullptr);
  main->FListBox1->setFocus();
  main->Timer1Timer();
  main->Timer1Timer();
  for (const TCommand& command : CommandTable()) {
    if (command.Built) continue;
    EXPECT_FALSE(main->Commands().Action(command.Name)->isEnabled()) << command.Name;
  }
}

TEST_F(Commands, ADisabledCommandDoesNothingWhenTriggered) {
  const QString folder = Env.Folder("pics");
  for (const char* name : {"a.bmp", "b.bmp"})
    test::WriteFile(folder + "/" + name, "x");
  TKestrelMain* main = Start({folder});
  ASSERT_NE(main, nullptr);
  main->show();
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  // "Find Selector" focuses the file list, and is off while no file is selected.
  main->DListBox1->setFocus();
  main->Timer1Timer();
  QAction* find = main->Commands().Action("FindSelection1");
  ASSERT_FALSE(find->isEnabled());
  find->trigger();
  EXPECT_TRUE(main->DListBox1->hasFocus());
  main->FListBox1->SetItemIndex(1);
  main->Timer1Timer();
  ASSERT_TRUE(find->isEnabled());
  find->trigger();
  EXPECT_TRUE(main->FListBox1->hasFocus());
}

TEST_F(Commands, ASubMenuIsEnabledOnlyWhileItHasSomethingEnabled) {
  const QString folder = Env.Folder("pics");
  test::WritePicture(*test::PatternBitmap(8, 6), folder + "/a.bmp");
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  TCommandSet& commands = main->Commands();
  // Every sub-menu of every menu, as the menus start.
  int subMenus = 0;
  for (const QMenu* menu : main->findChildren<QMenu*>()) {
    for (const QAction* action : menu->actions()) {
      if (!action->menu()) continue;
      ++subMenus;
      bool anyEnabled = false;
      for (const QAction* item : action->menu()->actions())
        anyEnabled = anyEnabled || (!item->isSeparator() && item->isEnabled());
      if (!anyEnabled) {
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
      }
    }
  }
  EXPECT_GT(subMenus, 5);

  // The transforms, with "Arbitrary Angle" the sixth, follow their items when their menu opens:
  // the first five need a picture, the rotation window opens without one.
  const QString transforms = "&Edit/&Invert, Rotate, Mirror ...";
  const QList<QAction*> items = commands.Menu(transforms)->actions();
  ASSERT_EQ(items.size(), 6);
  EXPECT_EQ(items[5], commands.Action("AllAngles1"));
  auto openEdit = [&] {
    main->Timer1Timer();
    commands.Menu("&Edit")->popup(QPoint(0, 0));
    commands.Menu("&Edit")->close();
    return commands.Menu(transforms)->menuAction()->isEnabled();
  };
  EXPECT_TRUE(openEdit());
  EXPECT_FALSE(items[0]->isEnabled());
  items[5]->setEnabled(false);
  EXPECT_FALSE(openEdit());
  main->AcceptFile(folder + "/a.bmp");
  main->FListBox1->FinishReading();
  main->WaitForPicture();
  EXPECT_TRUE(openEdit());
  EXPECT_TRUE(items[0]->isEnabled());
}

} // namespace
} // namespace kestrel
