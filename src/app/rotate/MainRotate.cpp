// "Arbitrary A&ngle" from the main window: the window it opens, what that window is told of the
// picture and the view, and the wait for its worker before anything else touches the view.

#include "app/main/KestrelMain.h"

#include "app/rotate/RotateDialog.h"
#include "app/view/Dpicture.h"
#include "app/view/ImageKind.h"
#include "app/view/ViewCopy.h"
#include "desktop/hints/WinCapture.h"

#include <QAction>

namespace kestrel {

// The one-time hint shown before a turn of a picture under the editing tools.
constexpr int kRotationHint = 4;

class TMainRotateHost : public TRotateHost {
public:
  explicit TMainRotateHost(TKestrelMain& main) : main_(main) {}

  bool HasPicture() const override {
    const TBitmap* shown = main_.DisplayedBitmap();
    return main_.PictureValid() && shown && !shown->Empty() && shown->Width() > 0 &&
           shown->Height() > 0;
  }
  bool EditingToolsActive() const override {
    return !main_.Commands().Action("None1")->isChecked();
  }
  bool EditingWarningAccepted() override {
    return main_.WinCapture->ShowModal(kRotationHint) != THintResult::Abort;
  }
  void Snapshot(const QString& name) override { main_.Snapshot(name); }
  void RotationSource(TBitmap& copy) const override {
    if (EditingToolsActive()) {
      copy.Assign(main_.DisplayedBitmap());
      return;
    }
    // Each turn starts again from the picture as loaded, drawn as its own kind is drawn.
    PictureAtFullSize(copy, *main_.Picture->Graphic(), main_.ImageFrameColor,
                      {main_.Picture->ImgType, main_.View.Animated, main_.View.GifPalettes});
  }
  TColor ViewBackground() const override { return main_.ImageFrameColor; }
  TBitmap& ViewBitmap() override { return *main_.ViewBitmap; }
  void RotationStarted(const TBitmap& destination) override {
    // The shares of what was shown cost nothing, and bring it back if the turn does not end.
    saved_.Assign(main_.ViewBitmap.get());
    savedEdited_.Assign(main_.EditedBitmap.get());
    savedKind_ = main_.ImageKind;
    savedCopy_ = main_.View.Copy;
    main_.ResetToolAction();
    main_.ViewBitmap->Assign(&destination);
    // The view now shows a picture made by editing, at its own size; the run's end keeps it.
    main_.ImageKind = ikEdited;
    main_.EditedBitmap->Assign(nullptr);
    main_.View.Copy.CopyReduction = 1;
    main_.View.Copy.Fitted = false;
    ShowRotated();
  }
  void ShowRotated() override {
    main_.PlacePicture();
    main_.PaintBox1->update();
    main_.PaintBox2->update();
  }
  void RotationEnded(bool completed) override {
    if (completed) {
      // The turned picture is the edited one that rebuilds of the view start from.
      main_.EditedBitmap->Assign(main_.ViewBitmap.get());
      main_.View.ViewStale = true;
    } else {
      main_.ViewBitmap->Assign(&saved_);
      main_.EditedBitmap->Assign(&savedEdited_);
      main_.ImageKind = savedKind_;
      main_.View.Copy = savedCopy_;
    }
    saved_.Assign(nullptr);
    savedEdited_.Assign(nullptr);
    main_.OverlayBitmap->SetPixelFormat(main_.ViewBitmap->PixelFormat());
    main_.OverlayBitmap->SetPalette(main_.ViewBitmap->Palette());
    // A turn cut short by a load or a close leaves the rest to them.
    if (completed) main_.RunOptions();
    ShowRotated();
  }

private:
  TKestrelMain& main_;
  TBitmap saved_;
  TBitmap savedEdited_;
  int savedKind_ = ikNone;
  TViewCopyState savedCopy_;
};

void TKestrelMain::AllAngles1Click() {
  if (!RotateWindow) {
    RotateHost = std::make_unique<TMainRotateHost>(*this);
    RotateWindow = new TRotateDialog(*RotateHost, this);
  }
  RotateWindow->ShowForm();
}

void TKestrelMain::WaitForRotation() {
  if (RotateWindow) RotateWindow->StopAndWait();
}

} // namespace kestrel
