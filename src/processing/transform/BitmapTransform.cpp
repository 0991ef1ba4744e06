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

// Copies count pixels of Bytes bytes, reading step bytes apart and writing side by side. Three-byte
// pixels move as four-byte words, half the moves: the spare byte written lands on the next pixel
// of the run, which is written right after. Only the first wide pixels move so; the rest, whose
// spare byte could fall past either picture's memory, move as three bytes.
template <int Bytes>
inline void CopyColumn(const uint8_t* in, ptrdiff_t step, uint8_t* out, int count, int wide) {
  if constexpr (Bytes == 3) {
    int i = 0;
    for (; i < wide; ++i, in += step, out += 3) {
      uint32_t word;
      std::memcpy(&word, in, 4);
      std::memcpy(out, &word, 4);
    }
    for (; i < count; ++i, in += step, out += 3)
      std::memcpy(out, in, 3);
  } else {
    for (int i = 0; i < count; ++i, in += step, out += Bytes)
      std::memcpy(out, in, Bytes);
  }
}

// Turns a picture a quarter: the turned picture's row y is the source's column y (clockwise, read
// from the bottom up) or column width - 1 - y (anticlockwise, read from the top down). The copy
// goes in square tiles, so both pictures are walked within the cache.
template <int Bytes>
void QuarterTurn(const TPixelStorage& from, TPixelStorage& to, bool clockwise) {
  constexpr int kTile = 256;
  const int width = from.Width(), height = from.Height();
  const ptrdiff_t step = clockwise ? -from.BytesPerLine() : from.BytesPerLine();
  // A spare byte read after the last column is padding, or the next row's first byte, except in
  // the row that ends the memory when rows have no padding: whichever way the rows are stored,
  // that column is copied narrow.
  const bool lastColumnEndsMemory = from.BytesPerLine() == width * Bytes;
  for (int ty = 0; ty < width; ty += kTile) {
    const int yEnd = std::min(ty + kTile, width);
    for (int tx = 0; tx < height; tx += kTile) {
      const int count = std::min(kTile, height - tx);
      // The last pixel of a turned row has no next pixel to take its spare byte.
      const int rowWide = tx + count == height ? count - 1 : count;
      for (int y = ty; y < yEnd; ++y) {
        const int column = clockwise ? y : width - 1 - y;
        const int wide = lastColumnEndsMemory && column == width - 1 ? 0 : rowWide;
        const uint8_t* in = from.Row(clockwise ? height - 1 - tx : tx) + column * Bytes;
        CopyColumn<Bytes>(in, step, to.Row(y) + tx * Bytes, count, wide);
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
  if (!turned.Allocate(bitmap.Height(), bitmap.Width(), pixels->BitsPerPixel(), TRowOrder::TopDown))
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
