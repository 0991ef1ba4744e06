#include "imaging/core/ImageLimits.h"

#include <atomic>

namespace kestrel {

namespace {
std::atomic<uint64_t> maxBytes{ImageLimits::kDefaultMaxBytes};
}

uint64_t ImageLimits::MaxBytes() {
  return maxBytes.load(std::memory_order_relaxed);
}

void ImageLimits::SetMaxBytes(uint64_t bytes) {
  maxBytes.store(bytes ? bytes : kDefaultMaxBytes, std::memory_order_relaxed);
}

std::optional<uint64_t> CheckedMul(uint64_t a, uint64_t b) {
  uint64_t r;
  if (__builtin_mul_overflow(a, b, &r)) return std::nullopt;
  return r;
}

std::optional<uint64_t> CheckedAdd(uint64_t a, uint64_t b) {
  uint64_t r;
  if (__builtin_add_overflow(a, b, &r)) return std::nullopt;
  return r;
}

std::optional<uint64_t> ImageLimits::PaddedStride(int64_t width, int bitsPerPixel) {
  if (width <= 0 || width > kMaxDimension || bitsPerPixel <= 0 || bitsPerPixel > 128)
    return std::nullopt;
  return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
}

std::optional<uint64_t> ImageLimits::PixelBytes(int64_t width, int64_t height, int bitsPerPixel) {
  if (height <= 0 || height > kMaxDimension) return std::nullopt;
  const auto stride = PaddedStride(width, bitsPerPixel);
  if (!stride) return std::nullopt;
  const auto bytes = CheckedMul(*stride, static_cast<uint64_t>(height));
  if (!bytes || *bytes > MaxBytes()) return std::nullopt;
  return bytes;
}

} // namespace kestrel
