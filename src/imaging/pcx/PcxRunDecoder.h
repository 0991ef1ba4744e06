#pragma once
// Run-length decoding of PC Paintbrush data: a byte with both top bits set (0xC0 or more) is a
// count (its low six bits) for the byte that follows; any other byte stands for itself. The
// decoder keeps the rest of a run between calls, because some writers let a run reach past the
// end of a line or plane into the next one.

#include "imaging/bmod/BmodInput.h"

#include <cstddef>
#include <cstdint>

namespace kestrel {

class TPcxRunDecoder {
public:
  explicit TPcxRunDecoder(TBmodInput& input) : input_(input) {}

  // Decodes exactly count bytes into out (null: decodes and drops them); false when the data
  // end first.
  bool Decode(uint8_t* out, size_t count);

private:
  size_t Run(const uint8_t* token, uint8_t* out, size_t room);
  bool Skip(size_t count);

  TBmodInput& input_;
  size_t runLeft_ = 0;
  uint8_t runValue_ = 0;
};

} // namespace kestrel
