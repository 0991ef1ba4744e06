#pragma once
// Time for the animation painters: a monotonic clock in microseconds, one-shot timers, and sleeping
// for painters that run inside the drawing call. The system clock is the steady clock with timers
// on the event loop of the thread that owns the application; the virtual clock moves only when it
// is told to, so tests and the command-line tool play animations without waiting.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kestrel {

// A one-shot timer. Starting it again replaces the shot still pending; destroying it cancels it.
class TGIFTimer {
public:
  virtual ~TGIFTimer() = default;
  virtual void Start(int64_t micros, std::function<void()> fire) = 0;
  virtual void Stop() = 0;
};

class TGIFClock {
public:
  virtual ~TGIFClock() = default;
  virtual int64_t Now() = 0;
  virtual void Sleep(int64_t micros) = 0;
  virtual std::unique_ptr<TGIFTimer> NewTimer() = 0;
  // Whether a timer made on the calling thread will ever fire.
  virtual bool TimersFireHere() const = 0;

  // The clock new painters take: the system clock unless replaced (null restores it).
  static std::shared_ptr<TGIFClock> Default();
  static void SetDefault(std::shared_ptr<TGIFClock> clock);
};

// The steady clock, with timers of the application's event loop (they fire only on its thread).
std::shared_ptr<TGIFClock> SystemGIFClock();

class TGIFVirtualClock : public TGIFClock {
public:
  TGIFVirtualClock() = default;
  TGIFVirtualClock(const TGIFVirtualClock&) = delete;
  TGIFVirtualClock& operator=(const TGIFVirtualClock&) = delete;
  ~TGIFVirtualClock() override;

  int64_t Now() override { return now_; }
  // Moves time on as Advance does.
  void Sleep(int64_t micros) override { Advance(micros); }
  std::unique_ptr<TGIFTimer> NewTimer() override;
  bool TimersFireHere() const override { return true; }

  // Moves time on by micros, firing every timer that falls due on the way, each at its own time
  // (earliest first, in the order they were started when two fall due together).
  void Advance(int64_t micros);
  // The number of timers waiting to fire.
  int Pending() const;

private:
  class TTimer;
  friend class TTimer;
  TTimer* NextDue(int64_t until) const;

  int64_t now_ = 0;
  uint64_t started_ = 0;
  std::vector<TTimer*> timers_;
};

} // namespace kestrel
