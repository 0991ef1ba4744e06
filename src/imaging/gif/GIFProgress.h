#pragma once
// Progress of one long operation of a GIF image (loading, saving, converting, rendering): the
// starting report on creation, running reports on the way, and the ending report with 100 when the
// operation got through or 0 when it was left by an exception.

#include "imaging/core/Graphic.h"

#include <string>

namespace kestrel {

class TGIFProgress {
public:
  // graphic may be null (a frame outside an image): then nothing is reported.
  TGIFProgress(TGraphic* graphic, std::string message)
      : graphic_(graphic), message_(std::move(message)) {
    if (graphic_) graphic_->Progress(TProgressStage::Starting, 0, message_);
  }
  ~TGIFProgress() {
    if (done_ || !graphic_) return;
    try {
      graphic_->Progress(TProgressStage::Ending, 0, message_);
    } catch (...) {
      // The operation's own exception is the one that matters.
    }
  }
  TGIFProgress(const TGIFProgress&) = delete;
  TGIFProgress& operator=(const TGIFProgress&) = delete;

  void Step(int percent) {
    if (graphic_) graphic_->Progress(TProgressStage::Running, percent, message_);
  }
  void Done() {
    done_ = true;
    if (graphic_) graphic_->Progress(TProgressStage::Ending, 100, message_);
  }

private:
  TGraphic* graphic_;
  std::string message_;
  bool done_ = false;
};

} // namespace kestrel
