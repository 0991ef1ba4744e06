#include "imaging/gif/GIFBlock.h"

#include <algorithm>

namespace kestrel {

std::vector<TGIFBlock> ReadGIFBlocks(TStream& stream, const TGIFBlockWarning& warning) {
  std::vector<TGIFBlock> blocks;
  uint8_t length = 0;
  while (stream.Read(&length, 1) == 1 && length > 0) {
    TGIFBlock block;
    block.Data.resize(length);
    const int64_t got = stream.Read(block.Data.data(), length);
    if (got < length) {
      if (warning) warning("Premature end of data");
      block.Data.resize(static_cast<size_t>(got));
      if (got > 0) blocks.push_back(std::move(block));
      break;
    }
    blocks.push_back(std::move(block));
  }
  return blocks;
}

void WriteGIFBlocks(TStream& stream, const std::vector<TGIFBlock>& blocks) {
  std::vector<uint8_t> bytes;
  for (const TGIFBlock& block : blocks) {
    for (size_t at = 0; at < block.Data.size(); at += 255) {
      const size_t n = std::min<size_t>(255, block.Data.size() - at);
      bytes.push_back(static_cast<uint8_t>(n));
      bytes.insert(bytes.end(), block.Data.begin() + at, block.Data.begin() + at + n);
    }
  }
  bytes.push_back(0);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void AppendGIFBlocks(std::vector<TGIFBlock>& blocks, const uint8_t* data, size_t size) {
  for (size_t at = 0; at < size; at += 255) {
    const size_t n = std::min<size_t>(255, size - at);
    blocks.push_back({std::vector<uint8_t>(data + at, data + at + n)});
  }
}

} // namespace kestrel
