#pragma once
// A synthetic photograph for JPEG tests and benchmarks: smooth shading, a few soft-edged shapes,
// fine texture and a little grain, as blue-green-red rows.

#include <cmath>
#include <cstdint>

namespace kestrel::test {

// Fills a width x height picture of 3-byte pixels (blue, green, red), row(y) giving row y.
template <class RowOf> void PaintPhotoLike(int width, int height, RowOf row) {
  for (int y = 0; y < height; ++y) {
    uint8_t* p = row(y);
    const double v = double(y) / height;
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width;
      const double dx = u - 0.6, dy = v - 0.4;
      const double disc = 1 / (1 + std::exp((std::sqrt(dx * dx + dy * dy) - 0.18) * 60));
      const uint32_t hash = (uint32_t(x) * 73856093u) ^ (uint32_t(y) * 19349663u);
      const double grain = double(hash >> 28) - 7.5;
      for (int c = 0; c < 3; ++c) {
        const double sky = 70 + 110 * v + 25 * c * (1 - u);
        const double texture = 14 * std::sin(x * 0.09 + c) * std::sin(y * 0.07) +
                               9 * std::sin(x * 0.7 + y * 0.3) * std::sin(y * 0.9 - x * 0.2);
        const double value = sky * (1 - disc) + (200 - 60 * c) * disc + texture + grain;
        p[3 * x + c] = static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
      }
    }
  }
}

} // namespace kestrel::test
