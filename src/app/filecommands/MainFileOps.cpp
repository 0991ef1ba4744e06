// The main window's file-management commands: each hands over to the file commands, and the
// rename window is made here with what it needs of the window.

#include "app/main/KestrelMain.h"

#include "app/filecommands/FileCommands.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "desktop/rename/RenameDialog.h"

#include <QAction>
#include <QFileInfo>

namespace kestrel {

using TPathTarget = TFileCommands::TPathTarget;

void TKestrelMain::CreateFileCommands() {
  AutoRefresh.Apply = [this](bool on) { FileviewUpdate = on; };
  AutoRefresh.Wanted = [this] { return !CommandSet->Action("StopUpdate2")->isChecked(); };
  FileCommands = std::make_unique<TFileCommands>(*this);
  TRenameHooks hooks;
  hooks.AutoRefresh = &AutoRefresh;
  hooks.RefreshPending = [this] { return Watcher && Watcher->FilesChanged(); };
  hooks.RefreshFileView = [this] { FileListRefresh(); };
  hooks.FileRenamed = [this](const QString& path) {
    FileListRefreshSelecting(QFileInfo(path).fileName());
  };
  hooks.SetCopyMoveTarget = [this](const QString& folder) { CopyMoveTarget = folder; };
  RenameDialog1 = new TRenameDialog(DListBox1, FListBox1, std::move(hooks), this);
  connect(DListBox1, &TOwnerDrawList::Click, this,
          [this] { RenameDialog1->ListClicked(TRenameDialog::mdFolder); });
}

void TKestrelMain::Copy1Click() {
  FileCommands->CopyOrMove(TFileAction::Copy);
}

void TKestrelMain::Move1Click() {
  FileCommands->CopyOrMove(TFileAction::Move);
}

void TKestrelMain::Delete1Click() {
  FileCommands->Delete();
}

void TKestrelMain::NewFolder2Click() {
  FileCommands->NewFolder();
}

void TKestrelMain::RemoveFolder1Click() {
  FileCommands->RemoveFolder();
}

void TKestrelMain::Rename1Click() {
  FileCommands->Rename();
}

void TKestrelMain::RenameFolder1Click() {
  FileCommands->RenameFolder();
}

void TKestrelMain::SwitchFolders1Click() {
  FileCommands->SwitchFolders();
}

void TKestrelMain::ClipBoard1Click() {
  FileCommands->CopyPath();
}

void TKestrelMain::ClipAsDos2Click() {
  FileCommands->CopyFilePath(true);
}

void TKestrelMain::ClipAsUnix2Click() {
  FileCommands->CopyFilePath(false);
}

void TKestrelMain::ClipAsDos1Click() {
  FileCommands->CopyFolderPath(true);
}

void TKestrelMain::ClipAsUnix1Click() {
  FileCommands->CopyFolderPath(false);
}

void TKestrelMain::SaveToPathClick() {
  FileCommands->PastePathTo(TPathTarget::CopyMove);
}

void TKestrelMain::SaveAsDialog1Click() {
  FileCommands->PastePathTo(TPathTarget::SaveFolder);
}

void TKestrelMain::GotoPathClick() {
  FileCommands->GotoPath();
}

void TKestrelMain::toSaveDialog1Click() {
  FileCommands->FolderAsTarget(TPathTarget::CopyMove);
}

void TKestrelMain::SaveAsDialog2Click() {
  FileCommands->FolderAsTarget(TPathTarget::SaveFolder);
}

} // namespace kestrel
