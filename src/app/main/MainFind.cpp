// The find windows: made with what they need of the main window, and the commands that open them.

#include "app/main/KestrelMain.h"

#include "app/fileops/FileOperations.h"
#include "app/main/ImageMask.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/filelists/RefreshPause.h"
#include "browse/find/FindDialog.h"
#include "browse/find/FindDialogX.h"
#include "browse/index/Thumbs.h"
#include "desktop/viewers/ExtViewerDialog.h"

#include <QFileInfo>

#include <algorithm>

namespace kestrel {

void TKestrelMain::CreateFind() {
  TFindHost host;
  host.AcceptFile = [this](const QString& path) { AcceptFile(path); };
  host.LoadPicture = [this](const QString& path) { LoadPicture(path); };
  host.FileListEnabled = [this] { return FListBox1->isEnabled(); };
  host.IsPicture = [](const QString& path) {
    return InImageMask(path, ImageMask(ViewerExtensions()));
  };
  host.ShowFolder = [this](const QString& folder) { RecentFolderClick(folder); };
  host.SetCopyMoveTarget = [this](const QString& folder) { CopyMoveTarget = folder; };
  host.OpenLink = [this](const QUrl& url, const QString& what) { OpenLink(url, what); };
  host.StartViewer = [this](const QString& path) { StartViewer(path); };
  host.CurrentFolder = [this] { return DListBox1->Directory(); };
  host.Transfer = [this](TFindTransferKind kind, const QStringList& files, const QString& folder) {
    return TransferFound(kind, files, folder);
  };
  host.SetExternalViewer = [this](const QString& program) {
    if (ExtViewerDialog->AddProgram(program)) SetExternalViewer1Click();
  };
  host.SetIndexBackground = [this](const QString& picture) {
    IndexMaker().SetWallpaperFile(picture);
  };
  FindDialogX = new TFindDialogX(std::move(host), this);
  FindDialog = new TFindDialog(
      FListBox1, [this] { Flistbox1Click(); }, this);
}

QStringList TKestrelMain::TransferFound(TFindTransferKind kind, const QStringList& files,
                                        const QString& folder) {
  const TRefreshPause pause(&AutoRefresh);
  TFileOperations operations(FindDialogX);
  TOperationResult result;
  switch (kind) {
  case TFindTransferKind::Copy:
    result = operations.Copy(files, folder);
    break;
  case TFindTransferKind::Move:
    result = operations.Move(files, folder);
    break;
  case TFindTransferKind::Trash:
    if (!operations.ConfirmTrash(files)) return {};
    result = operations.Trash(files);
    break;
  }
  FileListRefresh();
  return result.Done;
}

void TKestrelMain::FindinFiles1Click() {
  FindDialogX->ShowFind();
}

void TKestrelMain::FindFile1Click() {
  FindDialog->show();
  FindDialog->raise();
  FindDialog->activateWindow();
}

void TKestrelMain::NameDuplicateClick() {
  const QString file = FListBox1->FileName();
  if (file.isEmpty()) return;
  FindDialogX->SetReferenceFile(file);
  FindDialogX->ShowNameDuplicate(QFileInfo(file).fileName());
}

void TKestrelMain::SizeDuplicateClick() {
  const QString file = FListBox1->FileName();
  if (file.isEmpty()) return;
  FindDialogX->SetSizeDuplicate(file);
  FindDialogX->ShowFind();
}

void TKestrelMain::FindInFiles2Click() {
  const int item = std::max(DListBox1->ItemIndex(), 0);
  FindDialogX->SetPattern(DListBox1->Item(item).Text);
  FindDialogX->ShowFind();
}

void TKestrelMain::FindinSubtreeClick() {
  FindDialogX->SetSubtree(DListBox1->ItemPath(std::max(DListBox1->ItemIndex(), 0)));
}

} // namespace kestrel
