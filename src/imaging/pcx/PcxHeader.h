#pragma once
// The 128-byte header of a PC Paintbrush file. All 16-bit fields are little-endian; the pixel data
// start at offset 128. The reader looks at the first 70 bytes only.

#include "imaging/bmod/BitmapModule.h"

#include <array>
#include <cstdint>

namespace kestrel {

struct TPcxHeader {
  static constexpr int kSize = 128;
  static constexpr int kReadSize = 70;
  static constexpr uint8_t kManufacturer = 10;
  static constexpr uint8_t kWrittenVersion = 5;
  static constexpr uint8_t kRunLengthEncoding = 1;

  uint8_t Manufacturer = kManufacturer;
  uint8_t Version = kWrittenVersion;
  uint8_t Encoding = kRunLengthEncoding;
  uint8_t BitsPerPlane = 0;
  uint16_t XMin = 0;
  uint16_t YMin = 0;
  uint16_t XMax = 0;
  uint16_t YMax = 0;
  uint16_t XDpi = 0;
  uint16_t YDpi = 0;
  std::array<TBmodRgb, 16> Palette16{};
  uint8_t Planes = 1;
  uint16_t BytesPerLine = 0; // per plane
  uint16_t PaletteInfo = 1;

  // The first kReadSize bytes.
  static TPcxHeader Parse(const uint8_t* bytes);
  // All kSize bytes (the filler is zero).
  void Store(uint8_t* bytes) const;

  // Signed: a maximum below the minimum gives a negative size.
  int Width() const { return int(XMax) - int(XMin) + 1; }
  int Height() const { return int(YMax) - int(YMin) + 1; }
  // Bits per pixel of the picture for an accepted (bits per plane, planes) combination: (1, 1) 1,
  // (1, 4) and (4, 1) 4, (8, 1) 8, (8, 3) 24; 0 for any other.
  int BitsPerPixel() const;
  // Bytes of one plane line that carry pixels.
  size_t PlaneRowBytes() const;
  // Raises TBmodFailure on a header the reader refuses: manufacturer not 10, version 4 or above
  // 5, encoding not 1, an unknown combination, a negative size, or bytes per line too short for
  // the width.
  void Check() const;
};

} // namespace kestrel
