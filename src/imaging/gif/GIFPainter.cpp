#include "imaging/gif/GIFPainter.h"

#include "imaging/gif/GIFClock.h"
#include "imaging/gif/GIFGraphicControlExtension.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/gif/GIFLoopExtension.h"

#include <algorithm>
#include <exception>

namespace kestrel {

namespace {

constexpr int64_t kMicrosPerUnit = TGIFPainter::kDelayUnitMs * 1000;

} // namespace

TGIFPainter::TGIFPainter(TGIFImage& image, TCanvas& canvas, const TRect& rect,
                         TGIFDrawOptions options, std::shared_ptr<TGIFClock> clock)
    : image_(image), canvas_(canvas), rect_(rect), options_(options),
      // A negative speed would make negative waits: it stops the animation as 0 does.
      speed_(std::max(image.AnimationSpeed(), 0)), composer_(image, canvas, rect, options),
      clock_(std::move(clock)) {
  OnStartPaint = image.OnStartPaint;
  OnLoop = image.OnLoop;
  OnPaint = image.OnPaint;
  OnAfterPaint = image.OnAfterPaint;
  OnEndPaint = image.OnEndPaint;
}

TGIFPainter::~TGIFPainter() = default;

void TGIFPainter::Start() {
  if (started_) return;
  started_ = true;
  const auto self = weak_from_this().lock(); // a handler may drop the painter's last owner
  try {
    if (!composer_.SetUp()) {
      // Buffers past the limits: the picture is shown still.
      DrawFirstFrame();
      return Finish();
    }
  } catch (const std::exception& e) {
    Report(e.what());
    return Finish();
  }
  if (!Call(OnStartPaint)) return;
  index_ = 0;
  passStarting_ = true;
  if (Synchronous()) return RunSynchronously();
  timer_ = clock_->NewTimer();
  lastDue_ = clock_->Now();
  Continue();
}

void TGIFPainter::Stop() {
  started_ = true;
  Finish();
}

int64_t TGIFPainter::FrameWait() const {
  if (speed_ == 0) return Synchronous() ? kMaximumDelay * kMicrosPerUnit : kForever;
  return nextDelay_ * kMicrosPerUnit * 100 / speed_;
}

void TGIFPainter::RunSynchronously() {
  // The first frame comes after one unit.
  clock_->Sleep(kMicrosPerUnit);
  lastDue_ = clock_->Now();
  while (!ended_) {
    const std::optional<int64_t> wait = Step();
    if (ended_) return;
    if (!wait) return Finish();
    clock_->Sleep(*wait);
  }
}

void TGIFPainter::Continue() {
  const auto self = weak_from_this().lock();
  const std::optional<int64_t> wait = Step();
  if (ended_) return;
  if (!wait) return Finish();
  if (*wait == kForever) return; // stays on this frame until stopped
  timer_->Start(*wait, [this] { Continue(); });
}

std::optional<int64_t> TGIFPainter::Step() {
  try {
    TRect changed;
    if (passStarting_) {
      passStarting_ = false;
      paintedInPass_ = false;
      if (painted_ && !Call(OnLoop)) return std::nullopt;
      changed = composer_.BeginPass();
    }
    if (!Showable(index_)) return EndPass();
    if (!Call(OnPaint)) return std::nullopt;
    if (!Showable(index_)) return EndPass();
    const TGIFSubImage& frame = image_.Images()[index_];
    ReadExtensions(frame);
    // Frames after the first always go through their masks: their transparent pixels stand for
    // what the frames before them left there.
    const bool masked = (options_ & gdTransparent) || index_ > 0;
    changed = UnionRects(changed, composer_.Paint(frame, TGIFComposer::DisposalOf(frame), masked));
    painted_ = paintedInPass_ = true;
    nextDelay_ = DelayOf(frame);
    if (OnFramePainted && !changed.IsEmpty()) {
      OnFramePainted(changed);
      if (ended_) return std::nullopt;
    }
    const int shown = index_;
    if (!Call(OnAfterPaint)) return std::nullopt;
    if (index_ == shown) ++index_;
    if ((options_ & gdAnimate) && Showable(index_)) return WaitFor(nextDelay_);
    return EndPass();
  } catch (const std::exception& e) {
    Report(e.what());
  }
  return std::nullopt;
}

std::optional<int64_t> TGIFPainter::EndPass() {
  if (loopsLeft_ > 0) --loopsLeft_;
  const bool again = paintedInPass_ && (options_ & gdAnimate) && (options_ & gdLoop) &&
                     (loopsLeft_ != 0 || forever_ || (options_ & gdLoopForever));
  if (!again) return std::nullopt;
  index_ = 0;
  passStarting_ = true;
  return WaitFor(nextDelay_);
}

bool TGIFPainter::Showable(int index) const {
  return index >= 0 && index < image_.Images().Count() && !image_.Images()[index].Empty();
}

void TGIFPainter::ReadExtensions(const TGIFSubImage& frame) {
  if (loopCountRead_) return;
  for (const auto& extension : frame.Extensions()) {
    const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extension.get());
    if (!loop) continue;
    // Once per run: read again on every pass it would start the count afresh and never end.
    loopCountRead_ = true;
    loopsLeft_ = loop->Loops + 1;
    if (!Synchronous() && (loopsLeft_ == 1 || (options_ & gdLoopForever))) forever_ = true;
    return;
  }
}

int TGIFPainter::DelayOf(const TGIFSubImage& frame) const {
  const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
  int delay = control && control->Delay > 0 ? control->Delay : kDefaultDelay;
  delay = std::max(delay, kMinimumDelay);
  return Synchronous() ? std::min(delay, kMaximumDelay) : delay;
}

int64_t TGIFPainter::WaitFor(int delay) {
  nextDelay_ = delay;
  const int64_t nominal = FrameWait();
  if (nominal == kForever) return kForever;
  // Half of what the last step took (drawing, a late timer) plus half the earlier correction:
  // the correction follows the time spent, and what one step loses the next ones give back.
  const int64_t now = clock_->Now();
  correction_ = (std::max<int64_t>(now - lastDue_, 0) + correction_) / 2;
  const int64_t wait = std::max<int64_t>(nominal - correction_, 0);
  lastDue_ = now + wait;
  return wait;
}

void TGIFPainter::DrawFirstFrame() {
  for (const auto& frame : image_.Images())
    if (!frame->Empty()) {
      frame->Draw(canvas_, rect_, options_ & gdTransparent, options_ & gdTile);
      if (OnFramePainted) OnFramePainted(rect_);
      return;
    }
}

void TGIFPainter::Finish() {
  if (ended_) return;
  ended_ = true;
  index_ = -1;
  if (timer_) timer_->Stop();
  composer_.Release();
  if (!OnEndPaint) return;
  try {
    OnEndPaint(*this);
  } catch (const std::exception& e) {
    Report(e.what());
  }
}

bool TGIFPainter::Call(const TPainterEvent& handler) {
  if (handler) handler(*this);
  return !ended_;
}

void TGIFPainter::Report(const std::string& message) {
  // A run that failed is told to the image's warning handler, never raised: an asynchronous
  // painter has no caller to raise to.
  if (!image_.OnWarning) return;
  try {
    image_.OnWarning(this, TGIFSeverity::Error, message);
  } catch (...) {
    // A handler that raises has been told.
  }
}

} // namespace kestrel
