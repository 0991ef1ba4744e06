#pragma once
// Data sub-blocks read and written whole: a length byte 1..255 and that many bytes, the run ended
// by a zero length. The extensions keep their data this way (comment lines, application data).

#include "imaging/core/Stream.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrel {

struct TGIFBlock {
  std::vector<uint8_t> Data; // 1..255 bytes; the size byte is Data.size()
  friend bool operator==(const TGIFBlock&, const TGIFBlock&) = default;
};

using TGIFBlockWarning = std::function<void(const std::string& message)>;

// Reads sub-blocks up to and including the zero-length one. A block cut by the end of the stream
// gives the warning "Premature end of data" and is kept as far as it goes.
std::vector<TGIFBlock> ReadGIFBlocks(TStream& stream, const TGIFBlockWarning& warning);
// Writes the blocks (empty ones are left out) and the zero-length terminator.
void WriteGIFBlocks(TStream& stream, const std::vector<TGIFBlock>& blocks);
// Cuts bytes into blocks of at most 255 bytes.
void AppendGIFBlocks(std::vector<TGIFBlock>& blocks, const uint8_t* data, size_t size);

// Little-endian fields.
inline uint16_t GIFWord(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline void PutGIFWord(uint8_t* p, int value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

} // namespace kestrel
