#pragma once
// The commands of the main window, declared once: name, caption, shortcut, where it appears, the
// part of the program that does its work and the handler that starts it. The main menu, the three
// pop-up menus and the toolbar are built from this table. A command whose work is not built yet
// is shown, and disabled.

#include <QHash>
#include <QString>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace kestrel {

class TKestrelMain;
using TCommandHandler = void (TKestrelMain::*)();

enum class TCommandKind {
  Item,     // a menu item
  Check,    // a menu item that toggles its check
  Radio,    // one of a group of menu items, one checked at a time
  SubMenu,  // an item that opens a sub-menu filled elsewhere
  ToolPush, // a toolbar button
  ToolCheck // a toolbar button that stays down; grouped ones allow all up
};

struct TCommand {
  const char* Name;    // the item's name ("SaveAs1")
  const char* Caption; // as the menu shows it; a toolbar button's hint
  const char* Shortcut;
  // Where it appears: a main menu and its sub-menus ("&File/&Paste Path to ..."), a pop-up menu
  // ("PopupMenu1/Find...") or "ToolBar1".
  const char* Place;
  const char* HandlerName; // "SaveAs1Click"
  TCommandHandler Handler; // null while that work is not built
  TCommandKind Kind = TCommandKind::Item;
  const char* Group = nullptr; // radio and grouped toolbar buttons
  bool Checked = false;
  bool Built = false; // its work exists: the command is enabled (a sub-menu may have no handler)
};

const std::vector<TCommand>& CommandTable();
const TCommand* FindCommand(const QString& name);

// The actions, menus, pop-ups and toolbar of one window, built from the table.
class TCommandSet {
public:
  // The toolbar's buttons share its width equally, left to right in table order.
  TCommandSet(TKestrelMain* window, QMenuBar* menuBar, QWidget* toolBar);

  QAction* Action(const QString& name) const { return Actions.value(name); }
  // A menu by its place ("&File", "PopupMenu2", "&File/Recen&t Folders").
  QMenu* Menu(const QString& place) const { return Menus.value(place); }
  // A sub-menu command's menu ("RecentFolders1").
  QMenu* SubMenu(const QString& name) const;
  bool Built(const QString& name) const;
  // Enables a built command while condition holds; a command not built stays disabled.
  void SetEnabled(const QString& name, bool condition);
  // Enables each sub-menu of menu (at any depth) while it has an enabled item. Runs whenever a
  // menu opens.
  void EnableSubMenus(QMenu* menu);

private:
  QMenu* MenuAt(const QString& place, QWidget* owner, QMenuBar* menuBar);
  static QAction* AddToolButton(QWidget* toolBar, const TCommand& command);
  static bool HasEnabledItem(const QMenu* menu);

  QHash<QString, QAction*> Actions;
  QHash<QString, QMenu*> Menus;
};

} // namespace kestrel
