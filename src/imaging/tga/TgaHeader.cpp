#include "imaging/tga/TgaHeader.h"

#include "imaging/bmod/BitmapModule.h"
#include "imaging/bmod/ByteOrder.h"

#include <cstring>

namespace kestrel {

TTgaHeader TTgaHeader::Parse(const uint8_t* b) {
  TTgaHeader h;
  h.IdLength = b[0];
  h.ColorMapType = b[1];
  h.ImageType = b[2];
  h.ColorMapFirst = LoadLe16(b + 3);
  h.ColorMapLength = LoadLe16(b + 5);
  h.ColorMapEntrySize = b[7];
  h.XOrigin = LoadLe16(b + 8);
  h.YOrigin = LoadLe16(b + 10);
  h.Width = LoadLe16(b + 12);
  h.Height = LoadLe16(b + 14);
  h.Depth = b[16];
  h.Descriptor = b[17];
  return h;
}

void TTgaHeader::Store(uint8_t* b) const {
  b[0] = IdLength;
  b[1] = ColorMapType;
  b[2] = ImageType;
  StoreLe16(b + 3, ColorMapFirst);
  StoreLe16(b + 5, ColorMapLength);
  b[7] = ColorMapEntrySize;
  StoreLe16(b + 8, XOrigin);
  StoreLe16(b + 10, YOrigin);
  StoreLe16(b + 12, Width);
  StoreLe16(b + 14, Height);
  b[16] = Depth;
  b[17] = Descriptor;
}

int64_t TTgaHeader::ColorMapBytes() const {
  const int entryBits = ColorMapEntrySize == 15 ? 16 : ColorMapEntrySize;
  return int64_t(ColorMapLength) * entryBits / 8;
}

int64_t TTgaHeader::DataOffset() const {
  return kSize + IdLength + (ColorMapType ? ColorMapBytes() : 0);
}

void TTgaHeader::Check() const {
  if (Depth != 8 && Depth != 16 && Depth != 24 && Depth != 32)
    BmodFail(TBmodError::TgaBitsPerPixel);
  const bool depthFits = ColorMapped()                       ? Depth == 8
                         : Grey()                            ? Depth == 8 || Depth == 16
                         : ImageType == 2 || ImageType == 10 ? Depth != 8
                                                             : false;
  if (!depthFits) BmodFail(TBmodError::TgaCompression);
  if (ColorMapped() && !ColorMapType) BmodFail(TBmodError::TgaColorMapMissing);
  if (ColorMapped() && ColorMapEntrySize != 24) BmodFail(TBmodError::TgaColorMapEntrySize);
  if (Width == 0 || Height == 0) BmodFail(TBmodError::BadSize);
}

} // namespace kestrel
