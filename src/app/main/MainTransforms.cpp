// The five commands of "&Invert, Rotate, Mirror ...": a half turn, both mirrors and both quarter
// turns, in place on the shown bitmap.

#include "app/main/KestrelMain.h"

#include "app/view/ImageKind.h"
#include "imaging/core/Bitmap.h"
#include "platform/ui/MessageBox.h"
#include "processing/transform/BitmapTransform.h"

namespace kestrel {

void TKestrelMain::InvertImage1Click() {
  TransformShown(TBitmapTransform::HalfTurn);
}

void TKestrelMain::MirrorVertical1Click() {
  TransformShown(TBitmapTransform::MirrorVertical);
}

void TKestrelMain::FlipHorizontal1Click() {
  TransformShown(TBitmapTransform::MirrorHorizontal);
}

void TKestrelMain::RotateClockwise1Click() {
  TransformShown(TBitmapTransform::RotateClockwise);
}

void TKestrelMain::RotateAnticlockwise1Click() {
  TransformShown(TBitmapTransform::RotateAnticlockwise);
}

void TKestrelMain::TransformShown(TBitmapTransform transform) {
  WaitForResampler();
  const TBitmap* shown = DisplayedBitmap();
  if (!shown || shown->Empty() || shown->Width() <= 0 || shown->Height() <= 0) return;
  try {
    // A cut-out is turned as the view's own bitmap, which is then the one shown.
    if (shown != ViewBitmap.get()) {
      ViewBitmap->Assign(shown);
      ImageKind = ikEdited;
    }
    ApplyBitmapTransform(*ViewBitmap, transform);
  } catch (const std::exception& e) {
    ShowMessage(QString::fromStdString(e.what()), "Kestrel!", TMsgIcon::Error, this);
    return;
  }
  OverlayBitmap->SetPixelFormat(ViewBitmap->PixelFormat());
  OverlayBitmap->SetPalette(ViewBitmap->Palette());
  // Refitting to the window would draw the picture again from the file's graphic, unturned.
  if (FitWindowMode())
    PlacePicture();
  else
    RunOptions1();
  PaintBox1->update();
}

} // namespace kestrel
