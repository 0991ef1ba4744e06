#pragma once
// The viewer's answers to a save's questions: the compression window, the JPEG options window in
// its save form and message boxes.

#include "app/save/SaveQuestions.h"

#include <functional>

class QWidget;

namespace kestrel {

class TCompressDlg;

class TViewerSaveQuestions : public TSaveQuestions {
public:
  // The JPEG options window's save form: false when it was cancelled; on OK the options take its
  // values.
  using TJpegAsker = std::function<bool(TJpegSaveOptions& options)>;

  TViewerSaveQuestions(TCompressDlg& compression, TJpegAsker jpeg, QWidget* parent);

  bool AskJpegOptions(TJpegSaveOptions& options) override;
  TCompressAnswer AskCompression(TCompressUse use, const TBitmap& source, int depthCode,
                                 bool synthesized) override;
  void Tell(const std::string& text, const std::string& caption) override;

private:
  TCompressDlg& Compression;
  TJpegAsker Jpeg;
  QWidget* Parent;
};

} // namespace kestrel
