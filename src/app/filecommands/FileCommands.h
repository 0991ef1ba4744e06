#pragma once
// The main window's file-management commands: copy and move the selected files through the
// copy/move dialog, delete them to the Trash, make and delete folders, open the rename window, and
// the paths: copy them to the clipboard, paste them as targets, switch folders. The work on the
// files is the file operations engine's (app/fileops); this class holds what ties it to the file
// view: the selection before and after, the dialog, the file view's refresh, the targets.
// Each command pauses the file view's automatic refresh for as long as it runs, and refreshes the
// lists itself at its end.

#include "app/fileops/FileOpTexts.h"

#include <QString>
#include <QStringList>

namespace kestrel {

class TKestrelMain;

class TFileCommands {
public:
  explicit TFileCommands(TKestrelMain& main) : Main(main) {}

  // "&Copy" / "&Move" and their pop-up items.
  void CopyOrMove(TFileAction action);
  // "&Delete": the folder when the folder list is the active control, else the selected files.
  void Delete();
  void DeleteFiles();
  void RemoveFolder();
  void NewFolder();
  // "&Rename": the file or the folder, whichever list is the active control.
  void Rename();
  void RenameFolder();
  void SwitchFolders();

  // Paths (PathCommands.cpp).
  enum class TPathTarget { CopyMove, SaveFolder, IndexBrowse };
  // "C&opy Path": the path of the active control's item.
  void CopyPath();
  void CopyFilePath(bool dos);
  void CopyFolderPath(bool dos);
  // "&Paste Path to ...": the clipboard's path as a target; "&Kestrel": the file view goes there.
  void PastePathTo(TPathTarget target);
  void GotoPath();
  // "Copy Path To": the folder list's item as a target, without asking.
  void FolderAsTarget(TPathTarget target);
  // Offers folder as the copy/move target (Ctrl and a click in the folder list).
  void OfferCopyMoveTarget(const QString& folder);

  // The full paths of the selected files, in list order.
  QStringList SelectedFiles() const;

  // The copy/move dialog for files (the first one's name proposed; only a single file's target
  // is asked before overwriting): the chosen name, or empty when cancelled. The chosen folder
  // becomes the target folder of the next copy or move.
  QString ChooseTarget(TFileAction action, const QStringList& files);

private:
  // name: the file a pasted path named, proposed to the Picture Index Maker.
  void SetTarget(TPathTarget target, const QString& folder, const QString& name = {});
  void SetClipboard(const QString& text);
  void RemoveFolderAt(int index);

  TKestrelMain& Main;
};

} // namespace kestrel
