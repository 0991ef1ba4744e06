#include "imaging/gif/GIFGraphicControlExtension.h"

namespace kestrel {

void TGIFGraphicControlExtension::LoadBody(TStream& stream) {
  uint8_t fixed[kFixedSize];
  if (!ReadFixedPart(stream, fixed, kFixedSize)) return;
  Disposal = fixed[0] >> 2 & 7;
  UserInput = (fixed[0] & 2) != 0;
  Transparent = (fixed[0] & 1) != 0;
  Delay = GIFWord(fixed + 1);
  TransparentColorIndex = fixed[3];
  // Normally just the terminator; anything more is not ours to keep.
  ReadBlocks(stream);
}

void TGIFGraphicControlExtension::SaveBody(TStream& stream) {
  uint8_t fixed[kFixedSize + 1] = {};
  fixed[0] =
      static_cast<uint8_t>((Disposal & 7) << 2 | (UserInput ? 2 : 0) | (Transparent ? 1 : 0));
  PutGIFWord(fixed + 1, Delay);
  fixed[3] = TransparentColorIndex;
  WriteFixedPart(stream, fixed, kFixedSize);
  stream.WriteBuffer(fixed + kFixedSize, 1); // terminator
}

} // namespace kestrel
