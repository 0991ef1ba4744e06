#pragma once
// Buffered reading of a byte range of a module file through a 16 384-byte buffer. Decoders look
// at the buffered bytes directly (Data, Available) and consume what they used, so a run-length
// decoder's inner loop touches no callback.

#include "imaging/bmod/BmodFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kestrel {

class TBmodInput {
public:
  static constexpr size_t kBufferSize = 16384;

  // Reads the bytes from offset start up to offset end (-1: the end of the file).
  TBmodInput(TBmodFile& file, int64_t start, int64_t end = -1);

  const uint8_t* Data() const { return buffer_.get() + position_; }
  size_t Available() const { return filled_ - position_; }
  void Consume(size_t count) { position_ += count; }
  // Makes at least count (at most kBufferSize) bytes available unless the range ends first;
  // returns the bytes available.
  size_t Fill(size_t count);
  // Copies exactly count bytes to out; false when the range ends first.
  bool ReadExact(uint8_t* out, size_t count);

private:
  TBmodFile& file_;
  int64_t left_; // bytes of the range not yet in the buffer
  std::unique_ptr<uint8_t[]> buffer_;
  size_t position_ = 0;
  size_t filled_ = 0;
};

} // namespace kestrel
