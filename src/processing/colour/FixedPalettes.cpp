#include "processing/colour/FixedPalettes.h"

#include "imaging/core/DefaultPalettes.h"

#include <vector>

namespace kestrel {

namespace {

TPaletteEntry Grey(int level, uint8_t flags) {
  auto v = static_cast<uint8_t>(level);
  return {v, v, v, flags};
}

void AppendCube(std::vector<TPaletteEntry>& entries) {
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        entries.push_back({static_cast<uint8_t>(51 * r), static_cast<uint8_t>(51 * g),
                           static_cast<uint8_t>(51 * b)});
}

} // namespace

TPalette MakeHalftonePalette() {
  std::span<const TPaletteEntry> system = SystemPalette20().Entries();
  std::vector<TPaletteEntry> e(system.begin(), system.begin() + 10);
  AppendCube(e);
  // Four greys inside each of the five gaps between the cube's greys (steps of 51).
  for (int gap = 0; gap < 5; ++gap)
    for (int step = 1; step <= 4; ++step)
      e.push_back(Grey(51 * gap + (51 * step + 2) / 5, 0));
  e.insert(e.end(), system.begin() + 10, system.end());
  return TPalette(e);
}

TPalette MakePalette236() {
  std::span<const TPaletteEntry> system = SystemPalette20().Entries();
  std::vector<TPaletteEntry> e(system.begin(), system.begin() + 10);
  AppendCube(e);
  e.insert(e.end(), system.begin() + 10, system.end());
  return TPalette(e);
}

TPalette MakeDefaultPalette256() {
  TPalette palette(SystemPalette20().Entries());
  palette.Resize(256);
  return palette;
}

TPalette MakeGreyPalette() {
  std::vector<TPaletteEntry> e;
  for (int i = 0; i < 256; ++i)
    e.push_back(Grey(i, PC_NOCOLLAPSE));
  return TPalette(e);
}

TPalette MakeBlackWhitePalette() {
  return {Grey(0, PC_NOCOLLAPSE), Grey(255, PC_NOCOLLAPSE)};
}

TPalette MakeWindowsGreyPalette() {
  return {Grey(0, PC_NOCOLLAPSE), Grey(128, PC_NOCOLLAPSE), Grey(192, PC_NOCOLLAPSE),
          Grey(255, PC_NOCOLLAPSE)};
}

TPalette MakeWebCubePalette() {
  std::vector<TPaletteEntry> e;
  AppendCube(e);
  return TPalette(e);
}

} // namespace kestrel
