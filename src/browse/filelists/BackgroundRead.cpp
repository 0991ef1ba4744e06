#include "browse/filelists/BackgroundRead.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kestrel {
namespace {

std::atomic<int> waitBudget{60};

} // namespace

struct TBackgroundRead::TRun {
  std::mutex Mutex;
  std::condition_variable Done;
  bool Finished = false;
  TApply Apply;
};

TBackgroundRead::TBackgroundRead() : Life(std::make_shared<TBackgroundRead*>(this)) {}

TBackgroundRead::~TBackgroundRead() {
  ShowBusy(false);
}

void TBackgroundRead::SetWaitBudget(int milliseconds) {
  waitBudget = milliseconds;
}

int TBackgroundRead::WaitBudget() {
  return waitBudget;
}

void TBackgroundRead::Start(TJob job) {
  auto run = std::make_shared<TRun>();
  Current = run;
  std::weak_ptr<TBackgroundRead*> life = Life;
  QThreadPool::globalInstance()->start([run, job = std::move(job), life] {
    TApply apply;
    try {
      apply = job();
    } catch (...) {
      // A job reports its own failures in its result; anything else is dropped.
    }
    {
      std::lock_guard lock(run->Mutex);
      run->Apply = std::move(apply);
      run->Finished = true;
    }
    run->Done.notify_all();
    if (QCoreApplication* app = QCoreApplication::instance()) {
      QMetaObject::invokeMethod(
          app,
          [run, life] {
            if (const auto self = life.lock()) (*self)->Deliver(run);
          },
          Qt::QueuedConnection);
    }
  });
  // With no budget the result always comes later, however quick the read.
  bool finished = false;
  if (const int budget = waitBudget.load(); budget > 0) {
    std::unique_lock lock(run->Mutex);
    finished =
        run->Done.wait_for(lock, std::chrono::milliseconds(budget), [&] { return run->Finished; });
  }
  if (finished)
    Deliver(run);
  else
    ShowBusy(true);
}

void TBackgroundRead::Finish() {
  if (!Current) return;
  const auto run = Current;
  {
    std::unique_lock lock(run->Mutex);
    run->Done.wait(lock, [&] { return run->Finished; });
  }
  Deliver(run);
}

void TBackgroundRead::Deliver(const std::shared_ptr<TRun>& run) {
  if (run != Current) return; // superseded, or applied already
  TApply apply;
  {
    std::lock_guard lock(run->Mutex);
    if (!run->Finished) return;
    apply = std::move(run->Apply);
  }
  Current.reset();
  ShowBusy(false);
  if (apply) apply();
}

void TBackgroundRead::ShowBusy(bool busy) {
  if (busy == BusyShown || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  BusyShown = busy;
  if (busy)
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
  else
    QGuiApplication::restoreOverrideCursor();
}

} // namespace kestrel
