#include "imaging/pcx/PcxHeader.h"

#include "imaging/bmod/ByteOrder.h"

#include <cstring>

namespace kestrel {

namespace {
constexpr int kPaletteOffset = 16;
} // namespace

TPcxHeader TPcxHeader::Parse(const uint8_t* b) {
  TPcxHeader h;
  h.Manufacturer = b[0];
  h.Version = b[1];
  h.Encoding = b[2];
  h.BitsPerPlane = b[3];
  h.XMin = LoadLe16(b + 4);
  h.YMin = LoadLe16(b + 6);
  h.XMax = LoadLe16(b + 8);
  h.YMax = LoadLe16(b + 10);
  h.XDpi = LoadLe16(b + 12);
  h.YDpi = LoadLe16(b + 14);
  for (int i = 0; i < 16; ++i) {
    const uint8_t* e = b + kPaletteOffset + 3 * i;
    h.Palette16[i] = {e[0], e[1], e[2]};
  }
  h.Planes = b[65];
  h.BytesPerLine = LoadLe16(b + 66);
  h.PaletteInfo = LoadLe16(b + 68);
  return h;
}

void TPcxHeader::Store(uint8_t* b) const {
  std::memset(b, 0, kSize);
  b[0] = Manufacturer;
  b[1] = Version;
  b[2] = Encoding;
  b[3] = BitsPerPlane;
  StoreLe16(b + 4, XMin);
  StoreLe16(b + 6, YMin);
  StoreLe16(b + 8, XMax);
  StoreLe16(b + 10, YMax);
  StoreLe16(b + 12, XDpi);
  StoreLe16(b + 14, YDpi);
  for (int i = 0; i < 16; ++i) {
    uint8_t* e = b + kPaletteOffset + 3 * i;
    e[0] = Palette16[i].Red;
    e[1] = Palette16[i].Green;
    e[2] = Palette16[i].Blue;
  }
  b[65] = Planes;
  StoreLe16(b + 66, BytesPerLine);
  StoreLe16(b + 68, PaletteInfo);
}

int TPcxHeader::BitsPerPixel() const {
  if (BitsPerPlane == 1 && Planes == 1) return 1;
  if (BitsPerPlane == 1 && Planes == 4) return 4;
  if (BitsPerPlane == 4 && Planes == 1) return 4;
  if (BitsPerPlane == 8 && Planes == 1) return 8;
  if (BitsPerPlane == 8 && Planes == 3) return 24;
  return 0;
}

size_t TPcxHeader::PlaneRowBytes() const {
  return (static_cast<size_t>(Width()) * BitsPerPlane + 7) / 8;
}

void TPcxHeader::Check() const {
  if (Manufacturer != kManufacturer) BmodFail(TBmodError::NotPcx);
  if (Version == 4 || Version > 5) BmodFail(TBmodError::PcxVersion);
  if (Encoding != kRunLengthEncoding) BmodFail(TBmodError::PcxEncoding);
  if (BitsPerPixel() == 0) BmodFail(TBmodError::PcxPlanes);
  if (Width() <= 0 || Height() <= 0) BmodFail(TBmodError::BadSize);
  if (BytesPerLine < PlaneRowBytes()) BmodFail(TBmodError::PcxBytesPerLine);
}

} // namespace kestrel
