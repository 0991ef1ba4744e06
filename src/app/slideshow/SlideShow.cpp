#include "app/slideshow/SlideShow.h"

#include <algorithm>

namespace kestrel {

void TSlideShow::SetTicks(int ticks) {
  ticks_ = std::clamp(ticks, kMinTicks, kMaxTicks);
  countdown_ = std::min(countdown_, ticks_);
}

void TSlideShow::SetRunning(bool running) {
  running_ = running;
  countdown_ = ticks_;
}

bool TSlideShow::Tick(int count) {
  if (!running_ || count <= 0) return false;
  if (countdown_ > 0) {
    --countdown_;
    return false;
  }
  countdown_ = ticks_;
  return true;
}

int TSlideShow::NextPosition(int current, bool anySelected, int count) {
  const int next = current + (anySelected ? 1 : 0);
  return next < 0 || next >= count ? 0 : next;
}

} // namespace kestrel
