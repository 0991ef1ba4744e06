// The find window's commands on its rows: opening, the result menu, and the keys of the list.

#include "browse/find/FindDialogX.h"

#include "browse/find/FindResults.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

namespace kestrel {

void TFindDialogX::BuildResultMenu() {
  ResultMenu = new QMenu(this);
  const auto add = [this](QMenu* menu, const QString& caption, void (TFindDialogX::*handler)(),
                          bool available = true) {
    QAction* action = menu->addAction(caption, this, handler);
    action->setEnabled(available);
    return action;
  };
  const bool transfers = bool(Host.Transfer);
  add(ResultMenu, "Move File", &TFindDialogX::MoveFileClick, transfers);
  add(ResultMenu, "Copy File", &TFindDialogX::CopyFileClick, transfers);
  add(ResultMenu, "Delete File", &TFindDialogX::DeleteFileClick, transfers);
  SetViewerAction = add(ResultMenu, "Set As External Viewer", &TFindDialogX::SetExternalViewerClick,
                        bool(Host.SetExternalViewer));
  QMenu* copyPath = ResultMenu->addMenu("Copy Path To");
  add(copyPath, "Kestrel!", &TFindDialogX::ShowInViewerClick, bool(Host.ShowFolder));
  add(copyPath, "Move/Copy  Dialog ", &TFindDialogX::MoveCopyDialogClick,
      bool(Host.SetCopyMoveTarget));
  add(copyPath, "ClipBoard", &TFindDialogX::ClipBoardClick);
  add(copyPath, "Picture Index Browse Dialog", &TFindDialogX::IndexBackgroundClick,
      bool(Host.SetIndexBackground));
  add(ResultMenu, "Open in New Viewer ", &TFindDialogX::OpenInNewViewerClick,
      bool(Host.StartViewer));
  add(ResultMenu, "Explore", &TFindDialogX::ExploreClick, bool(Host.OpenLink));
}

int TFindDialogX::CurrentRow() const {
  const QModelIndex current = ResultsView->currentIndex();
  return current.isValid() ? current.row() : -1;
}

std::vector<int> TFindDialogX::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : ResultsView->selectionModel()->selectedRows())
    rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

QString TFindDialogX::RowPath(int row) const {
  return QDir::cleanPath(Rows->Path(row));
}

QString TFindDialogX::RowFolder(int row) const {
  return Rows->Hit(row).IsFolder ? RowPath(row) : QDir::cleanPath(Rows->Folder(row));
}

void TFindDialogX::RowChosen(int row) {
  setWindowTitle(Rows->Folder(row));
  if (!Rows->Hit(row).IsFolder && Host.LoadPicture && Host.FileListEnabled &&
      Host.FileListEnabled())
    Host.LoadPicture(RowPath(row));
}

void TFindDialogX::OpenRow(int row, bool newViewer) {
  if (row < 0 || row >= Rows->rowCount()) return;
  const QString path = RowPath(row);
  if (newViewer) {
    if (Host.StartViewer) Host.StartViewer(path);
  } else if (!Rows->Hit(row).IsFolder && Host.IsPicture && Host.IsPicture(path) &&
             Host.AcceptFile) {
    Host.AcceptFile(path);
  } else if (Host.OpenLink) {
    Host.OpenLink(QUrl::fromLocalFile(path), Rows->Hit(row).IsFolder ? "the folder" : "the file");
  }
}

void TFindDialogX::ShowResultMenu(const QPoint& at) {
  const int row = CurrentRow();
  if (row < 0 || SelectedRows().empty()) return;
  // Only a program can become an external viewer.
  const QFileInfo file(RowPath(row));
  SetViewerAction->setVisible(!Rows->Hit(row).IsFolder && file.isFile() && file.isExecutable());
  ResultMenu->popup(ResultsView->viewport()->mapToGlobal(at));
}

bool TFindDialogX::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ResultsView && event->type() == QEvent::KeyPress)
    return ResultsKey(static_cast<QKeyEvent*>(event));
  return QDialog::eventFilter(watched, event);
}

bool TFindDialogX::ResultsKey(QKeyEvent* event) {
  switch (event->key()) {
  case Qt::Key_Return:
  case Qt::Key_Enter:
    OpenRow(CurrentRow(), event->modifiers() & Qt::ShiftModifier);
    return true;
  case Qt::Key_Delete:
    DeleteFileClick();
    return true;
  case Qt::Key_Insert: {
    const QModelIndex current = ResultsView->currentIndex();
    ShowResultMenu(current.isValid() ? ResultsView->visualRect(current).center() : QPoint());
    return true;
  }
  default:
    return false;
  }
}

// Copy, move or delete the selected rows that are files, through the main window's file
// operations; the rows follow what was done.
void TFindDialogX::Transfer(TFindTransferKind kind) {
  if (!Host.Transfer || Searching()) return;
  std::vector<int> rows;
  QStringList files;
  for (const int row : SelectedRows()) {
    const QString path = RowPath(row);
    if (Rows->Hit(row).IsFolder || !QFileInfo(path).isFile()) continue;
    rows.push_back(row);
    files << path;
  }
  if (files.isEmpty()) return;
  const QString folder = Host.CurrentFolder ? Host.CurrentFolder() : QString();
  if (kind != TFindTransferKind::Trash && folder.isEmpty()) return;
  const QStringList done = Host.Transfer(kind, files, folder);
  std::vector<int> handled;
  for (size_t i = 0; i < rows.size(); ++i)
    if (done.contains(files[qsizetype(i)])) handled.push_back(rows[i]);
  if (kind == TFindTransferKind::Trash)
    Rows->RemoveRows(handled);
  else if (kind == TFindTransferKind::Move)
    for (const int row : handled)
      Rows->SetFolder(row, folder);
}

void TFindDialogX::MoveFileClick() {
  Transfer(TFindTransferKind::Move);
}

void TFindDialogX::CopyFileClick() {
  Transfer(TFindTransferKind::Copy);
}

void TFindDialogX::DeleteFileClick() {
  Transfer(TFindTransferKind::Trash);
}

void TFindDialogX::SetExternalViewerClick() {
  if (const int row = CurrentRow(); row >= 0 && Host.SetExternalViewer)
    Host.SetExternalViewer(RowPath(row));
}

void TFindDialogX::ShowInViewerClick() {
  if (const int row = CurrentRow(); row >= 0 && Host.ShowFolder) Host.ShowFolder(RowFolder(row));
}

void TFindDialogX::MoveCopyDialogClick() {
  if (const int row = CurrentRow(); row >= 0 && Host.SetCopyMoveTarget)
    Host.SetCopyMoveTarget(RowFolder(row));
}

void TFindDialogX::ClipBoardClick() {
  if (const int row = CurrentRow(); row >= 0) QApplication::clipboard()->setText(RowPath(row));
}

void TFindDialogX::IndexBackgroundClick() {
  if (const int row = CurrentRow(); row >= 0 && Host.SetIndexBackground)
    Host.SetIndexBackground(RowPath(row));
}

void TFindDialogX::OpenInNewViewerClick() {
  OpenRow(CurrentRow(), true);
}

void TFindDialogX::ExploreClick() {
  if (const int row = CurrentRow(); row >= 0 && Host.OpenLink)
    Host.OpenLink(QUrl::fromLocalFile(QDir::cleanPath(Rows->Folder(row))), "the folder");
}

} // namespace kestrel
