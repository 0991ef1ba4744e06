#pragma once
// The slide show's clock, driven by the main window's 100 ms timer: while it runs, every
// Ticks() + 1 ticks the next file of the file list is due (0.2 s at the fastest, 6.5 s at the
// slowest). An empty list holds the clock, so the show carries on once files appear.

namespace kestrel {

class TSlideShow {
public:
  static constexpr int kMinTicks = 1;
  static constexpr int kMaxTicks = 64;
  static constexpr int kDefaultTicks = 33;

  // The interval, kept within kMinTicks .. kMaxTicks whatever it is given (a stored value may
  // have been edited by hand).
  int Ticks() const { return ticks_; }
  void SetTicks(int ticks);

  bool Running() const { return running_; }
  // Starts or stops the show; either way the countdown begins again.
  void SetRunning(bool running);
  // The countdown begins again (a click in the file list).
  void Restart() { countdown_ = ticks_; }
  // A file failed to load: the next tick moves on.
  void LoadFailed() { countdown_ = 0; }

  // One tick with count files listed: whether the next file is due now.
  bool Tick(int count);

  // The file list position to show next: after current when a file is selected, else current
  // itself, from the first again past the last (or with no current file at all).
  static int NextPosition(int current, bool anySelected, int count);

private:
  int ticks_ = kDefaultTicks;
  int countdown_ = kDefaultTicks;
  bool running_ = false;
};

} // namespace kestrel
