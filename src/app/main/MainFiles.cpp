// The file view's events and AcceptFile.

#include "app/main/KestrelMain.h"

#include "app/main/ImageMask.h"
#include "app/main/Keys.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "desktop/rename/RenameDialog.h"
#include "desktop/install/Install.h"
#include "browse/find/FindDialogX.h"
#include "platform/files/Errors.h"
#include "platform/files/Shortcut.h"
#include "platform/process/Process.h"
#include "platform/ui/MessageBox.h"

#include <QFileInfo>
#include <QUrl>

namespace kestrel {
namespace {

const char kLoadCaption[] = "Kestrel!: Load File";

} // namespace

void TKestrelMain::AcceptFile(const QString& given) {
  try {
    if (given.isEmpty() || !QFileInfo::exists(given)) {
      ShowMessage("Does Not Exist\r" + given, kLoadCaption, TMsgIcon::Information, this);
      return;
    }
    const TResolvedPath resolved = ResolvePath(given);
    if (resolved.BadLink) ShowMessage("bad link", kLoadCaption, TMsgIcon::Information, this);
    const QString path = resolved.Path;
    const QFileInfo info(path);
    if (!info.exists()) {
      ShowMessage("Does Not Exist\r" + path, kLoadCaption, TMsgIcon::Information, this);
      return;
    }
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    if (IsProgramFile(path)) {
      OfferExternalViewer(path);
      return;
    }
    try {
      DListBox1->SetDirectory(folder);
    } catch (const EInOutError&) {
      ShowMessage("Bad Directory Path", kLoadCaption, TMsgIcon::Information, this);
      return;
    }
    const QString entry = info.isDir() ? folder + "/" : info.fileName();
    FListBox1->WhenRead([this, entry](bool) {
      try {
        SelectEntry(entry);
        Recent.Add(DListBox1->Directory());
        FillRecentMenu();
        LoadPicture(FListBox1->FileName());
      } catch (const std::exception&) {
        ShowMessage("Exception in AcceptFile", kLoadCaption, TMsgIcon::Error, this);
      }
    });
  } catch (const std::exception&) {
    ShowMessage("Exception in AcceptFile", kLoadCaption, TMsgIcon::Error, this);
  }
}

void TKestrelMain::SelectEntry(const QString& entry) {
  FListBox1->clearSelection();
  int index = -1;
  for (int i = 0; i < FListBox1->Count() && index < 0; ++i)
    if (FListBox1->Item(i).Text == entry) index = i;
  if (index < 0) index = FListBox1->IndexOfText(entry);
  if (index < 0) return;
  FListBox1->SetItemIndex(index);
  FListBox1->scrollTo(FListBox1->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void TKestrelMain::Flistbox1Click() {
  RenameDialog1->ListClicked(TRenameDialog::mdFile);
  if (IsArrowKey(LastKey)) return; // loads when the key is let go
  SlideShow.Restart();
  LoadPicture(FListBox1->FileName());
}

void TKestrelMain::Flistbox1DblClick() {
  const QString file = FListBox1->FileName();
  if (file.isEmpty()) return;
  // A picture's name goes to the find window; anything else opens with the desktop's own program.
  if (InImageMask(file, ImageMask(ViewerExtensions())))
    FindDialogX->OfferPattern(QFileInfo(file).fileName());
  else
    OpenLink(QUrl::fromLocalFile(file), "the file");
}

void TKestrelMain::DListBox1Change() {
  if (Install) Install->SetCurrentFolder(DListBox1->Directory());
  Recent.Add(DListBox1->Directory());
  FillRecentMenu();
}

void TKestrelMain::FolderOpenFailed(const QString& message) {
  ShowMessage(message, "Kestrel!", TMsgIcon::Information, this);
}

void TKestrelMain::FileListReadFailed(const QString& message) {
  ShowMessage(message, "Kestrel!", TMsgIcon::Information, this);
}

} // namespace kestrel
