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
      Kind(CMD("ExternalViewer1", "&External Viewer", "", "&File", ExternalViewer1Click),
           K::SubMenu),
      // Its items, one per recent folder, are made by the window.
      Kind(TCommand{"RecentFolders1", "Recen&t Folders", "", "&File", "RecentFolderClick", nullptr,
                    K::Item, nullptr, false, true},
           K::SubMenu),
      CMD("Thumbnails1", "&Thumbnails", "", "&File", Thumbnails1Click),
      CMD("ClipBoard1", "C&opy Path", "", "&File", ClipBoard1Click),
      CMD("SaveToPath", "&Move/Copy Dialog", "", paste, SaveToPathClick),
      CMD("SaveAsDialog1", "&Save As Dialog", "", paste, SaveAsDialog1Click),
      CMD("GotoPath", "&Kestrel", "", paste, GotoPathClick),
      CMD("ThumbsDialog2", "&Picture Index Browse Dialog", "", paste, ThumbsDialog2Click),
      CMD("FindinFiles1", "Find &in Files ", "Ctrl+A", "&File/&Find", FindinFiles1Click),
      BUILT("FindSelection1", "Find &Selector", "", "&File", FindSelection1Click),
      CMD("FindFile1", "&Find File", "", "&File", FindFile1Click),
      CMD("Copy1", "&Copy", "", "&File", Copy1Click),
      CMD("Move1", "&Move", "", "&File", Move1Click),
      CMD("Delete1", "&Delete", "", "&File", Delete1Click),
      CMD("Rename1", "&Rename", "", "&File", Rename1Click),
      CMD("NewFolder2", "&New Folder", "", "&File", NewFolder2Click),
      BUILT("SaveAs1", "&Save Image As", "Ctrl+S", "&File", SaveAs1Click),
      CMD("SwitchFolders1", "S&witch Folders", "", "&File", SwitchFolders1Click),
      BUILT("Exit1", "E&xit", "", "&File", Exit1Click),
      // "&Edit"
      CMD("Undo1", "&Undo", "Ctrl+Z", "&Edit", Undo1Click),
      BUILT("Resample1", "&Resample", "", "&Edit", Resample1Click),
      Kind(CMD("None1", "&None", "", tools, None1Click), K::Radio, "tools", true),
      Kind(CMD("Crop1", "&Crop", "", tools, Crop1Click), K::Radio, "tools"),
      Kind(CMD("Pen1", "&Pen", "", tools, Pen1Click), K::Radio, "tools"),
      Kind(CMD("Rectangle1", "&Rectangle", "", tools, Rectangle1Click), K::Radio, "tools"),
      Kind(CMD("LineDraw1", "&Line ", "", tools, LineDraw1Click), K::Radio, "tools"),
      Kind(CMD("Ellipse1", "&Ellipse", "", tools, Ellipse1Click), K::Radio, "tools"),
      Kind(CMD("Surface1", "&Surface Fill", "", tools, Surface1Click), K::Radio, "tools"),
      Kind(CMD("Border1", "&Border Fill", "", tools, Border1Click), K::Radio, "tools"),
      BUILT("InvertImage1", "&Invert", "", transform, InvertImage1Click),
      BUILT("MirrorVertical1", "Mirror &Vertical ", "", transform, MirrorVertical1Click),
      BUILT("FlipHorizontal1", "Mirror &Horizontal", "", transform, FlipHorizontal1Click),
      BUILT("RotateClockwise1", "Rotate &Clockwise", "", transform, RotateClockwise1Click),
      BUILT("RotateAnticlockwise1", "Rotate &Anticlockwise", "", transform,
            RotateAnticlockwise1Click),
      CMD("AllAngles1", "Arbitrary A&ngle", "", "&Edit", AllAngles1Click),
      CMD("CopyImage1", "&Copy Image", "Ctrl+C", "&Edit", CopyImage1Click),
      CMD("PasteImage1", "&Paste Image", "Ctrl+V", "&Edit", PasteImage1Click),
      BUILT("JpegProperties1", " &Jpeg Properties", "", "&Edit", JpegProperties1Click),
      // "&View"
      Kind(BUILT("FileSelector1", "&Fileview", "", "&View", FileSelector1Click), K::Check, nullptr,
           true),
      CMD("FullScreen1", "F&ull Screen", "", "&View", FullScreen1Click),
      Kind(BUILT("AllFiles1", "&All Files", "", "&View", AllFiles1Click), K::Check),
      CMD("Color1", "Paint &Box", "", "&View", Color1Click),
      Kind(BUILT("Transparent1", "&Transparent Bitmap", "", "&View", Transparent1Click), K::Check),
      Kind(BUILT("DontScale1", "&Normal", "", style, DontScale1Click), K::Radio, "style"),
      Kind(BUILT("FitToWindow1", "Fit to &Window", "", style, FitToWindow1Click), K::Radio,
           "style"),
      Kind(BUILT("FitToImage1", "Fit to &Image", "", style, FitToImage1Click), K::Radio, "style"),
      BUILT("RefreshFileview1", "&Refresh Fileview", "", "&View", RefreshFileview1Click),
      // "&Options"
      Kind(CMD("enable1", "&Start", "", "&Options/&Slide Show", enable1Click), K::Check),
      CMD("AdjustTimer1", "&Adjust Timer", "", "&Options/&Slide Show", AdjustTimer1Click),
      CMD("Thumbs1", "Picture &Index Maker", "", "&Options", Thumbs1Click),
      CMD("ActiveWindow1", "Wi&ndow Capture", "", "&Options", ActiveWindow1Click),
      CMD("ScreenShot1", "Screen C&apture", "", "&Options", ScreenShot1Click),
      CMD("Centered1", "&Centered", "", wallpaper, Centered1Click),
      CMD("Tiled1", "&Tiled", "", wallpaper, Tiled1Click),
      CMD("Stretched1", "&Stretched", "", wallpaper, Stretched1Click),
      CMD("NoWallpaper", "&None", "", wallpaper, NoWallpaperClick),
      Kind(CMD("StayOnTop1", "Stay On &Top", "", "&Options", StayOnTop1Click), K::Check),
      BUILT("Print1", "&Print", "Ctrl+P", "&Options", Print1Click),
      Kind(BUILT("StopPic", "Stop Picture &Update", "Ctrl+U", "&Options", StopPicClick), K::Check),
      Kind(BUILT("StopUpdate2", "Stop &Fileview Update", "Ctrl+F", "&Options", StopUpdate2Click),
           K::Check),
      CMD("SetExternalViewer1", "&External Viewer", "", setup, SetExternalViewer1Click),
      CMD("Install1", "&Installation", "F6", setup, Install1Click),
      BUILT("OpenWeb1", "Open We&b", "", "&Options", OpenWeb1Click),
      // "&Help"
      BUILT("Help2", "&Help", "F1", "&Help", Help2Click),
      BUILT("about1", "A&bout", "", "&Help", about1Click),
      BUILT("mailto1", "Contact &Brackwell", "", "&Help", mailto1Click),
      CMD("SystemInformation1", "&System Information", "", "&Help", SystemInformation1Click),
      // The file list's pop-up
      CMD("MoveFile1", "Move File", "", "PopupMenu1", Move1Click),
      CMD("CopyFile1", "Copy File", "", "PopupMenu1", Copy1Click),
      CMD("DeleteFile1", "Delete File", "", "PopupMenu1", Delete1Click),
      CMD("RenameFile1", "Rename File", "", "PopupMenu1", Rename1Click),
      CMD("Thumbnails3", "Thumbnails", "", "PopupMenu1", Thumbnails3Click),
      CMD("FindFile2", "Find File", "", "PopupMenu1/Find...", FindFile1Click),
      CMD("NameDuplicate", "Find Name Duplicate", "", "PopupMenu1/Find...", NameDuplicateClick),
      CMD("SizeDuplicate", "Find Size Duplicate", "", "PopupMenu1/Find...", SizeDuplicateClick),
      BUILT("SaveAs2", "Save Image As", "", "PopupMenu1", SaveAs1Click),
      CMD("ClipAsDos2", "ClipBoard as DOS path", "", "PopupMenu1/Copy Path To", ClipAsDos2Click),
      CMD("ClipAsUnix2", "Clipboard as Unix path", "", "PopupMenu1/Copy Path To", ClipAsUnix2Click),
      CMD("ThumbsBgndDialog1", "Picture Index Background", "", "PopupMenu1",
          ThumbsBgndDialog1Click),
      BUILT("OpenInNewViewer2", "In New Viewer", "", "PopupMenu1/Open...", NewViewer1Click),
      BUILT("OpenContainer1", "Containing Folder", "", "PopupMenu1/Open...", OpenContainer1Click),
      Kind(
          CMD("ExternalViewer2", "External Viewer", "", "PopupMenu1/Open...", ExternalViewer1Click),
          K::SubMenu),
      Kind(BUILT("StopUpdate1", "Stop Fileview Update", "", "PopupMenu1", StopUpdate2Click),
           K::Check),
      // Information only (disabled): the pop-up puts the file's size in its caption.
      CMD("Size1", "Size: ", "", "PopupMenu1", Size1Click),
      // The folder list's pop-up
      BUILT("ExploreFolder1", "Explore Folder", "", "PopupMenu2", ExploreFolder1Click),
      CMD("RenameFolder1", "Rename Folder", "", "PopupMenu2", RenameFolder1Click),
      CMD("RemoveFolder1", "Delete Folder", "", "PopupMenu2", RemoveFolder1Click),
      CMD("NewFolder1", "New Folder", "", "PopupMenu2", NewFolder2Click),
      CMD("Thumbnails2", "Thumbnails", "", "PopupMenu2", Thumbnails2Click),
      CMD("FindInFiles2", "Find In Files", "", "PopupMenu2", FindInFiles2Click),
      CMD("FindinSubtree", "Find In Subtree", "", "PopupMenu2", FindinSubtreeClick),
      BUILT("OpenInNewViewer1", "Open In New Viewer", "", "PopupMenu2", OpenInNewViewer1Click),
      CMD("toSaveDialog1", "Move/Copy  Dialog", "", "PopupMenu2/Copy Path To", toSaveDialog1Click),
      CMD("SaveAsDialog2", "Save As Dialog", "", "PopupMenu2/Copy Path To", SaveAsDialog2Click),
      CMD("ClipAsDos1", "Clipboard as Dos Path ", "", "PopupMenu2/Copy Path To", ClipAsDos1Click),
      CMD("ClipAsUnix1", "ClipBoard as Unix Path", "", "PopupMenu2/Copy Path To", ClipAsUnix1Click),
      CMD("ThumbsDialog1", "Picture Index Browse Dialog", "", "PopupMenu2/Copy Path To",
          ThumbsDialog1Click),
      CMD("Size2", "Size", "", "PopupMenu2", Size2Click),
      // The full-screen window's pop-up
      CMD("HideTitle1", "Hide Title", "", "PopupMenu3", HideTitle1Click),
      CMD("FileSelector2", "File Selector", "", "PopupMenu3", FileSelector2Click),
      CMD("Exit2", "Exit", "", "PopupMenu3", Exit2Click),
      // The toolbar, left to right (the caption is the button's hint)
      Kind(BUILT("FindSelector", "Locate Selector", "", "ToolBar1", FindSelection1Click),
           K::ToolPush),
      Kind(BUILT("Toolbutton2", "Fit Window", "", "ToolBar1", Toolbutton2Click), K::ToolCheck,
           "fit"),
      Kind(BUILT("ToolButton3", "Fit Image", "", "ToolBar1", ToolButton3Click), K::ToolCheck,
           "fit"),
      Kind(CMD("ToolButton4", "SlideShow", "", "ToolBar1", ToolButton4Click), K::ToolCheck),
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
