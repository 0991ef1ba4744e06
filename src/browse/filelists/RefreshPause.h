#pragma once
// The file view's automatic refresh, held off while work changes files so that the lists are not
// read again in the middle of it. Pauses nest (a new folder waits for its name in the rename
// window, which renames under a pause of its own): the refresh comes back when the last pause
// ends, and then only as the user wants it ("Stop Fileview Update").

#include <functional>

namespace kestrel {

class TAutoRefresh {
public:
  // Switches the window's automatic refresh.
  std::function<void(bool on)> Apply;
  // Whether the user wants it on.
  std::function<bool()> Wanted;

  void Pause() {
    if (Paused++ == 0 && Apply) Apply(false);
  }
  void Resume() {
    if (Paused > 0 && --Paused == 0 && Apply) Apply(!Wanted || Wanted());
  }
  bool IsPaused() const { return Paused > 0; }

private:
  int Paused = 0;
};

// One pause for the life of a scope, whichever way the scope ends. A null owner pauses nothing.
class TRefreshPause {
public:
  explicit TRefreshPause(TAutoRefresh* owner) : Owner(owner) {
    if (Owner) Owner->Pause();
  }
  ~TRefreshPause() {
    if (Owner) Owner->Resume();
  }
  TRefreshPause(const TRefreshPause&) = delete;
  TRefreshPause& operator=(const TRefreshPause&) = delete;

private:
  TAutoRefresh* Owner;
};

} // namespace kestrel
