// Colour reduction with arbitrary codes, sizes, custom palettes and pixels: every run ends with a
// result or the empty result, and every index lies inside the palette.

#include "processing/colour/PaletteReduction.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  // Codes are spread a little past their ranges so that the refusals are reached too.
  int mode = data[0] % 12 - 1;
  int dither = data[1] % 9 - 1;
  int bits = data[2] % 11 - 1;
  int width = data[3] % 40;
  int height = data[4] % 40;
  size_t count = data[5];
  data += 6;
  size -= 6;
  TPaletteEntries custom;
  for (size_t i = 0; i < count && 3 * i + 2 < size; ++i)
    custom.push_back({data[3 * i], data[3 * i + 1], data[3 * i + 2]});
  std::vector<uint8_t> pixels(size_t(3) * width * height);
  for (size_t i = 0; i < pixels.size() && size > 0; ++i)
    pixels[i] = data[i % size];
  TBgrRowSource rows = [&](int y) { return pixels.data() + size_t(3) * width * y; };

  TPaletteReduction reduction(mode, dither, bits, custom, width, height, rows);
  std::vector<uint8_t> out(size_t(width) * height, 0);
  reduction.Run(rows, [&](int y) { return out.data() + size_t(width) * y; });
  if (!reduction.Empty())
    for (uint8_t index : out)
      if (index >= reduction.Palette().size()) std::abort();
  return 0;
}
