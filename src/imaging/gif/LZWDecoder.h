#pragma once
// Turns the LZW codes of one frame back into pixels. The string table and the pixel stack are
// fixed arrays inside the decoder, so decoding allocates nothing however long the frame is, and
// no code read from a file can reach outside them.

#include "imaging/gif/GIFBitReader.h"

#include <cstdint>

namespace kestrel {

class TLZWDecoder {
public:
  static constexpr int kTableSize = 4096;
  static constexpr int kStackSize = 8192;
  // The largest minimum code size whose first free code still lies inside the table.
  static constexpr int kMaxMinimumCodeSize = 11;

  // minimumCodeSize is the byte in front of the frame's data; only its low five bits count. A size
  // above kMaxMinimumCodeSize raises GIFException "Invalid GIF data".
  TLZWDecoder(TGIFBitReader& bits, int minimumCodeSize);
  TLZWDecoder(const TLZWDecoder&) = delete;
  TLZWDecoder& operator=(const TLZWDecoder&) = delete;

  // Writes up to count pixels in coding order and returns how many it wrote: fewer when the data
  // end first (an end code, or the bits run out with a warning). A broken table raises
  // GIFException.
  int64_t Read(uint8_t* pixels, int64_t count);

private:
  // Writes the string of code (neither clear nor end) to out, up to room pixels; what does not
  // fit waits on the stack. Returns the pixels written.
  int Expand(int code, uint8_t* out, int64_t room);
  [[noreturn]] static void StackOverflow();
  [[noreturn]] static void Circular();
  bool StartAfterClear();
  void ResetTable();

  TGIFBitReader& bits_;
  int minimumSize_;
  int codeSize_ = 0;
  int clear_;
  int end_;
  int nextFree_ = 0;
  int threshold_ = 0;
  uint8_t firstPixel_ = 0;
  int previousCode_ = 0;
  bool freshStart_ = true;
  bool ended_ = false;
  // The stack grows downwards, so the pixels waiting on it lie in output order from top_ up.
  int top_ = kStackSize;
  uint16_t prefix_[kTableSize];
  uint8_t suffix_[kTableSize];
  uint8_t stack_[kStackSize];
};

} // namespace kestrel
