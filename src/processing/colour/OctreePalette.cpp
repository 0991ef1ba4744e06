#include "processing/colour/OctreePalette.h"

#include "imaging/core/DefaultPalettes.h"
#include "processing/colour/ColorQuantizer.h"

#include <algorithm>

namespace kestrel {

TPalette OctreePalette(int width, int height, const TBgrRowSource& rows, int colors, int colorBits,
                       bool systemColors) {
  TPalette palette;
  int first = 0;
  int maxColors = std::clamp(colors, 0, 256);
  if (systemColors) {
    const TPalette& system = SystemPalette20();
    palette = TPalette::Black(256);
    for (int i = 0; i < 10; ++i) {
      palette[i] = system[i];
      palette[246 + i] = system[10 + i];
    }
    first = 10;
    maxColors = 236;
  } else {
    palette = TPalette::Black(maxColors);
  }
  if (maxColors == 0) return palette;
  TColorQuantizer quantizer(maxColors, colorBits);
  for (int y = 0; y < height; ++y)
    quantizer.AddRow(rows(y), width);
  std::vector<TPaletteEntry> table = quantizer.GetColorTable();
  int count = std::min(static_cast<int>(table.size()), maxColors);
  for (int i = 0; i < count; ++i)
    palette[first + i] = table[i];
  return palette;
}

} // namespace kestrel
