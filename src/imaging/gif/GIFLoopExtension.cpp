#include "imaging/gif/GIFLoopExtension.h"

#include "imaging/gif/GIFException.h"

namespace kestrel {

void TGIFAppExtNSLoop::LoadData(TStream& stream) {
  for (const TGIFBlock& block : ReadBlocks(stream)) {
    const size_t need = (block.Data[0] & 7) == 1 ? 3 : (block.Data[0] & 7) == 2 ? 5 : 0;
    if (block.Data.size() < need) throw GIFException("Invalid GIF data");
    if (need == 3) Loops = GIFWord(&block.Data[1]);
    if (need == 5)
      BufferSize = GIFWord(&block.Data[1]) | static_cast<uint32_t>(GIFWord(&block.Data[3])) << 16;
  }
}

void TGIFAppExtNSLoop::SaveData(TStream& stream) {
  std::vector<TGIFBlock> blocks(1);
  blocks[0].Data = {1, 0, 0};
  PutGIFWord(&blocks[0].Data[1], Loops);
  if (BufferSize > 0) {
    TGIFBlock buffer{{2, 0, 0, 0, 0}};
    PutGIFWord(&buffer.Data[1], static_cast<int>(BufferSize & 0xFFFF));
    PutGIFWord(&buffer.Data[3], static_cast<int>(BufferSize >> 16));
    blocks.push_back(std::move(buffer));
  }
  WriteGIFBlocks(stream, blocks);
}

} // namespace kestrel
