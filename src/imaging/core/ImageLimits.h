#pragma once
// The memory limit every reader checks before it allocates pixels, and overflow-checked size
// arithmetic. A damaged header that claims a huge picture must give the codec's error, never a huge
// allocation.

#include <cstdint>
#include <optional>

namespace kestrel {

class ImageLimits {
public:
  static constexpr uint64_t kDefaultMaxBytes = uint64_t(1) << 30; // 1 GiB of pixels
  static constexpr int64_t kMaxDimension = 1 << 20;               // per side, in pixels

  // The limit in bytes of pixel storage for one picture (process-wide; 0 restores the default).
  static uint64_t MaxBytes();
  static void SetMaxBytes(uint64_t bytes);

  // Bytes of a bottom-up picture with rows padded to 4 bytes, or nothing when a side is not
  // positive, is above kMaxDimension, or the size overflows or passes MaxBytes().
  static std::optional<uint64_t> PixelBytes(int64_t width, int64_t height, int bitsPerPixel);
  static bool Fits(int64_t width, int64_t height, int bitsPerPixel) {
    return PixelBytes(width, height, bitsPerPixel).has_value();
  }
  // Stride of a row padded to 4 bytes ((width * bits + 31) / 32 * 4), or nothing on overflow.
  static std::optional<uint64_t> PaddedStride(int64_t width, int bitsPerPixel);
};

// Overflow-checked arithmetic on sizes and offsets: nothing when the result does not fit.
std::optional<uint64_t> CheckedMul(uint64_t a, uint64_t b);
std::optional<uint64_t> CheckedAdd(uint64_t a, uint64_t b);

} // namespace kestrel
