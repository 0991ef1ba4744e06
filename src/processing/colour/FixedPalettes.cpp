#include "processing/colour/FixedPalettes.h"

namespace kestrel {

namespace {

TPaletteEntry Grey(int level, uint8_t flags) {
  auto v = static_cast<uint8_t>(level);
  return {v, v, v, flags};
}

void AppendCube(TPaletteEntries& entries) {
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        entries.push_back({static_cast<uint8_t>(51 * r), static_cast<uint8_t>(51 * g),
                           static_cast<uint8_t>(51 * b)});
}

} // namespace

const TPaletteEntries& SystemDefaultEntries() {
  static const TPaletteEntries entries = {
      {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  return entries;
}

const TPaletteEntries& HalftoneEntries() {
  static const TPaletteEntries entries = [] {
    const auto& system = SystemDefaultEntries();
    TPaletteEntries e(system.begin(), system.begin() + 10);
    AppendCube(e);
    // Four greys inside each of the five gaps between the cube's greys (steps of 51).
    for (int gap = 0; gap < 5; ++gap)
      for (int step = 1; step <= 4; ++step)
        e.push_back(Grey(51 * gap + (51 * step + 2) / 5, 0));
    e.insert(e.end(), system.begin() + 10, system.end());
    return e;
  }();
  return entries;
}

const TPaletteEntries& Grey256Entries() {
  static const TPaletteEntries entries = [] {
    TPaletteEntries e;
    for (int i = 0; i < 256; ++i)
      e.push_back(Grey(i, kPaletteNoCollapse));
    return e;
  }();
  return entries;
}

const TPaletteEntries& BlackWhiteEntries() {
  static const TPaletteEntries entries = {Grey(0, kPaletteNoCollapse),
                                          Grey(255, kPaletteNoCollapse)};
  return entries;
}

const TPaletteEntries& WindowsGreyEntries() {
  static const TPaletteEntries entries = {
      Grey(0, kPaletteNoCollapse), Grey(128, kPaletteNoCollapse), Grey(192, kPaletteNoCollapse),
      Grey(255, kPaletteNoCollapse)};
  return entries;
}

const TPaletteEntries& WebCubeEntries() {
  static const TPaletteEntries entries = [] {
    TPaletteEntries e;
    AppendCube(e);
    return e;
  }();
  return entries;
}

} // namespace kestrel
