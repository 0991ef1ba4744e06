#pragma once
// The order in which the pixels of a frame are coded. A plain frame runs through its rows in
// storage order; an interlaced one sends every 8th row from row 0, then every 8th from row 4,
// every 4th from row 2 and every 2nd from row 1, so a viewer can show a coarse picture early.

#include <cstdint>

namespace kestrel {

class TGIFPixelWalk {
public:
  TGIFPixelWalk(int64_t width, int64_t height, bool interlaced)
      : width_(width), height_(height), interlaced_(interlaced) {}

  // The next stretch of pixels that are consecutive both in the buffer and in coding order (the
  // whole frame when it is not interlaced, otherwise one row), as an offset into the frame's
  // buffer and a pixel count. False when every pixel has been visited.
  bool Next(int64_t& offset, int64_t& count);

private:
  int64_t width_;
  int64_t height_;
  bool interlaced_;
  int pass_ = 0;
  int64_t row_ = 0;
  bool started_ = false;
};

} // namespace kestrel
