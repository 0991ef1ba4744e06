// "&Undo", "&Copy Image" and "&Paste Image" from the main window, and the undo snapshot the
// other windows call.

#include "app/main/KestrelMain.h"

#include "app/clipboard/PictureClipboard.h"
#include "app/undo/Undo.h"
#include "app/view/Dpicture.h"
#include "app/view/PictureLoader.h"
#include "platform/ui/MessageBox.h"

namespace kestrel {

void TKestrelMain::Snapshot(const QString& name) {
  if (ImageModified && Undo) Undo->Snapshot(name, DisplayedBitmap());
}

void TKestrelMain::Undo1Click() {
  WaitForResampler();
  TBitmap* shown = DisplayedBitmap();
  if (!shown || !Undo->Restore(*shown)) return;
  ResetToolAction();
  // What comes back is an edited picture, whatever is loaded now: it is kept as such, and later
  // rebuilds of the view start from it.
  ImageModified = true;
  if (ImageKind != ikCrop) {
    ImageKind = ikEdited;
    EditedBitmap->Assign(shown);
  }
  MatchOverlay(*shown);
  if (FitImageMode()) FitToImage();
  PlacePicture();
  PaintBox1->update();
  PaintBox2->update();
}

void TKestrelMain::MatchOverlay(const TBitmap& shown) {
  OverlayBitmap->SetPixelFormat(shown.PixelFormat());
  OverlayBitmap->SetPalette(shown.Palette());
}

void TKestrelMain::CopyImage1Click() {
  if (const TBitmap* shown = DisplayedBitmap()) CopyPicture(*shown);
}

void TKestrelMain::PasteImage1Click() {
  TPasted pasted = PastePicture(ImageFrameColor);
  if (pasted.Outcome == TPasted::TOutcome::Failed)
    ShowMessage("Clipboard Format NotSupported", "Kestrel!", TMsgIcon::Warning, this);
  if (pasted.Outcome != TPasted::TOutcome::Picture) return;
  // Only a paste that replaces the picture takes the snapshot: text on the clipboard changes
  // nothing, Undo included.
  Snapshot("Paste");
  ShowAsLoaded(std::move(pasted.Bitmap));
}

void TKestrelMain::ShowAsLoaded(std::unique_ptr<TBitmap> bitmap) {
  WaitForResampler();
  Loader->Cancel();
  EndLoad();
  ResetView();
  Picture->ImgType = ikBmp;
  Picture->IsDIB = false;
  Picture->SetGraphic(std::move(bitmap));
  ImageKind = ikBmp;
  ShowNewPicture();
}

} // namespace kestrel
