#pragma once
// The six pixel formats of the device-independent image (TDibGraphic).

#include <cstdint>
#include <string>

namespace kestrel {

enum TImageFormat : uint8_t {
  ifBlackWhite = 0, // 1 bit per pixel, 2-entry palette
  ifGray16 = 1,     // 4 bits, 16 greys
  ifGray256 = 2,    // 8 bits, 256 greys
  ifColor16 = 3,    // 4 bits, 16-colour palette
  ifColor256 = 4,   // 8 bits, 256-colour palette
  ifTrueColor = 5,  // 24 bits, blue-green-red, no palette
};

constexpr int kImageFormatCount = 6;

constexpr bool IsValidImageFormat(TImageFormat f) {
  return f <= ifTrueColor;
}
constexpr bool HasPalette(TImageFormat f) {
  return f < ifTrueColor;
}

// Bits per pixel of a format: 1, 4, 8 or 24; 0 for a value that is no format.
constexpr int FormatBitsPerPixel(TImageFormat f) {
  switch (f) {
  case ifBlackWhite:
    return 1;
  case ifGray16:
  case ifColor16:
    return 4;
  case ifGray256:
  case ifColor256:
    return 8;
  case ifTrueColor:
    return 24;
  }
  return 0;
}

// "Black and white", "16 shades of gray", "256 shades of gray", "16 color", "256 color",
// "True color"; empty text for any other value.
std::string FormatDescription(TImageFormat format);

} // namespace kestrel
