#include "imaging/dib/PackedDib.h"

#include "imaging/binary/ByteReader.h"
#include "imaging/binary/ByteWriter.h"
#include "imaging/bmp/BmpFile.h"
#include "imaging/core/Stream.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBitFields = 3, kAlphaBitFields = 6;

struct TDibFields {
  uint32_t HeaderSize = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  unsigned BitCount = 0;
  uint32_t Compression = 0;
  uint32_t ColorsUsed = 0;
};

bool ReadFields(std::span<const uint8_t> dib, TDibFields& f) {
  if (dib.size() < 4) return false;
  TByteReader r(dib, "");
  f.HeaderSize = r.U32();
  if (f.HeaderSize == kCoreHeaderSize && dib.size() >= kCoreHeaderSize) {
    f.Width = r.U16();
    f.Height = r.U16();
    r.Skip(2);
    f.BitCount = r.U16();
    return true;
  }
  if (f.HeaderSize < kInfoHeaderSize || f.HeaderSize > dib.size()) return false;
  f.Width = r.I32();
  f.Height = r.I32();
  r.Skip(2);
  f.BitCount = r.U16();
  f.Compression = r.U32();
  r.Skip(12);
  f.ColorsUsed = r.U32();
  return true;
}

} // namespace

size_t PackedDibInfoLength(std::span<const uint8_t> dib) {
  TDibFields f;
  if (!ReadFields(dib, f)) return 0;
  uint64_t length = f.HeaderSize;
  uint64_t entrySize = 4;
  if (f.HeaderSize == kCoreHeaderSize) {
    entrySize = 3;
  } else if (f.HeaderSize == kInfoHeaderSize) {
    if (f.Compression == kBitFields) length += 12;
    if (f.Compression == kAlphaBitFields) length += 16;
  }
  uint64_t entries = f.ColorsUsed;
  if (entries == 0 && f.BitCount >= 1 && f.BitCount <= 8) entries = uint64_t(1) << f.BitCount;
  length += entries * entrySize;
  return length <= dib.size() ? static_cast<size_t>(length) : 0;
}

uint64_t PackedDibPixelBytes(std::span<const uint8_t> info) {
  TDibFields f;
  if (!ReadFields(info, f) || f.Width <= 0) return 0;
  if (f.Compression != 0 && f.Compression != kBitFields && f.Compression != kAlphaBitFields)
    return 0;
  const uint64_t rows = f.Height < 0 ? -static_cast<int64_t>(f.Height) : f.Height;
  const uint64_t stride = (static_cast<uint64_t>(f.Width) * f.BitCount + 31) / 32 * 4;
  return stride * rows;
}

void ReadPackedDib(std::span<const uint8_t> info, std::span<const uint8_t> bits, TBitmap& bitmap) {
  // A file header in front makes it a .bmp file.
  constexpr uint32_t kFileHeaderSize = 14;
  const uint64_t total = uint64_t(kFileHeaderSize) + info.size() + bits.size();
  if (total > 0xFFFFFFFFu) throw EInvalidGraphic("Bitmap too large");
  TByteWriter file;
  file.U8('B');
  file.U8('M');
  file.U32(static_cast<uint32_t>(total));
  file.U32(0);
  file.U32(static_cast<uint32_t>(kFileHeaderSize + info.size()));
  file.Append(info);
  file.Append(bits);
  TMemoryStream stream(std::move(file.Bytes()));
  ReadBmpFile(stream, bitmap);
}

} // namespace kestrel
