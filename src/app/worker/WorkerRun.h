#pragma once
// TWorkerRun: one run at a time of long work on a thread of its own, whose results reach the
// owner's thread (a window's) through queued calls. The work never waits for the owner, so the
// owner may end a run and wait for its thread at any time; what an abandoned run posted is dropped
// when it arrives. A run may hold the not-busy flag: it is free again once the run's end has
// reached the owner, or the run is abandoned, however the work ended.

#include "processing/busy/BusyFlag.h"

#include <QThread>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

namespace kestrel {

class TWorkerRun {
public:
  explicit TWorkerRun(QObject* owner) : owner_(owner) {}
  ~TWorkerRun() { Abandon(); }
  TWorkerRun(const TWorkerRun&) = delete;
  TWorkerRun& operator=(const TWorkerRun&) = delete;

  // Abandons a run under way, then runs body(run) on a new thread; body posts what it makes
  // with Post and ends with PostEnd.
  void Start(std::function<void(uint64_t run)> body, std::optional<TBusyClaim> claim = {},
             QThread::Priority priority = QThread::InheritPriority);
  bool Running() const { return thread_ != nullptr; }
  // Asks the run to end; the body sees it in Stopping().
  void Stop() { stop_ = true; }
  const std::atomic<bool>& Stopping() const { return stop_; }
  // Ends the run now and waits for its thread; nothing more of it is delivered.
  void Abandon();

  // From the body: call runs on the owner's thread, unless the run is no longer the current one
  // when it arrives.
  void Post(uint64_t run, std::function<void()> call);
  // From the body, last: on the owner's thread the thread is waited for and the flag freed, then
  // ended runs.
  void PostEnd(uint64_t run, std::function<void()> ended);

private:
  QObject* owner_;
  QThread* thread_ = nullptr;
  std::optional<TBusyClaim> claim_; // the run's
  std::atomic<bool> stop_{false};
  uint64_t run_ = 0; // the run whose deliveries count
};

} // namespace kestrel
