#include "imaging/core/DefaultPalettes.h"

#include <array>

namespace kestrel {

namespace {

// The classic display hardware keeps 6 bits per channel; widening copies the top bits down.
constexpr uint8_t WidenDisplayLevel(int v) {
  return static_cast<uint8_t>(v << 2 | v >> 4);
}

// Stores a triple in byte 0, 1, 2 order exactly as listed (the tables are defined by their bytes).
void SetBytes(TDibPalette& p, int index, uint8_t b0, uint8_t b1, uint8_t b2) {
  p.Entries[index] = {b0, b1, b2, 0};
}

constexpr uint8_t kColor16[16][3] = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},  {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},  {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255}};

constexpr uint8_t kGreyRamp[16] = {0,   20,  32,  44,  56,  69,  81,  97,
                                   113, 130, 146, 162, 182, 203, 227, 255};

// Five channel levels (6-bit) per run: lowest, three steps, highest.
constexpr uint8_t kWheelLevels[9][5] = {
    {0x00, 0x10, 0x1F, 0x2F, 0x3F}, {0x1F, 0x27, 0x2F, 0x37, 0x3F}, {0x2D, 0x31, 0x36, 0x3A, 0x3F},
    {0x00, 0x07, 0x0E, 0x15, 0x1C}, {0x0E, 0x11, 0x15, 0x18, 0x1C}, {0x14, 0x16, 0x18, 0x1A, 0x1C},
    {0x00, 0x04, 0x08, 0x0C, 0x10}, {0x08, 0x0A, 0x0C, 0x0E, 0x10}, {0x0B, 0x0C, 0x0D, 0x0F, 0x10}};

// One run of 24 hues: from the third channel at full through the six corners of the colour cube
// (third, first + third, first, first + second, second, second + third) back again.
void AddWheelRun(TDibPalette& p, int start, const uint8_t (&l)[5]) {
  for (int i = 0; i < 24; ++i) {
    const int step = i % 4, side = i / 4;
    int a = 0, b = 0, c = 0;
    switch (side) {
    case 0:
      a = l[step], b = l[0], c = l[4];
      break;
    case 1:
      a = l[4], b = l[0], c = l[4 - step];
      break;
    case 2:
      a = l[4], b = l[step], c = l[0];
      break;
    case 3:
      a = l[4 - step], b = l[4], c = l[0];
      break;
    case 4:
      a = l[0], b = l[4], c = l[step];
      break;
    default:
      a = l[0], b = l[4 - step], c = l[4];
      break;
    }
    SetBytes(p, start + i, WidenDisplayLevel(a), WidenDisplayLevel(b), WidenDisplayLevel(c));
  }
}

std::array<TDibPalette, 5> BuildDefaults() {
  std::array<TDibPalette, 5> d{};
  for (auto& p : d)
    p.Version = TDibPalette::kVersion;
  d[ifBlackWhite].Count = 2;
  SetBytes(d[ifBlackWhite], 1, 255, 255, 255);
  d[ifGray16].Count = 16;
  for (int i = 0; i < 16; ++i) {
    const auto v = static_cast<uint8_t>(i * 17);
    SetBytes(d[ifGray16], i, v, v, v);
  }
  d[ifGray256].Count = 256;
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(i);
    SetBytes(d[ifGray256], i, v, v, v);
  }
  d[ifColor16].Count = 16;
  d[ifColor256].Count = 256;
  for (int i = 0; i < 16; ++i) {
    SetBytes(d[ifColor16], i, kColor16[i][0], kColor16[i][1], kColor16[i][2]);
    SetBytes(d[ifColor256], i, kColor16[i][0], kColor16[i][1], kColor16[i][2]);
    SetBytes(d[ifColor256], 16 + i, kGreyRamp[i], kGreyRamp[i], kGreyRamp[i]);
  }
  for (int run = 0; run < 9; ++run)
    AddWheelRun(d[ifColor256], 32 + run * 24, kWheelLevels[run]);
  // 248..255 stay black.
  return d;
}

TPalette FromColors(std::initializer_list<TColor> colors) {
  TPalette p = TPalette::Black(static_cast<int>(colors.size()));
  int i = 0;
  for (TColor c : colors)
    p.SetColor(i++, c);
  return p;
}

} // namespace

const TDibPalette* DefaultDibPalette(TImageFormat format) {
  static const std::array<TDibPalette, 5> defaults = BuildDefaults();
  return HasPalette(format) ? &defaults[format] : nullptr;
}

const TPalette& SystemPalette20() {
  static const TPalette p = FromColors({clBlack,
                                        clMaroon,
                                        clGreen,
                                        clOlive,
                                        clNavy,
                                        clPurple,
                                        clTeal,
                                        clSilver,
                                        RgbColor(192, 220, 192),
                                        RgbColor(166, 202, 240),
                                        RgbColor(255, 251, 240),
                                        RgbColor(160, 160, 164),
                                        clGray,
                                        clRed,
                                        clLime,
                                        clYellow,
                                        clBlue,
                                        clFuchsia,
                                        clAqua,
                                        clWhite});
  return p;
}

const TPalette& SystemPalette16() {
  static const TPalette p = [] {
    const TPalette& s = SystemPalette20();
    TPalette r = TPalette::Black(16);
    const int order[16] = {0, 1, 2, 3, 4, 5, 6, 12, 7, 13, 14, 15, 16, 17, 18, 19};
    for (int i = 0; i < 16; ++i)
      r[i] = s[order[i]];
    return r;
  }();
  return p;
}

const TPalette& BlackWhitePalette() {
  static const TPalette p = FromColors({clBlack, clWhite});
  return p;
}

} // namespace kestrel
