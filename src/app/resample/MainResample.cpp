// "&Resample" from the main window: the window it opens, what that window is told of the picture
// and the view, and the waits for its worker before anything else touches the view.

#include "app/main/KestrelMain.h"

#include "app/resample/ResampleDialog.h"
#include "app/view/Dpicture.h"
#include "app/view/DrawingPalette.h"
#include "app/view/ImageKind.h"
#include "app/view/ViewCopy.h"
#include "browse/filelists/FListBox.h"
#include "desktop/hints/WinCapture.h"
#include "imaging/jpeg/JpegImage.h"

#include <QScrollArea>

namespace kestrel {
namespace {

constexpr int kResamplerHint = 3;

} // namespace

class TMainResampleHost : public TResampleHost {
public:
  explicit TMainResampleHost(TKestrelMain& main) : main_(main) {}

  const TGraphic* Picture() const override {
    return main_.PictureValid() ? main_.Picture->Graphic() : nullptr;
  }
  void PictureCopy(TBitmap& copy, TColor background) const override {
    PictureAtFullSize(copy, *main_.Picture->Graphic(), background,
                      {main_.ImageKind, main_.View.Animated, main_.View.GifPalettes});
    copy.SetPixelFormat(pf24bit);
  }
  bool PictureAnimated() const override { return main_.View.Animated; }
  TColor ViewBackground() const override { return main_.ImageFrameColor; }
  QSize ViewClientSize() const override { return main_.ScrollBox1->maximumViewportSize(); }
  TBitmap& ViewBitmap() override { return *main_.ViewBitmap; }
  bool EditedSourceAccepted() override {
    return !main_.ImageModified ||
           main_.WinCapture->ShowModal(kResamplerHint) != THintResult::Abort;
  }
  void Snapshot(const QString& name) override { main_.Snapshot(name); }
  void ResampleStarted() override {
    // The view now shows a picture made by editing, at its own size.
    main_.ResetToolAction();
    main_.ImageKind = ikEdited;
    main_.EditedBitmap->Assign(nullptr); // the run fills the view copy; its end keeps it
    main_.View.Copy.CopyReduction = 1;
    main_.View.Copy.Fitted = false;
    main_.OverlayBitmap->SetPixelFormat(pf24bit);
    ShowResampled(false);
  }
  void ShowResampled(bool ended) override {
    // What the run made is the edited picture that rebuilds of the view start from.
    if (ended && main_.ImageKind == ikEdited) main_.EditedBitmap->Assign(main_.ViewBitmap.get());
    if (ended && main_.FitImageMode()) main_.FitToImage();
    main_.PlacePicture();
    main_.PaintBox1->update();
    main_.PaintBox2->update();
  }
  void FocusFileList() override { main_.FListBox1->setFocus(); }

private:
  TKestrelMain& main_;
};

void TKestrelMain::Resample1Click() {
  if (!ResampleWindow) {
    ResampleHost = std::make_unique<TMainResampleHost>(*this);
    ResampleWindow = new TResampleDialog(*ResampleHost, this);
  }
  ResampleWindow->ShowForm();
}

bool TKestrelMain::Resampling() const {
  return ResampleWindow && ResampleWindow->Running();
}

void TKestrelMain::WaitForResampler() {
  if (ResampleWindow) ResampleWindow->StopAndWait();
  WaitForRotation();
}

void TKestrelMain::PictureSizeChanged() {
  if (ResampleWindow) ResampleWindow->Refresh();
}

void TKestrelMain::CloseResampler() {
  delete ResampleWindow;
  ResampleWindow = nullptr;
  ResampleHost.reset();
}

} // namespace kestrel
