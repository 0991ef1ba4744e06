// The five commands of "&Invert, Rotate, Mirror ...": a half turn, both mirrors and both quarter
// turns of the shown picture at its own size. The result is the edited picture, from which the
// view is built from then on.

#include "app/main/KestrelMain.h"

#include "app/options/JpgOptions.h"
#include "app/view/Dpicture.h"
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

void TKestrelMain::FullSizeShown(TBitmap& full) {
  if (ImageKind == ikEdited && !EditedBitmap->Empty()) {
    full.Assign(EditedBitmap.get());
    return;
  }
  if (ImageKind == ikCrop || (!View.Copy.Fitted && View.Copy.CopyReduction == 1)) {
    full.Assign(DisplayedBitmap());
    return;
  }
  // A reduced or fitted copy would be edited at the size it is shown: the picture is drawn again
  // at its own.
  TGraphic& graphic = *Picture->Graphic();
  TViewCopySettings settings = CopySettings(graphic);
  settings.Reduction = 1;
  settings.Forced = true;
  if (settings.Path == TDrawPath::Jpeg && JpgOptions) JpgOptions->ApplyLoadOptions(&graphic, true);
  TViewCopyState state;
  BuildViewCopy(full, graphic, settings, state);
}

void TKestrelMain::TransformShown(TBitmapTransform transform) {
  WaitForResampler();
  const TBitmap* shown = DisplayedBitmap();
  if (!shown || shown->Empty() || shown->Width() <= 0 || shown->Height() <= 0) return;
  auto edited = std::make_unique<TBitmap>();
  try {
    FullSizeShown(*edited);
    ApplyBitmapTransform(*edited, transform);
  } catch (const std::exception& e) {
    ShowMessage(QString::fromStdString(e.what()), "Kestrel!", TMsgIcon::Error, this);
    return;
  }
  ShowEdited(std::move(edited));
}

void TKestrelMain::ShowEdited(std::unique_ptr<TBitmap> edited) {
  // From now on the view shows the edit, which has no file behind it and is never reduced.
  ResetToolAction();
  EditedBitmap = std::move(edited);
  ImageKind = ikEdited;
  if (JpgOptions && JpgOptions->ScaleIndex() > kFullScaleIndex)
    JpgOptions->SetScaleIndex(kFullScaleIndex);
  View.ForceRebuild = true;
  View.ViewStale = true;
  // A rebuild leaves the view of a modified picture alone, so it takes the edit directly.
  if (ImageModified && !FitWindowMode()) {
    ViewBitmap->Assign(EditedBitmap.get());
    View.Copy.CopyReduction = 1;
    View.Copy.Fitted = false;
  }
  RebuildView(); // the fitted copy is drawn by RunOptions
  // An edited view is not rebuilt from the picture: it takes the turned picture itself.
  if (ImageModified) ViewBitmap->Assign(EditedBitmap.get());
  MatchOverlay(*ViewBitmap);
  RunOptions();
  PaintWindowsPictureChanged();
  PaintBox1->update();
}

} // namespace kestrel
