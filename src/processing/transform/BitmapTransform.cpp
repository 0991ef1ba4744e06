#include "processing/transform/BitmapTransform.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

namespace kestrel {

namespace {

void MirrorVertical(TBitmap& bitmap) {
  const size_t bytes = static_cast<size_t>(bitmap.BytesPerLine());
  for (int top = 0, bottom = bitmap.Height() - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(bitmap.ScanLine(top), bitmap.ScanLine(top) + bytes, bitmap.ScanLine(bottom));
}

template <int Bytes> void MirrorRowsHorizontally(TBitmap& bitmap) {
  const int width = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* left = bitmap.ScanLine(y);
    uint8_t* right = left + (width - 1) * Bytes;
    for (; left < right; left += Bytes, right -= Bytes)
      std::swap_ranges(left, left + Bytes, right);
  }
}

// Turns a picture a quarter: the turned picture's row y is the source's column y (clockwise, read
// from the bottom up) or column width - 1 - y (anticlockwise, read from the top down). The copy
// goes in square tiles, so both pictures are walked within the cache.
template <int Bytes>
void QuarterTurn(const TPixelStorage& from, TPixelStorage& to, bool clockwise) {
  constexpr int kTile = 64;
  const int width = from.Width(), height = from.Height();
  const ptrdiff_t step = clockwise ? -from.BytesPerLine() : from.BytesPerLine();
  for (int ty = 0; ty < width; ty += kTile) {
    const int yEnd = std::min(ty + kTile, width);
    for (int tx = 0; tx < height; tx += kTile) {
      const int xEnd = std::min(tx + kTile, height);
      for (int y = ty; y < yEnd; ++y) {
        const int column = clockwise ? y : width - 1 - y;
        const uint8_t* in = from.Row(clockwise ? height - 1 - tx : tx) + column * Bytes;
        uint8_t* out = to.Row(y) + tx * Bytes;
        for (int x = tx; x < xEnd; ++x, in += step, out += Bytes)
          std::memcpy(out, in, Bytes);
      }
    }
  }
}

template <class Action> void ByPixelBytes(int bytes, Action&& action) {
  switch (bytes) {
  case 1:
    return action(std::integral_constant<int, 1>());
  case 2:
    return action(std::integral_constant<int, 2>());
  case 3:
    return action(std::integral_constant<int, 3>());
  default:
    return action(std::integral_constant<int, 4>());
  }
}

void MirrorHorizontal(TBitmap& bitmap, int bytes) {
  ByPixelBytes(bytes, [&](auto b) { MirrorRowsHorizontally<decltype(b)::value>(bitmap); });
}

void Rotate(TBitmap& bitmap, int bytes, bool clockwise) {
  TCanvasSurface& surface = bitmap.Canvas().Surface();
  TPixelStorage* pixels = surface.RawStorageForWrite();
  TPixelStorage turned;
  if (!turned.Allocate(bitmap.Height(), bitmap.Width(), pixels->BitsPerPixel(), TRowOrder::TopDown,
                       false))
    throw EInvalidGraphic(formatMessage("Bitmap of %d x %d pixels exceeds the memory limit",
                                        bitmap.Height(), bitmap.Width()));
  ByPixelBytes(bytes, [&](auto b) { QuarterTurn<decltype(b)::value>(*pixels, turned, clockwise); });
  // The turned pixels take the place of the old ones, as a change of size would.
  *pixels = std::move(turned);
}

} // namespace

void ApplyBitmapTransform(TBitmap& bitmap, TBitmapTransform transform) {
  if (bitmap.Empty() || bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
  if (bitmap.BitsPerPixel() < 8) bitmap.SetPixelFormat(pf8bit);
  const int bytes = (bitmap.BitsPerPixel() + 7) / 8;
  bitmap.Canvas().Surface().SurfaceChanging();
  switch (transform) {
  case TBitmapTransform::HalfTurn:
    MirrorVertical(bitmap);
    MirrorHorizontal(bitmap, bytes);
    break;
  case TBitmapTransform::MirrorVertical:
    MirrorVertical(bitmap);
    break;
  case TBitmapTransform::MirrorHorizontal:
    MirrorHorizontal(bitmap, bytes);
    break;
  case TBitmapTransform::RotateClockwise:
    Rotate(bitmap, bytes, true);
    break;
  case TBitmapTransform::RotateAnticlockwise:
    Rotate(bitmap, bytes, false);
    break;
  }
  bitmap.Canvas().Surface().SurfaceChanged();
}

} // namespace kestrel
