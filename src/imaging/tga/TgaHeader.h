#pragma once
// The 18-byte header of a Targa file (little-endian fields).
//
// Accepted image types and depths: 1 and 9 (colour-mapped, plain and run-length coded) at 8 bits
// with a map of 24-bit entries; 2 and 10 (true colour) at 16, 24 and 32 bits; 3 and 11 (grey) at
// 8 bits, and at 16 bits as grey plus alpha (the alpha byte is dropped).

#include <cstdint>

namespace kestrel {

struct TTgaHeader {
  static constexpr int kSize = 18;
  static constexpr uint8_t kTopDown = 0x20; // descriptor bit 5: the first stored row is the top

  uint8_t IdLength = 0;
  uint8_t ColorMapType = 0;
  uint8_t ImageType = 0;
  uint16_t ColorMapFirst = 0;
  uint16_t ColorMapLength = 0;
  uint8_t ColorMapEntrySize = 0;
  uint16_t XOrigin = 0;
  uint16_t YOrigin = 0;
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t Depth = 0;
  uint8_t Descriptor = 0;

  static TTgaHeader Parse(const uint8_t* bytes);
  void Store(uint8_t* bytes) const;

  bool ColorMapped() const { return ImageType == 1 || ImageType == 9; }
  bool Grey() const { return ImageType == 3 || ImageType == 11; }
  bool RunLength() const { return ImageType >= 9; }
  bool TopDown() const { return Descriptor & kTopDown; }
  int FileBytesPerPixel() const { return Depth / 8; }
  // What the picture gets: 8 bits for colour-mapped and grey files, 24 for true colour.
  int BitsPerPixel() const { return ColorMapped() || Grey() ? 8 : 24; }
  // Bytes of the colour map in the file (a 15-bit entry takes 16 bits).
  int64_t ColorMapBytes() const;
  // Where the pixels start: after the header, the identification field and the colour map.
  int64_t DataOffset() const;
  // Raises TBmodFailure for a header the reader refuses.
  void Check() const;
};

} // namespace kestrel
