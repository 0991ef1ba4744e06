#include "imaging/gif/GIFTextExtension.h"

namespace kestrel {

void TGIFTextExtension::LoadBody(TStream& stream) {
  uint8_t fixed[kFixedSize];
  if (!ReadFixedPart(stream, fixed, kFixedSize)) return;
  Left = GIFWord(fixed);
  Top = GIFWord(fixed + 2);
  GridWidth = GIFWord(fixed + 4);
  GridHeight = GIFWord(fixed + 6);
  CellWidth = fixed[8];
  CellHeight = fixed[9];
  ForegroundColorIndex = fixed[10];
  BackgroundColorIndex = fixed[11];
  Lines = LinesOfBlocks(ReadBlocks(stream));
}

void TGIFTextExtension::SaveBody(TStream& stream) {
  uint8_t fixed[kFixedSize];
  PutGIFWord(fixed, Left);
  PutGIFWord(fixed + 2, Top);
  PutGIFWord(fixed + 4, GridWidth);
  PutGIFWord(fixed + 6, GridHeight);
  fixed[8] = CellWidth;
  fixed[9] = CellHeight;
  fixed[10] = ForegroundColorIndex;
  fixed[11] = BackgroundColorIndex;
  WriteFixedPart(stream, fixed, kFixedSize);
  WriteGIFBlocks(stream, BlocksOfLines(Lines));
}

} // namespace kestrel
