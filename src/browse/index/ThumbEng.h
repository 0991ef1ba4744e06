#pragma once
// TThumbEng: the picture index engine. It composes the page (TIndexComposer) on a thread of its
// own at low priority, into a page of its own, and hands copies of what it drew to this object's
// thread (the window's) through queued calls: the page once its background and headings are
// drawn, then each finished cell. That thread copies them into the shown bitmap under the
// bitmap's canvas lock, so the page grows on screen while it is made. The worker never waits for
// the window, so the window may stop it and wait for its end at any time.
//
// One engine works at a time: Create refuses while another one has not ended its run (or, never
// started, still exists). A run holds the process-wide not-busy flag from its start to its end.

#include "browse/index/IndexComposer.h"
#include "imaging/core/Palette.h"
#include "processing/busy/BusyFlag.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QThread;

namespace kestrel {

class TThumbEng : public QObject {
public:
  // A new engine, or null while another one is in use.
  static std::unique_ptr<TThumbEng> Create();
  // No engine is in use.
  static bool EngineFree();
  ~TThumbEng() override; // ends a run at once and waits for its thread

  // Configuration, set before Start.
  TIndexPageConfig Config;
  TIndexReader Reader;
  // The bitmap that shows the page; it becomes the page's size and takes every part drawn. It
  // is written on this object's thread only, under its canvas lock.
  TBitmap* Target = nullptr;

  // Called on this object's thread: after the page is made and after each cell; with a message
  // the user should read; and once, when the run has ended, with its final code.
  std::function<void()> OnProgress;
  std::function<void(const QString& message)> OnMessage;
  std::function<void(int code)> OnTerminate;

  // Starts the run with the claim of the not-busy flag, which the run keeps until it ends.
  void Start(TBusyClaim claim);
  // Asks the run to end before its next picture; OnTerminate follows.
  void Stop() { stop_ = true; }
  bool Running() const { return thread_ != nullptr; }
  // The run has ended and OnTerminate has been called.
  bool Finished() const { return finished_; }
  // What became of each cell of the last run (valid once it has ended).
  const std::vector<TIndexCell>& Cells() const { return cells_; }

private:
  TThumbEng() = default;
  void Body(TBusyClaim& claim);
  void Post(std::function<void()> call);
  void PageMade(const TBitmap& page);
  void CellDone(const TBitmap& part, TPoint at);
  void Ended(int code, const std::optional<TPalette>& palette, std::vector<TIndexCell> cells);

  QThread* thread_ = nullptr;
  std::atomic<bool> stop_{false};
  bool finished_ = false;
  bool abandoned_ = false;
  bool holdsFree_ = true; // this engine holds the engine-free flag
  std::vector<TIndexCell> cells_;
  // The palette the shown bitmap had before the run, kept over the page's arrival.
  std::optional<TPalette> targetPalette_;
};

// A copy of the area of a 24-bit bitmap with pixels of its own (safe to hand to another thread).
std::shared_ptr<TBitmap> CopyBitmapArea(const TBitmap& bitmap, const TRect& area);
// Writes part into the 24-bit target with its top-left corner at at (clipped to the target).
void PasteBitmapArea(const TBitmap& part, TBitmap& target, TPoint at);

} // namespace kestrel
