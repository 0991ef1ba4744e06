#pragma once
// What a save asks the user and tells them. The viewer answers through its windows and message
// boxes; kestrel-tool never asks and prints what it is told.

#include "app/save/SaveSettings.h"

#include <string>

namespace kestrel {

class TBitmap;

class TSaveQuestions {
public:
  virtual ~TSaveQuestions() = default;
  // The JPEG options window in its save form; false when it was cancelled. On OK, options takes
  // the window's quality and progressive choice.
  virtual bool AskJpegOptions(TJpegSaveOptions& options) = 0;
  // The compression window in one of its uses, over source of depth code depthCode; synthesized
  // tells that the program made the source's palette itself.
  virtual TCompressAnswer AskCompression(TCompressUse use, const TBitmap& source, int depthCode,
                                         bool synthesized) = 0;
  // A message box with text under caption.
  virtual void Tell(const std::string& text, const std::string& caption) = 0;
};

} // namespace kestrel
