#include "app/worker/WorkerRun.h"

#include <utility>

namespace kestrel {

void TWorkerRun::Start(std::function<void(uint64_t run)> body, std::optional<TBusyClaim> claim,
                       QThread::Priority priority) {
  Abandon();
  stop_ = false;
  const uint64_t run = ++run_;
  claim_ = std::move(claim);
  thread_ = QThread::create([body = std::move(body), run] { body(run); });
  thread_->start(priority);
}

void TWorkerRun::Abandon() {
  if (!thread_) return;
  stop_ = true;
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  claim_.reset();
  ++run_; // what the run posted is dropped when it arrives
}

void TWorkerRun::Post(uint64_t run, std::function<void()> call) {
  QMetaObject::invokeMethod(
      owner_,
      [this, run, call = std::move(call)] {
        if (run == run_) call();
      },
      Qt::QueuedConnection);
}

void TWorkerRun::PostEnd(uint64_t run, std::function<void()> ended) {
  Post(run, [this, ended = std::move(ended)] {
    // The thread posted this last; it ends right after.
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    claim_.reset();
    ended();
  });
}

} // namespace kestrel
