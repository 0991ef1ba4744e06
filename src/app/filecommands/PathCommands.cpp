// Paths between the file view and the clipboard, and the folders they become targets of.

#include "app/filecommands/FileCommands.h"

#include "app/main/KestrelMain.h"
#include "app/saveas/SaveImageAs.h"
#include "browse/filelists/DCombobox.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/index/Thumbs.h"
#include "platform/files/PathForms.h"
#include "platform/ui/MessageBox.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace kestrel {
namespace {

const char kCopyMoveCaption[] = "Target Folder for Copy/Move will be:";

// The path the clipboard holds: the first of a list of files (as a file manager copies them),
// else what its text names. Empty when it names nothing that exists.
QString ClipboardPath() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return {};
  if (data->hasUrls() && !data->urls().isEmpty()) {
    const QUrl first = data->urls().first();
    return first.isLocalFile() ? FromClipboardPath(first.toLocalFile()) : QString();
  }
  return FromClipboardPath(data->text());
}

QString CaptionFor(TFileCommands::TPathTarget target) {
  switch (target) {
  case TFileCommands::TPathTarget::CopyMove:
    return kCopyMoveCaption;
  case TFileCommands::TPathTarget::SaveFolder:
    return "Target Folder for \"Save Image As\" will be:";
  case TFileCommands::TPathTarget::IndexBrowse:
    break;
  }
  return "Picture Index Maker will \"Browse for Backgrounds\" here:";
}

} // namespace

void TFileCommands::SetClipboard(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
}

void TFileCommands::SetTarget(TPathTarget target, const QString& folder, const QString& name) {
  switch (target) {
  case TPathTarget::CopyMove:
    Main.CopyMoveTarget = folder;
    break;
  case TPathTarget::SaveFolder:
    Main.ImageSave->InitialDir = folder;
    break;
  case TPathTarget::IndexBrowse:
    Main.IndexMaker().SetBrowseFolder(folder, name);
    break;
  }
}

void TFileCommands::CopyPath() {
  QWidget* active = Main.ActiveControl();
  QString path;
  if (active == Main.FListBox1)
    path = Main.FListBox1->FileName();
  else if (active == Main.DListBox1)
    path = Main.DListBox1->ItemPath(std::max(Main.DListBox1->ItemIndex(), 0));
  else if (active == Main.DCombobox1)
    path = Main.DListBox1->Drive();
  if (path.isEmpty()) {
    ShowMessage(
        "You must Click on a File,Folder or Drive\rin the Fileview to Establish A Path First",
        "Kestrel!", TMsgIcon::Information, &Main);
    return;
  }
  SetClipboard(path);
}

void TFileCommands::CopyFilePath(bool dos) {
  const QString path = Main.FListBox1->FileName();
  if (!path.isEmpty()) SetClipboard(dos ? ToDosPath(path) : path);
}

void TFileCommands::CopyFolderPath(bool dos) {
  const QString path = Main.DListBox1->ItemPath(std::max(Main.DListBox1->ItemIndex(), 0));
  SetClipboard(dos ? ToDosPath(path) : path);
}

void TFileCommands::PastePathTo(TPathTarget target) {
  const QString path = ClipboardPath();
  if (path.isEmpty()) {
    ShowMessage("Path Not Found", "Kestrel!", TMsgIcon::Information, &Main);
    return;
  }
  const QFileInfo info(path);
  const QString folder = info.isDir() ? path : info.absolutePath();
  if (AskOkCancel(folder, CaptionFor(target), TMsgIcon::Question, &Main))
    SetTarget(target, folder, info.isDir() ? QString() : info.fileName());
}

void TFileCommands::GotoPath() {
  const QString path = ClipboardPath();
  if (path.isEmpty()) {
    ShowMessage("Path In ClipBoard is Invalid", "Kestrel!", TMsgIcon::Information, &Main);
    return;
  }
  const QFileInfo info(path);
  const bool program = info.isFile() && info.suffix().toLower() == "exe";
  if (program && Main.OfferExternalViewer(path)) return;
  // A program is never shown as a picture: its folder is.
  if (AskOkCancel(path, "Switch Kestrel! to this Path", TMsgIcon::Question, &Main))
    Main.AcceptFile(program ? info.absolutePath() : path);
}

void TFileCommands::FolderAsTarget(TPathTarget target) {
  SetTarget(target, Main.DListBox1->ItemPath(std::max(Main.DListBox1->ItemIndex(), 0)));
}

void TFileCommands::OfferCopyMoveTarget(const QString& folder) {
  if (!folder.isEmpty() && AskOkCancel(folder, kCopyMoveCaption, TMsgIcon::Question, &Main))
    SetTarget(TPathTarget::CopyMove, folder);
}

} // namespace kestrel
