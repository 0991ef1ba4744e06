#pragma once
// TGIFPainter: plays the frames of an animated GIF on a canvas, one after another, honouring each
// frame's delay and disposal, the loop count of the loop extension and the image's animation
// speed.
//
// An asynchronous painter (gdAsync) is a state machine on the calling thread's event loop: it
// paints the first frame when started, then one single-shot timer per frame, set to that frame's
// wait, paints the next. Stopping cancels the timer, so nothing ever waits for a painter. A
// synchronous painter plays the whole animation inside Start, sleeping between frames on its
// clock (with a virtual clock: at once). Both run the same steps.
//
// Waits: a frame's delay is in 12 ms units (hundredths of a second in the file); no delay or 0
// means 10 units, less than 3 means 3, and a synchronous painter waits at most 1000 units. The
// speed in percent divides the wait (0 or less: an asynchronous painter stays on its frame for
// ever, a synchronous one waits 1000 units). The time spent between waits (drawing, a late
// timer) is taken off the next wait, averaged over the frames, so the frame rate does not drift.

#include "imaging/core/Types.h"
#include "imaging/gif/GIFComposer.h"
#include "imaging/gif/GIFOptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kestrel {

class TCanvas;
class TGIFClock;
class TGIFImage;
class TGIFSubImage;
class TGIFTimer;

class TGIFPainter : public std::enable_shared_from_this<TGIFPainter> {
public:
  static constexpr int kDelayUnitMs = 12;
  static constexpr int kDefaultDelay = 10;
  static constexpr int kMinimumDelay = 3;
  static constexpr int kMaximumDelay = 1000; // synchronous painters only

  using TPainterEvent = std::function<void(TGIFPainter& painter)>;

  // Plays image in rect of canvas (both must outlive the painter or its Stop) with the speed and
  // event handlers of the image at this moment.
  TGIFPainter(TGIFImage& image, TCanvas& canvas, const TRect& rect, TGIFDrawOptions options,
              std::shared_ptr<TGIFClock> clock);
  ~TGIFPainter();
  TGIFPainter(const TGIFPainter&) = delete;
  TGIFPainter& operator=(const TGIFPainter&) = delete;

  // Plays: a synchronous painter to its end, an asynchronous one its first frame. When the
  // buffers would pass the image size limits, the first frame is drawn and the painter ends.
  void Start();
  // Ends the run at once (the end handler is called); safe from within the painter's handlers.
  void Stop();

  bool Running() const { return started_ && !ended_; }
  bool Ended() const { return ended_; }
  bool Synchronous() const { return !(options_ & gdAsync); }
  TGIFImage& Image() const { return image_; }
  TCanvas& Canvas() const { return canvas_; }
  const TRect& Rect() const { return rect_; }
  TGIFDrawOptions DrawOptions() const { return options_; }
  int Speed() const { return speed_; }
  // The frame being shown (an index into the image's frames), -1 before the first and after the
  // end. The before-frame and after-frame handlers may change it.
  int ActiveImage() const { return index_; }
  void SetActiveImage(int index) { index_ = index; }
  // The wait, in microseconds, the painter means after the frame it painted last, as the delay and
  // the speed give it (before the time correction); -1 for ever.
  int64_t FrameWait() const;

  TPainterEvent OnStartPaint; // before the first frame
  TPainterEvent OnLoop;       // before every pass after the first
  TPainterEvent OnPaint;      // before each frame
  TPainterEvent OnAfterPaint; // after each frame
  TPainterEvent OnEndPaint;   // when the run ends, however it ends
  // The part of the target a frame changed.
  std::function<void(const TRect& area)> OnFramePainted;

private:
  static constexpr int64_t kForever = -1;

  void RunSynchronously();
  void Continue();
  // Paints the current frame and moves on; the wait before the next step, or nothing at the end.
  std::optional<int64_t> Step();
  std::optional<int64_t> EndPass();
  bool Showable(int index) const;
  void ReadExtensions(const TGIFSubImage& frame);
  int DelayOf(const TGIFSubImage& frame) const;
  int64_t WaitFor(int delay);
  void SleepFor(int64_t micros);
  void DrawFirstFrame();
  void Finish();
  // Runs a handler; false when the painter was stopped meanwhile.
  bool Call(const TPainterEvent& handler);
  void Report(const std::string& message);

  TGIFImage& image_;
  TCanvas& canvas_;
  TRect rect_;
  TGIFDrawOptions options_;
  int speed_;
  TGIFComposer composer_;
  std::shared_ptr<TGIFClock> clock_;
  std::unique_ptr<TGIFTimer> timer_;

  bool started_ = false;
  bool ended_ = false;
  int index_ = -1;
  bool passStarting_ = false;
  bool paintedInPass_ = false;
  bool painted_ = false;
  int loopsLeft_ = 1;
  bool loopCountRead_ = false;
  bool forever_ = false;
  int nextDelay_ = kDefaultDelay;
  // Time keeping, in microseconds: when the last wait was due to end, and the running average of
  // the time spent between waits.
  int64_t lastDue_ = 0;
  int64_t correction_ = 0;
};

} // namespace kestrel
