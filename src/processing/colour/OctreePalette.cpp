#include "processing/colour/OctreePalette.h"

#include "processing/colour/ColorQuantizer.h"
#include "processing/colour/FixedPalettes.h"

#include <algorithm>

namespace kestrel {

TPaletteEntries OctreePaletteEntries(int width, int height, const TBgrRowSource& rows, int colors,
                                     int colorBits, bool systemColors) {
  TPaletteEntries palette;
  int first = 0;
  int maxColors = std::clamp(colors, 0, 256);
  if (systemColors) {
    const TPaletteEntries& system = SystemDefaultEntries();
    palette.assign(256, TPaletteEntry{});
    std::copy(system.begin(), system.begin() + 10, palette.begin());
    std::copy(system.begin() + 10, system.end(), palette.begin() + 246);
    first = 10;
    maxColors = 236;
  } else {
    palette.assign(maxColors, TPaletteEntry{});
  }
  if (maxColors == 0) return palette;
  TColorQuantizer quantizer(maxColors, colorBits);
  for (int y = 0; y < height; ++y)
    quantizer.AddRow(rows(y), width);
  TPaletteEntries table = quantizer.GetColorTable();
  size_t count = std::min(table.size(), static_cast<size_t>(maxColors));
  std::copy_n(table.begin(), count, palette.begin() + first);
  return palette;
}

} // namespace kestrel
