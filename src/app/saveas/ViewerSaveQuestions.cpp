#include "app/saveas/ViewerSaveQuestions.h"

#include "app/options/CompressDlg.h"
#include "app/save/BitmapSavePlan.h"
#include "platform/ui/MessageBox.h"

namespace kestrel {

TViewerSaveQuestions::TViewerSaveQuestions(TCompressDlg& compression, TJpegAsker jpeg,
                                           QWidget* parent)
    : Compression(compression), Jpeg(std::move(jpeg)), Parent(parent) {}

bool TViewerSaveQuestions::AskJpegOptions(TJpegSaveOptions& options) {
  return Jpeg && Jpeg(options);
}

TCompressAnswer TViewerSaveQuestions::AskCompression(TCompressUse use, const TBitmap& source,
                                                     int depthCode, bool synthesized) {
  TCompressDlg::TItemCheck followable;
  if (use == TCompressUse::Bmp)
    followable = [&source, depthCode](int targetDepthCode, int item) {
      return PlanFitsSource(PlanBitmapSave(depthCode, targetDepthCode, item), source);
    };
  TCompressAnswer answer;
  answer.Result = Compression.CompressionWindow(use, source, depthCode, synthesized,
                                                &answer.DepthCode, followable);
  return answer;
}

void TViewerSaveQuestions::Tell(const std::string& text, const std::string& caption) {
  ShowMessage(QString::fromStdString(text), QString::fromStdString(caption), TMsgIcon::Warning,
              Parent);
}

} // namespace kestrel
