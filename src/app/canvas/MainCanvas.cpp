// The "New Canvas" window from the main window: what it is told of the picture and the view, and
// how a new or resized canvas takes the picture's place.

#include "app/main/KestrelMain.h"

#include "app/canvas/NewCanvasDlg.h"
#include "app/paintbox/ColorDlg.h"
#include "app/view/Dpicture.h"
#include "imaging/core/Bitmap.h"
#include "platform/display/ScreenDepth.h"

#include <QScrollArea>

namespace kestrel {

class TMainCanvasHost : public TNewCanvasHost {
public:
  explicit TMainCanvasHost(TKestrelMain& main) : main_(main) {}

  bool HasPicture() const override {
    const TBitmap* shown = main_.DisplayedBitmap();
    return shown && !shown->Empty();
  }
  TPalette PicturePalette() const override {
    return main_.PictureValid() ? main_.Picture->Graphic()->Palette() : TPalette();
  }
  const TBitmap* ShownBitmap() const override { return main_.DisplayedBitmap(); }
  void ShownAtFullSize(TBitmap& full) const override { main_.FullSizeShown(full); }
  QSize ViewClientSize() const override { return main_.ScrollBox1->maximumViewportSize(); }
  TColor PaintBoxColor() override { return main_.PaintBox().PickedColor(); }
  void ShowPaintBox() override { main_.Color1Click(); }
  int ScreenBits() const override { return ScreenDepth(); }
  void ReplaceCanvas(std::unique_ptr<TBitmap> canvas) override {
    main_.WaitForResampler();
    main_.Snapshot("New Canvas");
    if (main_.PictureValid()) {
      main_.ShowEdited(std::move(canvas));
    } else {
      // With nothing loaded the canvas is shown as a picture with no file behind it.
      main_.ShowAsLoaded(std::move(canvas));
    }
  }

private:
  TKestrelMain& main_;
};

void TKestrelMain::NewCanvasClick() {
  if (!NewCanvasDlg) {
    CanvasHost = std::make_unique<TMainCanvasHost>(*this);
    NewCanvasDlg = new TNewCanvasDlg(*CanvasHost, this);
  }
  NewCanvasDlg->ShowForm();
}

} // namespace kestrel
