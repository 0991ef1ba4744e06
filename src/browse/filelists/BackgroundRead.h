#pragma once
// Reads a folder on a worker thread so that a big or slow folder never freezes the window. A read
// that finishes within a short wait is applied before Start returns, so ordinary folders behave as
// if read in place; a longer one is applied later on the GUI thread, with the busy cursor shown
// meanwhile. A newer read supersedes an older one: only the newest result is ever applied.

#include <functional>
#include <memory>

namespace kestrel {

class TBackgroundRead {
public:
  using TApply = std::function<void()>;
  // Runs on the worker; returns what to do with its result on the GUI thread.
  using TJob = std::function<TApply()>;

  TBackgroundRead();
  ~TBackgroundRead();
  TBackgroundRead(const TBackgroundRead&) = delete;
  TBackgroundRead& operator=(const TBackgroundRead&) = delete;

  void Start(TJob job);
  // A read has started and its result is not applied yet.
  bool Busy() const { return Current != nullptr; }
  // Waits for the current read and applies it now.
  void Finish();

  // How long Start waits for a quick result (milliseconds); with 0 every result comes later.
  static void SetWaitBudget(int milliseconds);
  static int WaitBudget();

private:
  struct TRun;
  void Deliver(const std::shared_ptr<TRun>& run);
  void ShowBusy(bool busy);

  std::shared_ptr<TRun> Current;
  std::shared_ptr<TBackgroundRead*> Life; // queued deliveries find out whether we still exist
  bool BusyShown = false;
};

} // namespace kestrel
