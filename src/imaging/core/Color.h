#pragma once
// Colours. Two packings meet in the image model:
// - TColor, the colour of the user interface and of TCanvas: 0x00BBGGRR (red in the low byte);
//   negative values name system colours (clBtnFace...), resolved by ColorToRgb.
// - TPixelColor, the value of a pixel and of a colour-table entry: 0x00RRGGBB (blue in the low
//   byte), i.e. the three stored bytes blue, green, red read as a little-endian number. It is also
//   the value Qt calls QRgb, without alpha.

#include <cstdint>

namespace kestrel {

using TColor = int32_t;
using TPixelColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
// "No colour" and "the default colour" markers; they are not colours and never reach a pixel.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours: the high bit set, the low byte the system colour index.
constexpr TColor kSystemColorFlag = static_cast<TColor>(0x80000000u);
constexpr TColor SystemColor(int index) {
  return kSystemColorFlag | index;
}
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr int kSystemColorCount = 25;

constexpr TColor RgbColor(int red, int green, int blue) {
  return static_cast<TColor>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}
constexpr uint8_t RedOf(TColor c) {
  return static_cast<uint8_t>(c);
}
constexpr uint8_t GreenOf(TColor c) {
  return static_cast<uint8_t>(c >> 8);
}
constexpr uint8_t BlueOf(TColor c) {
  return static_cast<uint8_t>(c >> 16);
}

// TColor <-> TPixelColor (red and blue bytes exchanged, top byte dropped).
constexpr TPixelColor PixelColorOf(TColor c) {
  const uint32_t v = static_cast<uint32_t>(c);
  return (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
}
constexpr TColor ColorOfPixel(TPixelColor p) {
  return static_cast<TColor>((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
}

// The RGB value (0x00BBGGRR) of a colour: system colours are resolved (through the resolver the
// platform layer installs, else a fixed light theme); plain colours come back with the top byte
// cleared.
TColor ColorToRgb(TColor color);
using TSystemColorResolver = TColor (*)(int index);
// Installs the resolver of system colours (nullptr restores the fixed table).
void SetSystemColorResolver(TSystemColorResolver resolver);

} // namespace kestrel
