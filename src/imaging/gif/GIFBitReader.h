#pragma once
// Reads the variable-length codes of the LZW image data, least significant bit first, from the
// data sub-blocks of one frame.

#include "imaging/gif/GIFStream.h"

#include <cstdint>

namespace kestrel {

class TGIFBitReader {
public:
  static constexpr int kMaxCodeBits = 12;

  TGIFBitReader(TStream& stream, TGIFWarning warning);
  TGIFBitReader(const TGIFBitReader&) = delete;
  TGIFBitReader& operator=(const TGIFBitReader&) = delete;

  // The next code of bits bits (1..kMaxCodeBits), or -1 after the warning "Decoder bit buffer
  // under-run" when the data end first.
  int Read(int bits) {
    if (valid_ - position_ < bits && !Refill(bits)) return -1;
    const int byte = position_ >> 3;
    const uint32_t window =
        buffer_[byte] | uint32_t(buffer_[byte + 1]) << 8 | uint32_t(buffer_[byte + 2]) << 16;
    position_ += bits;
    return static_cast<int>((window >> ((position_ - bits) & 7)) & ((1u << bits) - 1));
  }

  TGIFReader& Reader() { return reader_; }

private:
  // The two bytes kept across a refill hold every unread bit, since a code is at most 12 bits.
  static constexpr int kKeptBytes = 2;
  static constexpr int kFillBytes = 254;

  bool Refill(int bits);
  void UnderRun();

  TGIFReader reader_;
  TGIFWarning warning_;
  // Two spare zero bytes at the end let Read() load three bytes at any valid position.
  uint8_t buffer_[kKeptBytes + kFillBytes + 2] = {};
  int position_ = 0; // in bits
  int valid_ = 0;    // bits in the buffer
  int bytes_ = 0;    // bytes in the buffer
  bool exhausted_ = false;
};

} // namespace kestrel
