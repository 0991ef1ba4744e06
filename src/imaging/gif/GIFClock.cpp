#include "imaging/gif/GIFClock.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace kestrel {

namespace {

// A single-shot QTimer. The shot may destroy the timer that fired it, so the QTimer itself goes
// later, once its signal has returned.
class TQtTimer : public TGIFTimer {
public:
  TQtTimer() : timer_(new QTimer) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, [this] {
      const std::function<void()> fire = fire_; // the shot may destroy this object
      if (fire) fire();
    });
  }
  ~TQtTimer() override {
    timer_->stop();
    QObject::disconnect(timer_, nullptr, nullptr, nullptr);
    if (QCoreApplication::instance())
      timer_->deleteLater();
    else
      delete timer_;
  }
  TQtTimer(const TQtTimer&) = delete;
  TQtTimer& operator=(const TQtTimer&) = delete;

  void Start(int64_t micros, std::function<void()> fire) override {
    fire_ = std::move(fire);
    // Rounded to the nearest millisecond: the painter corrects for what the timer gains or loses.
    timer_->start(static_cast<int>(std::clamp<int64_t>((micros + 500) / 1000, 0, INT32_MAX)));
  }
  void Stop() override { timer_->stop(); }

private:
  QTimer* timer_;
  std::function<void()> fire_;
};

class TSystemClock : public TGIFClock {
public:
  int64_t Now() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void Sleep(int64_t micros) override {
    std::this_thread::sleep_for(std::chrono::microseconds(std::max<int64_t>(micros, 0)));
  }
  std::unique_ptr<TGIFTimer> NewTimer() override { return std::make_unique<TQtTimer>(); }
  bool TimersFireHere() const override {
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
  }
};

std::mutex& DefaultLock() {
  static std::mutex lock;
  return lock;
}

std::shared_ptr<TGIFClock>& DefaultClock() {
  static std::shared_ptr<TGIFClock> clock = SystemGIFClock();
  return clock;
}

} // namespace

std::shared_ptr<TGIFClock> SystemGIFClock() {
  static const std::shared_ptr<TGIFClock> clock = std::make_shared<TSystemClock>();
  return clock;
}

std::shared_ptr<TGIFClock> TGIFClock::Default() {
  const std::lock_guard<std::mutex> hold(DefaultLock());
  return DefaultClock();
}

void TGIFClock::SetDefault(std::shared_ptr<TGIFClock> clock) {
  const std::lock_guard<std::mutex> hold(DefaultLock());
  DefaultClock() = clock ? std::move(clock) : SystemGIFClock();
}

// The virtual clock.

class TGIFVirtualClock::TTimer : public TGIFTimer {
public:
  explicit TTimer(TGIFVirtualClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }
  ~TTimer() override { std::erase(clock_.timers_, this); }
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  void Start(int64_t micros, std::function<void()> fire) override {
    fire_ = std::move(fire);
    due_ = clock_.now_ + std::max<int64_t>(micros, 0);
    order_ = ++clock_.started_;
    pending_ = true;
  }
  void Stop() override { pending_ = false; }

  bool Pending() const { return pending_; }
  int64_t Due() const { return due_; }
  uint64_t Order() const { return order_; }
  // Fires the shot; it may destroy this timer.
  void Fire() {
    pending_ = false;
    const std::function<void()> fire = fire_;
    if (fire) fire();
  }

private:
  TGIFVirtualClock& clock_;
  std::function<void()> fire_;
  int64_t due_ = 0;
  uint64_t order_ = 0;
  bool pending_ = false;
};

TGIFVirtualClock::~TGIFVirtualClock() = default;

std::unique_ptr<TGIFTimer> TGIFVirtualClock::NewTimer() {
  return std::make_unique<TTimer>(*this);
}

TGIFVirtualClock::TTimer* TGIFVirtualClock::NextDue(int64_t until) const {
  TTimer* next = nullptr;
  for (TTimer* timer : timers_)
    if (timer->Pending() && timer->Due() <= until &&
        (!next || std::pair(timer->Due(), timer->Order()) < std::pair(next->Due(), next->Order())))
      next = timer;
  return next;
}

void TGIFVirtualClock::Advance(int64_t micros) {
  const int64_t until = now_ + std::max<int64_t>(micros, 0);
  while (TTimer* timer = NextDue(until)) {
    now_ = timer->Due();
    timer->Fire();
  }
  now_ = until;
}

int TGIFVirtualClock::Pending() const {
  return static_cast<int>(
      std::count_if(timers_.begin(), timers_.end(), [](TTimer* t) { return t->Pending(); }));
}

} // namespace kestrel
