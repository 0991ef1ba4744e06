// "Save Image As" from the main window: the proposed name, what the save is told about the shown
// picture, and the option windows that answer its questions; and "Print", of the shown picture.

#include "app/main/KestrelMain.h"

#include "app/options/CompressDlg.h"
#include "app/options/JpgOptions.h"
#include "app/resample/ResampleDialog.h"
#include "app/save/SaveFilter.h"
#include "app/saveas/SaveImageAs.h"
#include "app/saveas/ViewerSaveQuestions.h"
#include "app/view/Dpicture.h"
#include "browse/filelists/FListBox.h"
#include "desktop/print/PrintSetup.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QSpinBox>

namespace kestrel {

void TKestrelMain::CreateSaving() {
  CompressDlg = new TCompressDlg(this);
  // The JPEG writer asks the options window in its save form and takes what it holds then.
  auto askJpeg = [this](TJpegSaveOptions& options) {
    if (!JpgOptions || JpgOptions->ExecSaveForm() != TJpgOptions::kResultOk) return false;
    options.Quality = JpgOptions->JpgCompression->value();
    options.Progressive = JpgOptions->ProgressiveEncoding->isChecked();
    return true;
  };
  SaveQuestions = std::make_unique<TViewerSaveQuestions>(*CompressDlg, askJpeg, this);
  ImageSave = std::make_unique<TSaveImageAs>(*SaveQuestions, this);
  ImageSave->CurrentFolder = [this] { return FListBox1->Directory(); };
  // A save takes the resampler's whole result.
  ImageSave->WaitForResampler = [this] {
    if (ResampleWindow) ResampleWindow->WaitUntilIdle();
  };
  ImageSave->AutoRefresh = &AutoRefresh;
}

QString TKestrelMain::ProposedSaveName() const {
  QStringList selected;
  for (int i = 0; i < FListBox1->Count(); ++i)
    if (FListBox1->Selected(i))
      selected << QDir(FListBox1->Directory()).filePath(FListBox1->Item(i).Text);
  return kestrel::ProposedSaveName(selected, windowTitle());
}

TSavePicture TKestrelMain::ShownForSave() const {
  TSavePicture shown;
  shown.FrameColor = ImageFrameColor;
  shown.Transparent = CommandSet->Action("Transparent1")->isChecked();
  shown.Synthesized = View.Synthesized;
  shown.Kind = ImageKind;
  shown.Graphic = Picture ? Picture->Graphic() : nullptr;
  return shown;
}

void TKestrelMain::SaveAs1Click() {
  if (FListBox1->ItemIndex() < 0) return;
  const TBitmap* shown = DisplayedBitmap();
  if (!shown) return;
  ImageSave->Title = TSaveImageAs::kTitle;
  ImageSave->SaveWithDialog(ProposedSaveName(), *shown, ShownForSave());
}

void TKestrelMain::Print1Click() {
  if (!PrintSetup)
    PrintSetup = new TPrintSetup(
        {[this] { return DisplayedBitmap(); }, [this] { return CurrentPicture; }}, this);
  PrintSetup->ShowSetup();
}

} // namespace kestrel
