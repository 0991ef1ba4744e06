#include "imaging/gif/GIFPixelWalk.h"

namespace kestrel {

namespace {

struct TInterlacePass {
  int firstRow;
  int step;
};
constexpr TInterlacePass kPasses[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
constexpr int kPassCount = sizeof kPasses / sizeof kPasses[0];

} // namespace

bool TGIFPixelWalk::Next(int64_t& offset, int64_t& count) {
  if (width_ <= 0 || height_ <= 0) return false;
  if (!interlaced_) {
    if (started_) return false;
    started_ = true;
    offset = 0;
    count = width_ * height_;
    return true;
  }
  if (pass_ == kPassCount) return false;
  if (started_) row_ += kPasses[pass_].step;
  started_ = true;
  // A pass whose first row lies below the frame has no rows: go on with the next one.
  while (row_ >= height_) {
    if (++pass_ == kPassCount) return false;
    row_ = kPasses[pass_].firstRow;
  }
  offset = row_ * width_;
  count = width_;
  return true;
}

} // namespace kestrel
