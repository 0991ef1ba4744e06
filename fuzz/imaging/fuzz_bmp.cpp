// libFuzzer target: the .bmp reader. Whatever loads must also survive a write and a second read
// with the same pixels; whatever fails must fail with the reader's own error.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace kestrel;

namespace {

// Row by row: a small file can make a picture of millions of pixels, which a call per pixel would
// take longer to compare than the fuzzer's time-out.
bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  std::vector<TPixelColor> rowA(static_cast<size_t>(a.Width())), rowB(rowA.size());
  for (int y = 0; y < a.Height(); ++y) {
    PixelRows::Read(a.ScanLine(y), a.BitsPerPixel(), 0, a.Width(), a.ColorTable(), rowA.data());
    PixelRows::Read(b.ScanLine(y), b.BitsPerPixel(), 0, b.Width(), b.ColorTable(), rowB.data());
    if (rowA != rowB) return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Small pictures only: the fuzzer looks for faults, not for slow large decodes.
  static const bool limited = [] {
    ImageLimits::SetMaxBytes(16 << 20);
    return true;
  }();
  (void)limited;
  TSpanStream header(data, size);
  try {
    TBitmap().ReadInfo(header);
  } catch (const EInvalidGraphic&) {
  }
  TSpanStream input(data, size);
  TBitmap bitmap;
  try {
    bitmap.LoadFromStream(input);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  TMemoryStream written;
  bitmap.SaveToStream(written);
  written.SetPosition(0);
  TBitmap back;
  back.LoadFromStream(written);
  if (!SamePixels(bitmap, back)) __builtin_trap();
  return 0;
}
