#pragma once
// Animated GIF files made for the painter and viewer tests: frames of given places, pixels,
// delays and disposals on a screen with a global table of 8 colours (background index 7), with
// an optional loop extension.

#include "imaging/core/Color.h"

#include "GIFFileBuilder.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kestrel::giftest {

struct TAnimFrame {
  int Left = 0, Top = 0, Width = 1, Height = 1;
  std::vector<uint8_t> Pixels; // indices, row by row
  int Delay = 0;               // hundredths of a second
  int Disposal = 0;
  int Transparent = -1; // the transparent index, or -1
};

// A frame of one colour.
inline TAnimFrame Solid(int left, int top, int width, int height, uint8_t index, int delay = 0,
                        int disposal = 0) {
  return {left,  top,     width, height, std::vector<uint8_t>(size_t(width) * height, index),
          delay, disposal};
}

constexpr int kAnimBackground = 7;

inline std::vector<uint8_t> AnimationBytes(int width, int height,
                                           const std::vector<TAnimFrame>& frames,
                                           std::optional<int> loops = std::nullopt) {
  GIFFileBuilder file;
  file.Screen(width, height, 3, kAnimBackground);
  if (loops) file.Application("NETSCAPE2.0", {{1, uint8_t(*loops & 0xFF), uint8_t(*loops >> 8)}});
  for (const TAnimFrame& f : frames) {
    file.Control(f.Transparent >= 0, std::max(f.Transparent, 0), f.Delay, f.Disposal);
    file.Image(f.Left, f.Top, f.Width, f.Height, f.Pixels, 3);
  }
  return file.Trailer().Bytes();
}

// The colour index i has in those files (see TableBytes).
inline TPixelColor AnimColor(int i) {
  return TPixelColor(i) << 16 | TPixelColor(255 - i) << 8 | TPixelColor((i * 37) & 0xFF);
}

} // namespace kestrel::giftest
