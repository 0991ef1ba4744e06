// The "Thumbnails" commands: the gallery window, made with what it needs of the main window.

#include "app/main/KestrelMain.h"

#include "app/filecommands/FileCommands.h"
#include "app/gallery/Thumbform.h"
#include "app/saveas/SaveImageAs.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/find/FindDialogX.h"
#include "desktop/hints/WinCapture.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace kestrel {

constexpr int kGalleryHint = 7;

TThumbform& TKestrelMain::Gallery() {
  if (Thumbform) return *Thumbform;
  TGalleryHost host;
  host.Folder = [this] { return FListBox1->Directory(); };
  host.Names = [this](bool selectedOnly) {
    QStringList names;
    for (int i = 0; i < FListBox1->Count(); ++i)
      if (!selectedOnly || FListBox1->Selected(i)) names << FListBox1->Item(i).Name;
    return names;
  };
  host.ItemCount = [this] { return FListBox1->Count(); };
  host.SelectedCount = [this] {
    int selected = 0;
    for (int i = 0; i < FListBox1->Count(); ++i)
      selected += FListBox1->Selected(i);
    return selected;
  };
  host.OpenFile = [this](const QString& path) {
    LoadPicture(path);
    const QFileInfo file(path);
    if (QDir(FListBox1->Directory()) != QDir(file.absolutePath())) return;
    const int index = FListBox1->IndexOfText(file.fileName());
    if (index < 0) return;
    for (int i = 0; i < FListBox1->Count(); ++i)
      FListBox1->SetSelected(i, false);
    FListBox1->SetItemIndex(index);
    FListBox1->SetSelected(index, true);
  };
  host.SetTimer = [this](bool on) { on ? Timer1->start() : Timer1->stop(); };
  host.Background = [this] { return ImageFrameColor; };
  host.FullScreenActive = [this] { return BigScreen != nullptr; };
  host.LowColourNotice = [this] {
    if (WinCapture) WinCapture->ShowModal(kGalleryHint);
  };
  host.ChooseTarget = [this](const QString& caption, const QString& proposed) {
    return FileCommands->ChooseTarget(
        caption.startsWith("Copy") ? TFileAction::Copy : TFileAction::Move, {proposed});
  };
  host.FilesChanged = [this] { FileListRefresh(); };
  host.FindNameDuplicate = [this](const QString& path) {
    FindDialogX->SetReferenceFile(path);
    FindDialogX->ShowNameDuplicate(QFileInfo(path).fileName());
  };
  host.FindSizeDuplicate = [this](const QString& path) {
    FindDialogX->SetSizeDuplicate(path);
    FindDialogX->ShowFind();
  };
  host.SaveWithDialog = [this](const QString& title, const QString& proposed,
                               const TBitmap& bitmap) {
    TSaveImageAs& save = *ImageSave;
    save.Title = title;
    TSavePicture edited;
    edited.Kind = 7; // a tile is a picture of its own, no file's graphic behind it
    const QString saved = save.SaveWithDialog(proposed, bitmap, edited);
    save.Title = TSaveImageAs::kTitle;
    return saved;
  };
  host.SaveWithoutDialog = [this](const QString& path, const TBitmap& bitmap) {
    TSavePicture edited;
    edited.Kind = 7;
    return ImageSave->SaveAs(path, bitmap, false, edited);
  };
  Thumbform = new TThumbform(std::move(host), this);
  Thumbform->SetWriteSettings(!WriteNothing && !RemoveMode);
  return *Thumbform;
}

void TKestrelMain::Thumbnails1Click() {
  Gallery().ShowGallery(false);
}

void TKestrelMain::Thumbnails2Click() {
  Gallery().ShowGallery(true);
}

void TKestrelMain::Thumbnails3Click() {
  Thumbnails2Click();
}

void TKestrelMain::CloseGallery() {
  delete Thumbform;
  Thumbform = nullptr;
}

} // namespace kestrel
