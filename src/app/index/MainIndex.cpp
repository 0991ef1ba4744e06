// "Picture &Index Maker" from the main window: the window it opens, what that window is told of
// the file list and the view, and the commands that hand it a background picture or a folder.

#include "app/main/KestrelMain.h"

#include "app/filecommands/FileCommands.h"
#include "app/main/ColorCycle.h"
#include "app/saveas/SaveImageAs.h"
#include "app/view/Dpicture.h"
#include "app/view/ImageKind.h"
#include "browse/filelists/DListBox.h"
#include "browse/filelists/FListBox.h"
#include "browse/index/Thumbs.h"
#include "imaging/core/Exceptions.h"
#include "platform/display/ScreenDepth.h"
#include "platform/ui/MessageBox.h"
#include "processing/colour/FixedPalettes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace kestrel {

class TMainIndexHost : public TIndexHost {
public:
  explicit TMainIndexHost(TKestrelMain& main) : main_(main) {}

  QStringList SelectedFiles() const override {
    QStringList files;
    const QDir folder(main_.FListBox1->Directory());
    for (int i = 0; i < main_.FListBox1->Count(); ++i)
      if (main_.FListBox1->Selected(i)) files << folder.filePath(main_.FListBox1->Item(i).Text);
    return files;
  }
  int FilesAvailable() const override { return main_.FListBox1->Count(); }
  QString CurrentFile() const override {
    const int index = main_.FListBox1->ItemIndex();
    if (index < 0) return {};
    return QDir(main_.FListBox1->Directory()).filePath(main_.FListBox1->Item(index).Text);
  }
  bool SlideShowRunning() const override { return main_.Commands().Action("enable1")->isChecked(); }
  bool PictureModified() const override { return main_.ImageModified; }
  TIndexReader Reader() const override {
    return [depth = ScreenDepth()](const std::string& path) {
      return ReadPictureGraphic(path, depth);
    };
  }
  TBitmap& PageBitmap() override { return *main_.ViewBitmap; }
  void IndexStarted() override {
    main_.WaitForPicture();
    main_.Snapshot("Picture Index");
    main_.DontScale1Click();
    main_.Timer1->stop();
    main_.FListBox1->setEnabled(false);
    main_.FileviewUpdate = false;
    main_.CurrentPicture = "Picture Index";
    // A palette screen shows the page through the web palette until the page has its own.
    const TPalette palette = ScreenDepth() <= 8 ? MakeWebCubePalette() : TPalette();
    for (TBitmap* bitmap : {main_.ViewBitmap.get(), main_.OverlayBitmap.get()}) {
      bitmap->SetPixelFormat(pf24bit);
      bitmap->SetPalette(palette);
    }
    main_.ResetToolAction();
    main_.EditedBitmap->Assign(nullptr); // the run fills the view copy; its end keeps it
    main_.View.Copy.CopyReduction = 1;
    main_.View.Copy.Fitted = false;
    IndexProgress();
  }
  void IndexProgress() override {
    main_.ImageKind = ikEdited;
    main_.PlacePicture();
    main_.PaintBox1->update();
  }
  void IndexEnded() override {
    // The page is the picture now, and the edited picture that rebuilds of the view start from.
    auto page = std::make_unique<TBitmap>();
    page->Assign(main_.ViewBitmap.get());
    main_.Picture->SetGraphic(std::move(page));
    main_.EditedBitmap->Assign(main_.ViewBitmap.get());
    main_.ImageKind = ikEdited;
    main_.FListBox1->setEnabled(true);
    main_.RunOptions();
    main_.Timer1->start();
  }
  void RestoreFileViewUpdate() override {
    main_.FileviewUpdate = !main_.Commands().Action("StopUpdate2")->isChecked();
  }
  void SaveIndexPage(const QString& proposedPath) override {
    const TBitmap* shown = main_.DisplayedBitmap();
    if (!shown) return;
    TSaveImageAs& save = *main_.ImageSave;
    save.Title = "Save Thumbnail Index As";
    save.InitialDir = QFileInfo(proposedPath).absolutePath();
    save.SaveWithDialog(proposedPath, *shown, main_.ShownForSave());
    save.Title = TSaveImageAs::kTitle;
  }
  bool ApplicationMinimized() const override { return main_.isMinimized(); }

private:
  TKestrelMain& main_;
};

TThumbs& TKestrelMain::IndexMaker() {
  if (!Thumbs) {
    IndexHost = std::make_unique<TMainIndexHost>(*this);
    const QScreen* screen = QGuiApplication::primaryScreen();
    Thumbs =
        new TThumbs(*IndexHost, screen ? screen->size() : QSize(1024, 768), ImageFrameColor, this);
    Thumbs->SetWriteSettings(!WriteNothing && !RemoveMode);
  }
  return *Thumbs;
}

void TKestrelMain::Thumbs1Click() {
  IndexMaker().ShowForm();
}

void TKestrelMain::ThumbsBgndDialog1Click() {
  const QString file = FListBox1->FileName();
  if (!file.isEmpty()) IndexMaker().SetWallpaperFile(file);
}

void TKestrelMain::ThumbsDialog1Click() {
  FileCommands->FolderAsTarget(TFileCommands::TPathTarget::IndexBrowse);
}

void TKestrelMain::ThumbsDialog2Click() {
  FileCommands->PastePathTo(TFileCommands::TPathTarget::IndexBrowse);
}

void TKestrelMain::CloseIndexMaker() {
  delete Thumbs;
  Thumbs = nullptr;
  IndexHost.reset();
}

} // namespace kestrel
