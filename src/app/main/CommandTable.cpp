#include "app/main/CommandTable.h"

#include "app/main/KestrelMain.h"
#include "app/main/ToolbarImages.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QToolButton>

namespace kestrel {
namespace {

using K = TCommandKind;
using M = TKestrelMain;

#define CMD(name, caption, key, place, handler)                                                    \
  TCommand {                                                                                       \
    name, caption, key, place, #handler, nullptr, K::Item, nullptr, false, false                   \
  }
#define BUILT(name, caption, key, place, handler)                                                  \
  TCommand {                                                                                       \
    name, caption, key, place, #handler, &M::handler, K::Item, nullptr, false, true                \
  }

TCommand Kind(TCommand command, TCommandKind kind, const char* group = nullptr,
              bool checked = false) {
  command.Kind = kind;
  command.Group = group;
  command.Checked = checked;
  return command;
}

std::vector<TCommand> MakeTable() {
  const char* paste = "&File/&Paste Path to ...";
  const char* tools = "&Edit/&Editing Tools";
  const char* transform = "&Edit/&Invert, Rotate, Mirror ...";
  const char* style = "&View/&Picture Style";
  const char* wallpaper = "&Options/Set As &Wallpaper";
  const char* setup = "&Options/S&etup";
  return {
      // "&File"
      BUILT("NewViewer1", "New &Viewer", "", "&File", NewViewer1Click),
      // The external viewers' sub-menus are filled by the window, one item per viewer.
      Kind(TCommand{"ExternalViewer1", "&External Viewer", "", "&File", "ExternalViewer1Click",
                    nullptr, K::Item, nullptr, false, true},
           K::SubMenu),
      // Its items, one per recent folder, are made by the window.
      Kind(TCommand{"RecentFolders1", "Recen&t Folders", "", "&File", "RecentFolderClick", nullptr,
                    K::Item, nullptr, false, true},
           K::SubMenu),
      BUILT("Thumbnails1", "&Thumbnails", "", "&File", Thumbnails1Click),
      BUILT("ClipBoard1", "C&opy Path", "", "&File", ClipBoard1Click),
      BUILT("SaveToPath", "&Move/Copy Dialog", "", paste, SaveToPathClick),
      BUILT("SaveAsDialog1", "&Save As Dialog", "", paste, SaveAsDialog1Click),
      BUILT("GotoPath", "&Kestrel", "", paste, GotoPathClick),
      BUILT("ThumbsDialog2", "&Picture Index Browse Dialog", "", paste, ThumbsDialog2Click),
      BUILT("FindinFiles1", "Find &in Files ", "Ctrl+A", "&File/&Find", FindinFiles1Click),
      BUILT("FindSelection1", "Find &Selector", "", "&File", FindSelection1Click),
      BUILT("FindFile1", "&Find File", "", "&File", FindFile1Click),
      BUILT("Copy1", "&Copy", "", "&File", Copy1Click),
      BUILT("Move1", "&Move", "", "&File", Move1Click),
      BUILT("Delete1", "&Delete", "", "&File", Delete1Click),
      BUILT("Rename1", "&Rename", "", "&File", Rename1Click),
      BUILT("NewFolder2", "&New Folder", "", "&File", NewFolder2Click),
      BUILT("SaveAs1", "&Save Image As", "Ctrl+S", "&File", SaveAs1Click),
      BUILT("SwitchFolders1", "S&witch Folders", "", "&File", SwitchFolders1Click),
      BUILT("Exit1", "E&xit", "", "&File", Exit1Click),
      // "&Edit"
      BUILT("Undo1", "&Undo", "Ctrl+Z", "&Edit", Undo1Click),
      BUILT("Resample1", "&Resample", "", "&Edit", Resample1Click),
      Kind(BUILT("None1", "&None", "", tools, None1Click), K::Radio, "tools", true),
      Kind(BUILT("Crop1", "&Crop", "", tools, Crop1Click), K::Radio, "tools"),
      Kind(BUILT("Pen1", "&Pen", "", tools, Pen1Click), K::Radio, "tools"),
      Kind(BUILT("Rectangle1", "&Rectangle", "", tools, Rectangle1Click), K::Radio, "tools"),
      Kind(BUILT("LineDraw1", "&Line ", "", tools, LineDraw1Click), K::Radio, "tools"),
      Kind(BUILT("Ellipse1", "&Ellipse", "", tools, Ellipse1Click), K::Radio, "tools"),
      Kind(BUILT("Surface1", "&Surface Fill", "", tools, Surface1Click), K::Radio, "tools"),
      Kind(BUILT("Border1", "&Border Fill", "", tools, Border1Click), K::Radio, "tools"),
      BUILT("InvertImage1", "&Invert", "", transform, InvertImage1Click),
      BUILT("MirrorVertical1", "Mirror &Vertical ", "", transform, MirrorVertical1Click),
      BUILT("FlipHorizontal1", "Mirror &Horizontal", "", transform, FlipHorizontal1Click),
      BUILT("RotateClockwise1", "Rotate &Clockwise", "", transform, RotateClockwise1Click),
      BUILT("RotateAnticlockwise1", "Rotate &Anticlockwise", "", transform,
            RotateAnticlockwise1Click),
      BUILT("AllAngles1", "Arbitrary A&ngle", "", transform, AllAngles1Click),
      BUILT("CopyImage1", "&Copy Image", "Ctrl+C", "&Edit", CopyImage1Click),
      BUILT("PasteImage1", "&Paste Image", "Ctrl+V", "&Edit", PasteImage1Click),
      BUILT("JpegProperties1", " &Jpeg Properties", "", "&Edit", JpegProperties1Click),
      // "&View"
      Kind(BUILT("FileSelector1", "&Fileview", "", "&View", FileSelector1Click), K::Check, nullptr,
           true),
      BUILT("FullScreen1", "F&ull Screen", "", "&View", FullScreen1Click),
      Kind(BUILT("AllFiles1", "&All Files", "", "&View", AllFiles1Click), K::Check),
      BUILT("Color1", "Paint &Box", "", "&View", Color1Click),
      Kind(BUILT("Transparent1", "&Transparent Bitmap", "", "&View", Transparent1Click), K::Check),
      Kind(BUILT("DontScale1", "&Normal", "", style, DontScale1Click), K::Radio, "style"),
      Kind(BUILT("FitToWindow1", "Fit to &Window", "", style, FitToWindow1Click), K::Radio,
           "style"),
      Kind(BUILT("FitToImage1", "Fit to &Image", "", style, FitToImage1Click), K::Radio, "style"),
      BUILT("RefreshFileview1", "&Refresh Fileview", "", "&View", RefreshFileview1Click),
      // "&Options"
      Kind(BUILT("enable1", "&Start", "", "&Options/&Slide Show", enable1Click), K::Check),
      BUILT("AdjustTimer1", "&Adjust Timer", "", "&Options/&Slide Show", AdjustTimer1Click),
      BUILT("Thumbs1", "Picture &Index Maker", "", "&Options", Thumbs1Click),
      BUILT("ActiveWindow1", "Wi&ndow Capture", "", "&Options", ActiveWindow1Click),
      BUILT("ScreenShot1", "Screen C&apture", "", "&Options", ScreenShot1Click),
      BUILT("Centered1", "&Centered", "", wallpaper, Centered1Click),
      BUILT("Tiled1", "&Tiled", "", wallpaper, Tiled1Click),
      BUILT("Stretched1", "&Stretched", "", wallpaper, Stretched1Click),
      BUILT("NoWallpaper", "&None", "", wallpaper, NoWallpaperClick),
      Kind(BUILT("StayOnTop1", "Stay On &Top", "", "&Options", StayOnTop1Click), K::Check),
      BUILT("Print1", "&Print", "Ctrl+P", "&Options", Print1Click),
      Kind(BUILT("StopPic", "Stop Picture &Update", "Ctrl+U", "&Options", StopPicClick), K::Check),
      Kind(BUILT("StopUpdate2", "Stop &Fileview Update", "Ctrl+F", "&Options", StopUpdate2Click),
           K::Check),
      BUILT("SetExternalViewer1", "&External Viewer", "", setup, SetExternalViewer1Click),
      BUILT("Install1", "&Installation", "F6", setup, Install1Click),
      BUILT("OpenWeb1", "Open We&b", "", "&Options", OpenWeb1Click),
      // "&Help"
      BUILT("Help2", "&Help", "F1", "&Help", Help2Click),
      BUILT("about1", "A&bout", "", "&Help", about1Click),
      BUILT("mailto1", "Contact &Brackwell", "", "&Help", mailto1Click),
      BUILT("SystemInformation1", "&System Information", "", "&Help", SystemInformation1Click),
      // The file list's pop-up
      BUILT("MoveFile1", "Move File", "", "PopupMenu1", Move1Click),
      BUILT("CopyFile1", "Copy File", "", "PopupMenu1", Copy1Click),
      BUILT("DeleteFile1", "Delete File", "", "PopupMenu1", Delete1Click),
      BUILT("RenameFile1", "Rename File", "", "PopupMenu1", Rename1Click),
      BUILT("Thumbnails3", "Thumbnails", "", "PopupMenu1", Thumbnails3Click),
      BUILT("FindFile2", "Find File", "", "PopupMenu1/Find...", FindFile1Click),
      BUILT("NameDuplicate", "Find Name Duplicate", "", "PopupMenu1/Find...", NameDuplicateClick),
      BUILT("SizeDuplicate", "Find Size Duplicate", "", "PopupMenu1/Find...", SizeDuplicateClick),
      BUILT("SaveAs2", "Save Image As", "", "PopupMenu1", SaveAs1Click),
      BUILT("ClipAsDos2", "ClipBoard as DOS path", "", "PopupMenu1/Copy Path To", ClipAsDos2Click),
      BUILT("ClipAsUnix2", "Clipboard as Unix path", "", "PopupMenu1/Copy Path To",
            ClipAsUnix2Click),
      BUILT("ThumbsBgndDialog1", "Picture Index Background", "", "PopupMenu1",
          ThumbsBgndDialog1Click),
      BUILT("OpenInNewViewer2", "In New Viewer", "", "PopupMenu1/Open...", NewViewer1Click),
      BUILT("OpenContainer1", "Containing Folder", "", "PopupMenu1/Open...", OpenContainer1Click),
      Kind(TCommand{"ExternalViewer2", "External Viewer", "", "PopupMenu1/Open...",
                    "ExternalViewer1Click", nullptr, K::Item, nullptr, false, true},
           K::SubMenu),
      Kind(BUILT("StopUpdate1", "Stop Fileview Update", "", "PopupMenu1", StopUpdate2Click),
           K::Check),
      // Information only (disabled): the pop-up puts the file's size in its caption.
      CMD("Size1", "Size: ", "", "PopupMenu1", Size1Click),
      // The folder list's pop-up
      BUILT("ExploreFolder1", "Explore Folder", "", "PopupMenu2", ExploreFolder1Click),
      BUILT("RenameFolder1", "Rename Folder", "", "PopupMenu2", RenameFolder1Click),
      BUILT("RemoveFolder1", "Delete Folder", "", "PopupMenu2", RemoveFolder1Click),
      BUILT("NewFolder1", "New Folder", "", "PopupMenu2", NewFolder2Click),
      BUILT("Thumbnails2", "Thumbnails", "", "PopupMenu2", Thumbnails2Click),
      BUILT("FindInFiles2", "Find In Files", "", "PopupMenu2", FindInFiles2Click),
      BUILT("FindinSubtree", "Find In Subtree", "", "PopupMenu2", FindinSubtreeClick),
      BUILT("OpenInNewViewer1", "Open In New Viewer", "", "PopupMenu2", OpenInNewViewer1Click),
      BUILT("toSaveDialog1", "Move/Copy  Dialog", "", "PopupMenu2/Copy Path To",
            toSaveDialog1Click),
      BUILT("SaveAsDialog2", "Save As Dialog", "", "PopupMenu2/Copy Path To", SaveAsDialog2Click),
      BUILT("ClipAsDos1", "Clipboard as Dos Path ", "", "PopupMenu2/Copy Path To", ClipAsDos1Click),
      BUILT("ClipAsUnix1", "ClipBoard as Unix Path", "", "PopupMenu2/Copy Path To",
            ClipAsUnix1Click),
      BUILT("ThumbsDialog1", "Picture Index Browse Dialog", "", "PopupMenu2/Copy Path To",
          ThumbsDialog1Click),
      CMD("Size2", "Size", "", "PopupMenu2", Size2Click),
      // The full-screen window's pop-up
      Kind(BUILT("HideTitle1", "Hide Title", "", "PopupMenu3", HideTitleClick), K::Check),
      Kind(BUILT("FileSelector2", "File Selector", "", "PopupMenu3", FileSelector2Click), K::Check),
      BUILT("Exit2", "Exit", "", "PopupMenu3", Exit2Click),
      // The toolbar, left to right (the caption is the button's hint)
      Kind(BUILT("FindSelector", "Locate Selector", "", "ToolBar1", FindSelection1Click),
           K::ToolPush),
      Kind(BUILT("Toolbutton2", "Fit Window", "", "ToolBar1", Toolbutton2Click), K::ToolCheck,
           "fit"),
      Kind(BUILT("ToolButton3", "Fit Image", "", "ToolBar1", ToolButton3Click), K::ToolCheck,
           "fit"),
      Kind(BUILT("ToolButton4", "SlideShow", "", "ToolBar1", ToolButton4Click), K::ToolCheck),
      Kind(BUILT("ToolButton5", "Hide", "", "ToolBar1", ToolButton5Click), K::ToolPush),
  };
}

#undef CMD
#undef BUILT

} // namespace

const std::vector<TCommand>& CommandTable() {
  static const std::vector<TCommand> table = MakeTable();
  return table;
}

const TCommand* FindCommand(const QString& name) {
  for (const TCommand& command : CommandTable())
    if (name == command.Name) return &command;
  return nullptr;
}

QAction* TCommandSet::AddToolButton(QWidget* toolBar, const TCommand& command) {
  auto* action = new QAction(ToolbarImage(command.Name), QString(), toolBar);
  action->setToolTip(command.Caption);
  auto* button = new QToolButton(toolBar);
  button->setDefaultAction(action);
  button->setAutoRaise(true);
  button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  button->setObjectName(command.Name);
  toolBar->layout()->addWidget(button);
  toolBar->addAction(action);
  return action;
}

TCommandSet::TCommandSet(TKestrelMain* window, QMenuBar* menuBar, QWidget* toolBar) {
  QHash<QString, QActionGroup*> groups;
  for (const TCommand& command : CommandTable()) {
    const QString place = command.Place;
    QAction* action = nullptr;
    if (command.Kind == TCommandKind::SubMenu) {
      QMenu* sub = MenuAt(place + "/" + command.Caption, window, menuBar);
      action = sub->menuAction();
    } else if (place == "ToolBar1") {
      action = AddToolButton(toolBar, command);
    } else {
      action = MenuAt(place, window, menuBar)->addAction(command.Caption);
    }
    action->setObjectName(command.Name);
    if (*command.Shortcut) {
      action->setShortcut(QKeySequence(command.Shortcut));
      window->addAction(action); // shortcuts work while the menu bar is closed
    }
    const bool checkable = command.Kind == TCommandKind::Check ||
                           command.Kind == TCommandKind::Radio ||
                           command.Kind == TCommandKind::ToolCheck;
    action->setCheckable(checkable);
    action->setChecked(command.Checked);
    if (command.Group) {
      QActionGroup*& group = groups[command.Group];
      if (!group) {
        group = new QActionGroup(window);
        if (command.Kind == TCommandKind::ToolCheck)
          group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
      }
      group->addAction(action);
    }
    action->setEnabled(command.Built);
    if (command.Handler && command.Kind != TCommandKind::SubMenu) {
      const TCommandHandler handler = command.Handler;
      QObject::connect(action, &QAction::triggered, window,
                       [window, handler] { (window->*handler)(); });
    }
    Actions.insert(command.Name, action);
  }
  for (auto menu = Menus.cbegin(); menu != Menus.cend(); ++menu) {
    QMenu* shown = menu.value();
    QObject::connect(shown, &QMenu::aboutToShow, shown, [this, shown] { EnableSubMenus(shown); });
    if (!menu.key().contains('/')) EnableSubMenus(shown); // from the top, as the menus start
  }
}

bool TCommandSet::HasEnabledItem(const QMenu* menu) {
  for (const QAction* action : menu->actions())
    if (!action->isSeparator() && action->isEnabled()) return true;
  return false;
}

void TCommandSet::EnableSubMenus(QMenu* menu) {
  // A sub-menu with nothing to choose in it is disabled, so that it is not opened for nothing.
  for (QAction* action : menu->actions()) {
    QMenu* sub = action->menu();
    if (!sub) continue;
    EnableSubMenus(sub);
    const TCommand* command = FindCommand(action->objectName());
    action->setEnabled((!command || command->Built) && HasEnabledItem(sub));
  }
}

QMenu* TCommandSet::MenuAt(const QString& place, QWidget* owner, QMenuBar* menuBar) {
  if (QMenu* menu = Menus.value(place)) return menu;
  const qsizetype slash = place.lastIndexOf('/');
  QMenu* menu = nullptr;
  if (slash < 0) {
    menu = place.startsWith("PopupMenu") ? new QMenu(owner) : menuBar->addMenu(place);
  } else {
    menu = MenuAt(place.left(slash), owner, menuBar)->addMenu(place.mid(slash + 1));
  }
  menu->setObjectName(place);
  Menus.insert(place, menu);
  return menu;
}

QMenu* TCommandSet::SubMenu(const QString& name) const {
  const QAction* action = Actions.value(name);
  return action ? action->menu() : nullptr;
}

bool TCommandSet::Built(const QString& name) const {
  const TCommand* command = FindCommand(name);
  return command && command->Built;
}

void TCommandSet::SetEnabled(const QString& name, bool condition) {
  if (QAction* action = Actions.value(name)) action->setEnabled(Built(name) && condition);
}

} // namespace kestrel
