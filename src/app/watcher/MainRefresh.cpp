// The main window's side of the folder watcher: the file-list refresh and its callers, the file
// mask in both modes, the status line and the drive box's hint.

#include "app/main/ImageMask.h"
#include "app/main/KestrelMain.h"
#include "app/saveas/SaveImageAs.h"
#include "app/view/Dpicture.h"
#include "app/view/ImageKind.h"
#include "app/view/ViewTexts.h"
#include "app/watcher/FilterMask.h"
#include "browse/filelists/DCombobox.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "desktop/rename/RenameDialog.h"
#include "browse/index/Thumbs.h"
#include "platform/files/Errors.h"
#include "platform/ui/MessageBox.h"
#include "platform/volumes/Volumes.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace kestrel {
namespace {

// Runs action whenever target receives an event of type; the event goes on to target.
class TEventHook : public QObject {
public:
  TEventHook(QObject* target, QEvent::Type type, std::function<void()> action)
      : QObject(target), Type(type), Action(std::move(action)) {
    target->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == Type) Action();
    return false;
  }

private:
  QEvent::Type Type;
  std::function<void()> Action;
};

} // namespace

void TKestrelMain::CreateWatcher() {
  TUpThread::THandOvers handOvers;
  handOvers.RefreshFiles = [this](TUpThread::THandOver handOver) {
    if (FileviewUpdate) RefreshFileList(std::move(handOver));
  };
  handOvers.RefreshFolders = [this](TUpThread::THandOver) {
    if (FileviewUpdate) DListBox1->Update();
  };
  handOvers.ShowError = [this](const QString& message) {
    ShowMessage(message, "Kestrel!", TMsgIcon::Warning, this);
  };
  Watcher = std::make_unique<TUpThread>(this, std::move(handOvers));

  connect(DListBox1, &TDListBox::Change, this, &TKestrelMain::FolderShown);
  connect(DCombobox1, &TDCombobox::Change, this, &TKestrelMain::Panel4MouseMove);
  connect(Edit1, &QLineEdit::textChanged, this, &TKestrelMain::Edit1Change);
  new TEventHook(Edit1, QEvent::MouseButtonDblClick, [this] { Edit1DblClick(); });
  new TEventHook(Label1, QEvent::MouseButtonDblClick, [this] { Label1DblClick(); });
  Panel4->setMouseTracking(true);
  new TEventHook(Panel4, QEvent::MouseMove, [this] { Panel4MouseMove(); });
  // The drive box fills most of its panel: entering it is moving over the panel too.
  new TEventHook(DCombobox1, QEvent::Enter, [this] { Panel4MouseMove(); });
}

void TKestrelMain::StartWatcher() {
  Watcher->SetFolder(DListBox1->Directory());
  Panel4MouseMove();
  FListBox1->WhenRead([this](bool) { UpdateStatusLine(); });
  Watcher->Resume();
}

void TKestrelMain::SetWatcherSuspended(bool suspended) {
  if (!Watcher) return;
  if (suspended)
    Watcher->Suspend();
  else
    Watcher->Resume();
}

bool TKestrelMain::PictureEdited() const {
  return ImageModified || ImageKind == ikEdited || ImageKind == ikCrop;
}

QString TKestrelMain::FileListMask() const {
  if (CommandSet->Action("AllFiles1")->isChecked()) return FilterMask(Edit1->text());
  return ImageMask(ViewerExtensions());
}

void TKestrelMain::FileListRefresh() {
  RefreshFileList({});
}

void TKestrelMain::FileListRefreshSelecting(const QString& name) {
  RefreshFileList({}, name);
}

void TKestrelMain::RefreshFileList(TUpThread::THandOver handOver, const QString& select) {
  if (Watcher) Watcher->ClearFilesChanged();
  // The read runs in the background; the rest follows once the new items are in. Whoever waits
  // for this refresh holds on to handOver until then. Where the list stood is taken when the new
  // items come, not now: a file chosen while the folder was read stays chosen.
  auto memory = std::make_shared<TListMemory>();
  FListBox1->Reread(FileListMask(), [this, memory, select] {
    *memory = TListMemory::Of(*FListBox1);
    if (select.isEmpty()) return;
    memory->Name = select;
    memory->Position = -1;
  });
  FListBox1->WhenRead([this, memory, handOver](bool ok) {
    if (ok)
      FinishRefresh(PictureEdited(), *memory);
    else
      RepairFolder();
  });
}

void TKestrelMain::RepairFolder() {
  // The folder went away (or cannot be read): the lists move to the nearest one left.
  const QString nearest = NearestExistingFolder(FListBox1->Directory());
  if (nearest != DListBox1->Directory()) ShowNearestFolder(nearest);
}

void TKestrelMain::ShowNearestFolder(const QString& folder) {
  try {
    DListBox1->SetDirectory(NearestExistingFolder(folder));
  } catch (const EInOutError&) {
    // Gone as well by now: the next change tries again.
  }
}

void TKestrelMain::FinishRefresh(bool edited, const TListMemory& memory) {
  if (edited && LiesIn(ImageSave->LastSavedPath, FListBox1->Directory())) {
    // The edited picture stays on screen; the list shows where it was saved.
    const int index = FListBox1->IndexOfText(QFileInfo(ImageSave->LastSavedPath).fileName());
    FListBox1->clearSelection();
    if (index >= 0) FListBox1->SetItemIndex(index);
    RenameDialog1->ListClicked(TRenameDialog::mdFile);
    UpdateStatusLine();
    return;
  }
  if (FListBox1->Count() > 0) {
    memory.RestoreIn(*FListBox1);
    if (!edited) FollowSelection();
    RenameDialog1->ListClicked(TRenameDialog::mdFile);
  }
  UpdateStatusLine();
}

void TKestrelMain::FollowSelection() {
  const QString file = FListBox1->FileName();
  if (file.isEmpty()) return;
  // The picture on screen is already this file as it is on disk: loading it again would only
  // cost time on every change in the folder.
  const TFileStamp stamp = TFileStamp::Of(file);
  if (file == CurrentPicture && stamp == ShownFile) return;
  LoadPicture(file);
  ShownFile = stamp;
}

void TKestrelMain::RefreshFileview1Click() {
  DListBox1->Update();
  FileListRefresh();
}

void TKestrelMain::AllFiles1Click() {
  Edit1->setVisible(CommandSet->Action("AllFiles1")->isChecked());
  FileListRefresh();
}

void TKestrelMain::Edit1Change() {
  FileListRefresh();
}

void TKestrelMain::Edit1DblClick() {
  Edit1->hide();
}

void TKestrelMain::Label1DblClick() {
  if (CommandSet->Action("AllFiles1")->isChecked()) Edit1->show();
}

void TKestrelMain::StopUpdate2Click() {
  // Either of the two items toggles; both show the new state.
  const bool stop = FileviewUpdate;
  for (const char* name : {"StopUpdate2", "StopUpdate1"})
    CommandSet->Action(name)->setChecked(stop);
  // Work under way keeps the refresh off; it comes back as wanted when that ends.
  FileviewUpdate = !stop && !AutoRefresh.IsPaused();
  if (FileviewUpdate) FileListRefresh();
}

void TKestrelMain::ApplicationRestored() {
  if (Watcher && Watcher->FilesChanged()) FileListRefresh();
  if (Thumbs) Thumbs->ApplicationRestored();
}

void TKestrelMain::FolderShown() {
  if (Watcher) Watcher->SetFolder(DListBox1->Directory());
  FListBox1->WhenRead([this](bool) { UpdateStatusLine(); });
}

TPictureFacts TKestrelMain::PictureFacts() const {
  if (!PictureValid()) return {};
  const TGraphic* graphic = Picture->Graphic();
  return {graphic->Width(), graphic->Height(), PixelFormatText(graphic)};
}

void TKestrelMain::UpdateStatusLine() {
  // The size is of a file in the list: after a folder change the shown picture's file is not.
  const QFileInfo file(CurrentPicture);
  std::optional<qint64> size;
  if (file.isFile() && LiesIn(CurrentPicture, FListBox1->Directory())) size = file.size();
  Label1->setText(StatusLineText(PictureFacts(), size, FListBox1->Count()));
  if (ShownFile.Path != CurrentPicture) ShownFile = TFileStamp::Of(CurrentPicture);
}

void TKestrelMain::Panel4MouseMove() {
  QString root = DCombobox1->Drive();
  if (root.isEmpty()) root = DListBox1->Drive();
  DCombobox1->setToolTip(SizeText(2, FreeSpace(root)));
}

} // namespace kestrel
