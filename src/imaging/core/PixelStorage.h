#pragma once
// Pixel storage shared by the device-independent image (TDibGraphic, rows bottom-up) and the
// device bitmap (TBitmap, rows top-down): width x height pixels of 1, 4, 8, 15, 16, 24 or 32 bits,
// each row padded to a multiple of 4 bytes. Packing within a row:
// - 1 bit: pixel x is bit 7 - (x mod 8) of byte x / 8 (most significant bit first);
// - 4 bits: byte x / 2, even x in the high nibble;
// - 8 bits: byte x;
// - 15 bits: 16-bit little-endian 0RRRRRGGGGGBBBBB; 16 bits: RRRRRGGGGGGBBBBB;
// - 24 bits: bytes 3x, 3x+1, 3x+2 = blue, green, red;
// - 32 bits: bytes 4x..4x+3 = blue, green, red, 0xFF (as a display image of 32 bits holds them;
//   files may carry anything in the fourth byte, which is never read as a colour).

#include "imaging/core/Color.h"
#include "imaging/core/DibPalette.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kestrel {

class TRgbToPaletteConverter;

enum class TRowOrder { TopDown, BottomUp };

class TPixelStorage {
public:
  TPixelStorage() = default;
  TPixelStorage(TPixelStorage&&) noexcept = default;
  TPixelStorage& operator=(TPixelStorage&&) noexcept = default;

  // Allocates the storage with every byte zero (palette index 0, black, zero padding), so that no
  // pixel or padding byte is ever left over from memory used before. Returns false, leaving the
  // storage empty, when a side is not positive, the bits per pixel are not one of the seven, the
  // size passes ImageLimits, or memory runs out.
  bool Allocate(int width, int height, int bitsPerPixel, TRowOrder order);
  void Release();
  // A copy of the pixels (and layout); raises nothing, returns false when memory runs out.
  bool CopyFrom(const TPixelStorage& other);
  // The same pixels as other without copying them: both share one buffer until either is
  // written through Bits() or Row(), which first gives the writer a copy of its own (raising
  // EOutOfMemory when there is no memory for it).
  void ShareFrom(const TPixelStorage& other);

  bool Empty() const { return !bits_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }
  int BytesPerLine() const { return stride_; }
  TRowOrder Order() const { return order_; }
  size_t ByteCount() const { return static_cast<size_t>(stride_) * static_cast<size_t>(height_); }

  // First byte in memory (the bottom line for BottomUp storage).
  uint8_t* Bits() {
    Unshare();
    return bits_.get();
  }
  const uint8_t* Bits() const { return bits_.get(); }
  // Row 0 is the top line of the picture. No range check: callers check 0 <= row < Height().
  uint8_t* Row(int row) {
    Unshare();
    return bits_.get() + RowOffset(row);
  }
  const uint8_t* Row(int row) const { return bits_.get() + RowOffset(row); }
  // Whether another storage shares the buffer.
  bool Shared() const { return bits_.use_count() > 1; }
  // Stores the rows in the given order, turning them over in place (a shared buffer is first
  // copied, as for any write).
  void SetOrder(TRowOrder order);

  static bool IsSupportedDepth(int bitsPerPixel);

private:
  size_t RowOffset(int row) const {
    const int line = order_ == TRowOrder::TopDown ? row : height_ - 1 - row;
    return static_cast<size_t>(line) * static_cast<size_t>(stride_);
  }

  // Allocate, with the bytes cleared only when clear is set: for a copy that overwrites them all.
  bool Reserve(int width, int height, int bitsPerPixel, TRowOrder order, bool clear);
  void Unshare() {
    if (Shared()) CopyShared();
  }
  void CopyShared();

  std::shared_ptr<uint8_t[]> bits_;
  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 0;
  int stride_ = 0;
  TRowOrder order_ = TRowOrder::TopDown;
};

// The colours of palette indices, padded with black to 256 entries so that any stored index reads
// safely.
struct TColorTable {
  TPixelColor Colors[256] = {};
  int Count = 0;
  static TColorTable From(const TDibPalette& palette);
  static TColorTable From(const class TPalette& palette);
};

namespace PixelRows {

inline int GetIndex(const uint8_t* row, int x, int bitsPerPixel) {
  switch (bitsPerPixel) {
  case 1:
    return row[x >> 3] >> (7 - (x & 7)) & 1;
  case 4:
    return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
  default:
    return row[x];
  }
}

inline void SetIndex(uint8_t* row, int x, int bitsPerPixel, int index) {
  switch (bitsPerPixel) {
  case 1: {
    const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
    row[x >> 3] = static_cast<uint8_t>(index > 0 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
    break;
  }
  case 4: {
    uint8_t& b = row[x >> 1];
    b = static_cast<uint8_t>((x & 1) ? (b & 0xF0) | (index & 0x0F)
                                     : (b & 0x0F) | (index & 0x0F) << 4);
    break;
  }
  default:
    row[x] = static_cast<uint8_t>(index);
  }
}

// Channel widening to the nearest 8-bit level (v * 255 / max, rounded); writing keeps the top
// bits, which gives v back.
inline uint8_t Widen5(unsigned v) {
  return static_cast<uint8_t>((v * 255 + 15) / 31);
}
inline uint8_t Widen6(unsigned v) {
  return static_cast<uint8_t>((v * 255 + 31) / 63);
}

// Colours of pixels x0 .. x0 + count - 1 of a row, as TPixelColor.
void Read(const uint8_t* row, int bitsPerPixel, int x0, int count, const TColorTable& table,
          TPixelColor* out);
// Stores count colours at pixels x0 .. x0 + count - 1. Palette depths store the index the
// converter finds (it must not be null for them); 15 and 16 bits keep the top bits of each
// channel; 32 bits store 0xFF in the fourth byte.
void Write(uint8_t* row, int bitsPerPixel, int x0, int count, const TPixelColor* colors,
           TRgbToPaletteConverter* converter);

} // namespace PixelRows

} // namespace kestrel
