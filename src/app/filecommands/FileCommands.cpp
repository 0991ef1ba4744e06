#include "app/filecommands/FileCommands.h"

#include "app/fileops/FileOperations.h"
#include "app/main/ImageMask.h"
#include "app/main/KestrelMain.h"
#include "app/main/MainSettings.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/filelists/PathText.h"
#include "desktop/rename/RenameDialog.h"
#include "platform/files/Folders.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SaveDialog.h"

#include <QAction>
#include <QFileInfo>

#include <cerrno>
#include <memory>

namespace kestrel {
namespace {

const char kNewFolder[] = "New Folder";

// "New Folder", then "New Folder (1)", "New Folder (2)", ... : the first that the system makes.
// Made at once, not looked for first: a name another program takes meanwhile is simply skipped.
struct TNewFolder {
  QString Path;
  int Error = 0;
};

TNewFolder MakeNewFolder(const QString& parent) {
  for (int n = 0; n < 10000; ++n) {
    const QString name = n == 0 ? QString(kNewFolder) : QString("%1 (%2)").arg(kNewFolder).arg(n);
    const QString path = JoinPath(parent, name);
    const int error = MakeFolder(path);
    if (error != EEXIST) return {path, error};
  }
  return {{}, EEXIST};
}

void SelectFolderItem(TDListBox& folders, const QString& path) {
  folders.FinishReading();
  for (int i = 0; i < folders.Count(); ++i) {
    if (folders.ItemPath(i) == path) {
      folders.SetItemIndex(i);
      return;
    }
  }
}

} // namespace

QStringList TFileCommands::SelectedFiles() const {
  const TFListBox& files = *Main.FListBox1;
  QStringList paths;
  for (int i = 0; i < files.Count(); ++i)
    if (files.Selected(i)) paths << JoinPath(files.Directory(), files.Item(i).Name);
  return paths;
}

QString TFileCommands::ChooseTarget(TFileAction action, const QStringList& files) {
  TSaveDialogRequest request;
  request.Title = action == TFileAction::Copy ? "Copy File" : "Move File";
  request.AcceptLabel = action == TFileAction::Copy ? "&Copy" : "&Move";
  request.Filter = Main.Commands().Action("AllFiles1")->isChecked()
                       ? QString("All files(*.*)|*.*")
                       : "All Kestrel Image Files|" + ImageMask(ViewerExtensions());
  request.FileName = QFileInfo(files.first()).fileName();
  request.InitialDir = Main.CopyMoveTarget;
  // Only a single file's name is typed: several files keep theirs, and an existing one is a
  // question of its own.
  request.ConfirmOverwrite = files.size() == 1;
  const TSaveDialogAnswer answer = ExecuteSaveDialog(request, &Main);
  if (!answer.Accepted) return {};
  Main.CopyMoveTarget = QFileInfo(answer.FileName).absolutePath();
  WriteSetting(MainSettings::CopyMoveTarget, Main.CopyMoveTarget);
  return answer.FileName;
}

void TFileCommands::CopyOrMove(TFileAction action) {
  if (Main.FListBox1->ItemIndex() < 0) return;
  const QStringList files = SelectedFiles();
  if (files.isEmpty()) return;
  const TRefreshPause pause(&Main.AutoRefresh);
  const QString target = ChooseTarget(action, files);
  if (target.isEmpty()) return;
  Main.DListBox1->Update();
  const QString folder = QFileInfo(target).absolutePath();
  TFileOperations operations(&Main);
  if (files.size() == 1) {
    // The name typed may differ, and the user agreed to replace a file of that name.
    if (action == TFileAction::Copy)
      operations.CopyReplacing(files.first(), target);
    else
      operations.MoveReplacing(files.first(), target);
  } else if (action == TFileAction::Copy) {
    operations.Copy(files, folder);
  } else {
    operations.Move(files, folder);
  }
  // The refresh keeps the first selected file, or its place when it moved away.
  Main.FileListRefresh();
}

void TFileCommands::Delete() {
  if (Main.ActiveControl() == Main.DListBox1)
    RemoveFolder();
  else if (Main.ActiveControl() == Main.FListBox1)
    DeleteFiles();
}

void TFileCommands::DeleteFiles() {
  const QStringList files = SelectedFiles();
  if (files.isEmpty()) return;
  const TRefreshPause pause(&Main.AutoRefresh);
  TFileOperations operations(&Main);
  if (!operations.ConfirmTrash(files)) return; // the selection stays as it was
  operations.Trash(files);
  // The first selected place now holds the next file; past the end nothing is selected.
  Main.FileListRefresh();
}

void TFileCommands::RemoveFolder() {
  RemoveFolderAt(Main.DListBox1->ItemIndex());
}

void TFileCommands::RemoveFolderAt(int index) {
  TDListBox& folders = *Main.DListBox1;
  if (index < 0) return;
  const QString folder = folders.ItemPath(index);
  const QString shown = folders.Directory();
  const bool showing = shown == folder || shown.startsWith(folder + "/");
  const TRefreshPause pause(&Main.AutoRefresh);
  if (showing && Main.Watcher) Main.Watcher->Forget(shown);
  if (const int error = kestrel::RemoveFolder(folder); error != 0) {
    if (showing && Main.Watcher) Main.Watcher->Forget({});
    ShowMessage("Error Folder Not Empty 1\nError : " + QString::number(error), "Kestrel!",
                TMsgIcon::Information, &Main);
    return;
  }
  if (showing) {
    // The shown folder is gone (the system lets a process remove the folder it is in): the lists
    // go to what is left above it.
    Main.ShowNearestFolder(QFileInfo(folder).path());
    return;
  }
  folders.Update();
  folders.FinishReading();
  if (index > 1) folders.SetItemIndex(std::min(index - 1, folders.Count() - 1));
}

void TFileCommands::NewFolder() {
  TDListBox& folders = *Main.DListBox1;
  const QString parent = folders.ItemPath(std::max(folders.ItemIndex(), 0));
  const TNewFolder made = MakeNewFolder(parent);
  if (made.Error != 0) {
    ShowMessage("Cannot Create Folder: \r Check if Disk Full", "Kestrel!", TMsgIcon::Error, &Main);
    return;
  }
  // The lists stay still until the new folder has its name.
  auto pause = std::make_unique<TRefreshPause>(&Main.AutoRefresh);
  Main.ShowNearestFolder(parent); // read again even when it is shown already
  SelectFolderItem(folders, made.Path);
  Main.RenameDialog1->HoldPause(std::move(pause));
  Main.RenameDialog1->Open(TRenameDialog::mdFolder);
}

void TFileCommands::Rename() {
  if (Main.ActiveControl() == Main.FListBox1)
    Main.RenameDialog1->Open(TRenameDialog::mdFile);
  else if (Main.ActiveControl() == Main.DListBox1)
    Main.RenameDialog1->Open(TRenameDialog::mdFolder);
}

void TFileCommands::RenameFolder() {
  Main.RenameDialog1->Open(TRenameDialog::mdFolder);
}

void TFileCommands::SwitchFolders() {
  const QString target = Main.CopyMoveTarget;
  if (!QFileInfo(target).isDir()) return;
  const QString shown = Main.DListBox1->Directory();
  try {
    Main.DListBox1->SetDirectory(target);
  } catch (const EInOutError& error) {
    ShowMessage(QString::fromStdString(error.what()), "Kestrel!", TMsgIcon::Information, &Main);
    return;
  }
  Main.CopyMoveTarget = shown;
}

} // namespace kestrel
