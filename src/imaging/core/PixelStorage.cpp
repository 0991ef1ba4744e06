#include "imaging/core/PixelStorage.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Palette.h"
#include "imaging/core/PixelMemory.h"
#include "imaging/core/RgbToPaletteConverter.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace kestrel {

bool TPixelStorage::IsSupportedDepth(int bitsPerPixel) {
  switch (bitsPerPixel) {
  case 1:
  case 4:
  case 8:
  case 15:
  case 16:
  case 24:
  case 32:
    return true;
  default:
    return false;
  }
}

bool TPixelStorage::Allocate(int width, int height, int bitsPerPixel, TRowOrder order) {
  return Reserve(width, height, bitsPerPixel, order, true);
}

bool TPixelStorage::Reserve(int width, int height, int bitsPerPixel, TRowOrder order, bool clear) {
  Release();
  if (!IsSupportedDepth(bitsPerPixel)) return false;
  const int storedBits = bitsPerPixel == 15 ? 16 : bitsPerPixel;
  const auto bytes = ImageLimits::PixelBytes(width, height, storedBits);
  if (!bytes) return false;
  bits_ = AllocatePixelMemory(*bytes, clear);
  if (!bits_) return false;
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  stride_ = static_cast<int>(*ImageLimits::PaddedStride(width, storedBits));
  order_ = order;
  return true;
}

void TPixelStorage::Release() {
  bits_.reset();
  width_ = height_ = bitsPerPixel_ = stride_ = 0;
}

bool TPixelStorage::CopyFrom(const TPixelStorage& other) {
  if (&other == this) return true;
  if (other.Empty()) {
    Release();
    return true;
  }
  if (!Reserve(other.width_, other.height_, other.bitsPerPixel_, other.order_, false)) return false;
  std::memcpy(bits_.get(), other.bits_.get(), ByteCount());
  return true;
}

void TPixelStorage::ShareFrom(const TPixelStorage& other) {
  if (&other == this) return;
  bits_ = other.bits_;
  width_ = other.width_;
  height_ = other.height_;
  bitsPerPixel_ = other.bitsPerPixel_;
  stride_ = other.stride_;
  order_ = other.order_;
}

void TPixelStorage::SetOrder(TRowOrder order) {
  if (order == order_) return;
  order_ = order;
  if (Empty()) return;
  Unshare();
  std::vector<uint8_t> spare(static_cast<size_t>(stride_));
  uint8_t* bits = bits_.get();
  for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = bits + static_cast<size_t>(top) * static_cast<size_t>(stride_);
    uint8_t* b = bits + static_cast<size_t>(bottom) * static_cast<size_t>(stride_);
    std::memcpy(spare.data(), a, spare.size());
    std::memcpy(a, b, spare.size());
    std::memcpy(b, spare.data(), spare.size());
  }
}

void TPixelStorage::CopyShared() {
  std::shared_ptr<uint8_t[]> own = AllocatePixelMemory(ByteCount(), false);
  if (!own) throw EOutOfMemory("Out of memory");
  std::memcpy(own.get(), bits_.get(), ByteCount());
  bits_ = std::move(own);
}

TColorTable TColorTable::From(const TDibPalette& palette) {
  TColorTable t;
  t.Count = std::min<int>(palette.Count, 256);
  for (int i = 0; i < t.Count; ++i)
    t.Colors[i] = palette.Value(i);
  return t;
}

TColorTable TColorTable::From(const TPalette& palette) {
  TColorTable t;
  t.Count = palette.Count();
  for (int i = 0; i < t.Count; ++i)
    t.Colors[i] = palette.PixelColor(i);
  return t;
}

namespace PixelRows {

void Read(const uint8_t* row, int bitsPerPixel, int x0, int count, const TColorTable& table,
          TPixelColor* out) {
  switch (bitsPerPixel) {
  case 1:
  case 4:
    for (int i = 0; i < count; ++i)
      out[i] = table.Colors[GetIndex(row, x0 + i, bitsPerPixel)];
    break;
  case 8:
    for (int i = 0; i < count; ++i)
      out[i] = table.Colors[row[x0 + i]];
    break;
  case 15:
  case 16:
    for (int i = 0; i < count; ++i) {
      const unsigned v = row[2 * (x0 + i)] | row[2 * (x0 + i) + 1] << 8;
      if (bitsPerPixel == 15)
        out[i] = Widen5(v >> 10 & 31) << 16 | Widen5(v >> 5 & 31) << 8 | Widen5(v & 31);
      else
        out[i] = Widen5(v >> 11) << 16 | Widen6(v >> 5 & 63) << 8 | Widen5(v & 31);
    }
    break;
  case 24:
    for (int i = 0; i < count; ++i) {
      const uint8_t* p = row + 3 * (x0 + i);
      out[i] = static_cast<TPixelColor>(p[2]) << 16 | p[1] << 8 | p[0];
    }
    break;
  default:
    for (int i = 0; i < count; ++i) {
      const uint8_t* p = row + 4 * (x0 + i);
      out[i] = static_cast<TPixelColor>(p[2]) << 16 | p[1] << 8 | p[0];
    }
  }
}

void Write(uint8_t* row, int bitsPerPixel, int x0, int count, const TPixelColor* colors,
           TRgbToPaletteConverter* converter) {
  switch (bitsPerPixel) {
  case 1:
  case 4:
  case 8:
    for (int i = 0; i < count; ++i)
      SetIndex(row, x0 + i, bitsPerPixel, converter->NearestIndex(colors[i]));
    break;
  case 15:
  case 16:
    for (int i = 0; i < count; ++i) {
      const TPixelColor c = colors[i];
      const unsigned r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
      const unsigned v = bitsPerPixel == 15 ? (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
                                            : (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
      row[2 * (x0 + i)] = static_cast<uint8_t>(v);
      row[2 * (x0 + i) + 1] = static_cast<uint8_t>(v >> 8);
    }
    break;
  case 24:
    for (int i = 0; i < count; ++i) {
      uint8_t* p = row + 3 * (x0 + i);
      p[0] = static_cast<uint8_t>(colors[i]);
      p[1] = static_cast<uint8_t>(colors[i] >> 8);
      p[2] = static_cast<uint8_t>(colors[i] >> 16);
    }
    break;
  default:
    for (int i = 0; i < count; ++i) {
      uint8_t* p = row + 4 * (x0 + i);
      p[0] = static_cast<uint8_t>(colors[i]);
      p[1] = static_cast<uint8_t>(colors[i] >> 8);
      p[2] = static_cast<uint8_t>(colors[i] >> 16);
      p[3] = 0xFF;
    }
  }
}

} // namespace PixelRows

} // namespace kestrel
