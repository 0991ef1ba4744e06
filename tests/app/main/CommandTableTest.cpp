#include "app/main/CommandTable.h"

#include "support/MainWindowFixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
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
  EXPECT_EQ(built, QSet<QString>({"NewViewer1", "RecentFolders1", "FindSelection1", "Exit1",
                                  "FileSelector1", "OpenWeb1", "Help2", "about1", "mailto1",
                                  "OpenInNewViewer2", "OpenContainer1", "ExploreFolder1",
                                  "OpenInNewViewer1", "FindSelector", "ToolButton5", "AllFiles1",
                                  "RefreshFileview1", "StopUpdate2", "StopUpdate1",
                                  // the display's commands
                                  "Transparent1", "DontScale1", "FitToWindow1", "FitToImage1",
                                  "Toolbutton2", "ToolButton3", "StopPic", "JpegProperties1",
                                  // saving and the menu transforms
                                  "SaveAs1", "SaveAs2", "InvertImage1", "MirrorVertical1",
                                  "FlipHorizontal1", "RotateClockwise1", "RotateAnticlockwise1",
                                  // resampling
                                  "Resample1",
                                  // printing
                                  "Print1"}));
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
  // A disabled command does nothing when triggered.
  const QString folder = main->DListBox1->Directory();
  main->Commands().Action("RefreshFileview1")->trigger();
  main->Commands().Action("GotoPath")->trigger();
  EXPECT_EQ(main->DListBox1->Directory(), folder);
}

} // namespace
} // namespace kestrel
