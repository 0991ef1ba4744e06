#pragma once
// Buffered writing to a module file. Coders append to Buffer() (or Put) and call Flush at the end;
// a write the file does not take raises TBmodFailure WriteFailed.

#include "imaging/bmod/BmodFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel {

class TBmodOutput {
public:
  explicit TBmodOutput(TBmodFile& file) : file_(file) {}

  std::vector<uint8_t>& Buffer() { return buffer_; }
  void Put(const void* data, size_t count);
  // Writes the buffer out once it holds a good chunk.
  void FlushIfFull() {
    if (buffer_.size() >= kChunk) Flush();
  }
  void Flush();

private:
  static constexpr size_t kChunk = 1 << 16;
  TBmodFile& file_;
  std::vector<uint8_t> buffer_;
};

} // namespace kestrel
