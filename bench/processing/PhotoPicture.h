#pragma once
// The pictures the processing benchmarks work on, and their files for peer tools.

#include "imaging/core/Bitmap.h"

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::bench {

// A true-colour picture with the smooth and the busy parts of a photograph: gradients under a
// pattern, the same every run for the same seed.
inline std::unique_ptr<TBitmap> PhotoPicture(int width, int height, uint32_t seed = 12345) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, pf24bit, {});
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int texture = static_cast<int>(seed >> 28) + ((x / 7 + y / 5) % 3) * 20;
      row[3 * x] = static_cast<uint8_t>(x * 200 / width + texture);
      row[3 * x + 1] = static_cast<uint8_t>(y * 200 / height + texture);
      row[3 * x + 2] = static_cast<uint8_t>((x + y) * 100 / (width + height) + texture);
    }
  }
  return bitmap;
}

// Writes picture as a binary PPM (red, green, blue), which every peer tool reads.
inline void WritePpm(const TBitmap& picture, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << picture.Width() << " " << picture.Height() << "\n255\n";
  std::vector<char> rgb(3 * static_cast<size_t>(picture.Width()));
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) {
      rgb[3 * x] = static_cast<char>(row[3 * x + 2]);
      rgb[3 * x + 1] = static_cast<char>(row[3 * x + 1]);
      rgb[3 * x + 2] = static_cast<char>(row[3 * x]);
    }
    out.write(rgb.data(), static_cast<std::streamsize>(rgb.size()));
  }
}

} // namespace kestrel::bench
