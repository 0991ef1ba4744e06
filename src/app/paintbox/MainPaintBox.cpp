// "Paint &Box" from the main window: the colour picker it opens, the picture's palette it shows
// and edits, and where a picked colour goes.

#include "app/main/KestrelMain.h"

#include "app/canvas/NewCanvasDlg.h"
#include "app/paintbox/ColorDlg.h"
#include "app/view/Dpicture.h"
#include "app/view/ImageKind.h"
#include "imaging/core/Bitmap.h"

namespace kestrel {

class TMainPaintBoxHost : public TColorDlgHost {
public:
  explicit TMainPaintBoxHost(TKestrelMain& main) : main_(main) {}

  TBitmap* ShownBitmap() const override { return main_.DisplayedBitmap(); }
  TColor ViewBackground() const override { return main_.ImageFrameColor; }
  void SetShownPaletteEntry(int index, TColor color) override {
    TBitmap* shown = main_.DisplayedBitmap();
    if (!shown) return;
    TPalette palette = shown->Palette();
    if (index < 0 || index >= palette.Count()) return;
    palette.SetColor(index, color);
    shown->SetPalette(palette);
    main_.OverlayBitmap->SetPalette(palette);
    TBitmap& edited = *main_.EditedBitmap;
    if (main_.ImageKind == ikEdited && !edited.Empty() &&
        edited.PixelFormat() == shown->PixelFormat())
      edited.SetPalette(palette);
    // The picture is edited now: the next rebuild of the view must not bring the old palette
    // back.
    main_.ImageModified = true;
    main_.PaintBox1->update();
  }
  void ColorPicked(TColor color) override { main_.PaintBoxPicked(color); }

private:
  TKestrelMain& main_;
};

TColorDlg& TKestrelMain::PaintBox() {
  if (!ColorDlg) {
    PaintBoxHost = std::make_unique<TMainPaintBoxHost>(*this);
    ColorDlg = new TColorDlg(*PaintBoxHost, this);
    ColorDlg->SetWriteSettings(!WriteNothing && !RemoveMode);
  }
  return *ColorDlg;
}

void TKestrelMain::Color1Click() {
  PaintBox().ShowForm();
}

void TKestrelMain::PaintBoxPicked(TColor color) {
  if (NewCanvasDlg && NewCanvasDlg->isVisible())
    NewCanvasDlg->SetFillColor(color);
  else
    TakeDrawingColor(color);
}

void TKestrelMain::PaintWindowsPictureChanged() {
  if (ColorDlg) ColorDlg->PictureChanged();
  if (NewCanvasDlg && NewCanvasDlg->isVisible())
    NewCanvasDlg->SetSizeFromGraphic(DisplayedBitmap());
}

void TKestrelMain::ClosePaintWindows() {
  if (ColorDlg) ColorDlg->SetWriteSettings(!WriteNothing && !RemoveMode);
  delete NewCanvasDlg;
  NewCanvasDlg = nullptr;
  delete ColorDlg;
  ColorDlg = nullptr;
  CanvasHost.reset();
  PaintBoxHost.reset();
}

} // namespace kestrel
