#include "imaging/core/StorageSurface.h"

#include <utility>

namespace kestrel {

QImage::Format QtFormatOfDepth(int bitsPerPixel) {
  switch (bitsPerPixel) {
  case 1:
    return QImage::Format_Mono;
  case 8:
    return QImage::Format_Indexed8;
  case 15:
    return QImage::Format_RGB555;
  case 16:
    return QImage::Format_RGB16;
  case 24:
    return QImage::Format_BGR888;
  case 32:
    return QImage::Format_RGB32;
  default:
    return QImage::Format_Invalid;
  }
}

void TStorageSurface::ReadPixels(int x0, int y, int count, TPixelColor* out) const {
  // Read through the const storage: reading never needs a buffer of its own.
  PixelRows::Read(std::as_const(storage_).Row(y), storage_.BitsPerPixel(), x0, count, table_, out);
}

void TStorageSurface::WritePixels(int x0, int y, int count, const TPixelColor* colors) {
  const int bits = storage_.BitsPerPixel();
  PixelRows::Write(storage_.Row(y), bits, x0, count, colors, bits <= 8 ? &Converter() : nullptr);
}

TPixelColor TStorageSurface::Representable(TPixelColor color) {
  const int bits = storage_.BitsPerPixel();
  if (bits <= 8) return table_.Colors[Converter().NearestIndex(color)];
  uint8_t pixel[4] = {};
  PixelRows::Write(pixel, bits, 0, 1, &color, nullptr);
  PixelRows::Read(pixel, bits, 0, 1, table_, &color);
  return color;
}

QImage TStorageSurface::DirectView() {
  const int bits = storage_.BitsPerPixel();
  if (storage_.Empty() || bits <= 8 || storage_.Order() != TRowOrder::TopDown) return {};
  return QImage(storage_.Bits(), storage_.Width(), storage_.Height(), storage_.BytesPerLine(),
                QtFormatOfDepth(bits));
}

} // namespace kestrel
