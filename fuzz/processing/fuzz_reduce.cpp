// Colour reduction of device bitmaps with arbitrary depths, codes, sizes, custom palettes and
// pixels: every run ends with a result, the empty result or the writer's dimension error, and a
// result is an 8-bit bitmap of the source's size.

#include "imaging/core/Exceptions.h"
#include "processing/colour/ReduceToPalette.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 7) return 0;
  static const TPixelFormat kFormats[] = {pf1bit,  pf4bit,  pf8bit, pf15bit,
                                          pf16bit, pf24bit, pf32bit};
  // Codes are spread a little past their ranges so that the refusals are reached too.
  int mode = data[0] % 12 - 1;
  int dither = data[1] % 9 - 1;
  int bits = data[2] % 11 - 1;
  int width = data[3] % 40;
  int height = data[4] % 40;
  TPixelFormat format = kFormats[data[5] % 7];
  size_t count = data[6];
  data += 7;
  size -= 7;
  std::vector<TPaletteEntry> custom;
  for (size_t i = 0; i < count && i < 256 && 3 * i + 2 < size; ++i)
    custom.push_back({data[3 * i], data[3 * i + 1], data[3 * i + 2]});

  TBitmap source;
  if (width > 0 && height > 0) {
    source.NewImage(width, height, pf24bit, TPalette());
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < 3 * width; ++x)
        source.ScanLine(y)[x] = size ? data[(size_t(y) * 3 * width + x) % size] : 0;
    if (PixelFormatBits(format) <= 8 && !custom.empty())
      source.SetPalette(TPalette(std::vector<TPaletteEntry>(
          custom.begin(),
          custom.begin() + std::min<size_t>(custom.size(), 1u << PixelFormatBits(format)))));
    source.SetPixelFormat(format);
  }
  try {
    auto result = ReduceToPalette(source, mode, dither, bits, TPalette(custom));
    if (result->Empty()) return 0;
    if (result->Width() != width || result->Height() != height) std::abort();
    if (mode != rmNone && result->PixelFormat() != pf8bit) std::abort();
  } catch (const EInvalidGraphic& e) {
    // Only a picture without pixels may be refused.
    if (width > 0 && height > 0 && std::string(e.what()) == "Invalid image dimensions")
      std::abort();
    if (width > 0 && height > 0) throw;
  }
  return 0;
}
