#include "imaging/bmp/BmpFile.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace kestrel {

namespace {

constexpr int64_t kFileHeaderSize = 14;
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
// The largest resolution the dots-per-inch view can hold (65535 dpi).
constexpr int32_t kMaxPelsPerMeter = 2580118;

template <class... Args> [[noreturn]] void Fail(const char* format, Args... args) {
  if constexpr (sizeof...(Args) == 0)
    throw EInvalidGraphic(format);
  else
    throw EInvalidGraphic(formatMessage(format, args...));
}

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void Put16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void ReadExactly(TStream& stream, void* buffer, int64_t count) {
  if (count > 0 && stream.Read(buffer, count) != count) Fail("Bitmap file truncated");
}

bool IsKnownHeaderSize(uint32_t size) {
  switch (size) {
  case 12:
  case 16:
  case 40:
  case 52:
  case 56:
  case 64:
  case 108:
  case 124:
    return true;
  default:
    return false;
  }
}

// The 16- and 64-byte headers are the extended core header, whose compression codes 3 and 4 mean
// other things.
bool IsExtendedCore(uint32_t size) {
  return size == 16 || size == 64;
}

void CheckCompression(TBmpHeader& h) {
  switch (h.Compression) {
  case kRgb:
    return;
  case kRle8:
    if (h.BitCount != 8) Fail("RLE8 compression needs 8 bits per pixel");
    return;
  case kRle4:
    if (h.BitCount != 4) Fail("RLE4 compression needs 4 bits per pixel");
    return;
  case kBitFields:
    if (IsExtendedCore(h.HeaderSize)) Fail("Huffman-coded bitmaps are not supported");
    [[fallthrough]];
  case kAlphaBitFields:
    if (h.BitCount != 16 && h.BitCount != 32) Fail("Bit fields need 16 or 32 bits per pixel");
    return;
  case 4:
  case 5:
    Fail("Bitmaps holding JPEG or PNG data are not supported");
  default:
    Fail("Unsupported bitmap compression (%u)", h.Compression);
  }
}

void ReadMasks(TStream& stream, TBmpHeader& h, const uint8_t* info, int64_t& extraBytes) {
  const bool fields = h.Compression == kBitFields || h.Compression == kAlphaBitFields;
  if (!fields) {
    if (h.BitCount == 16) {
      h.Masks[0] = 0x7C00, h.Masks[1] = 0x03E0, h.Masks[2] = 0x001F;
    } else if (h.BitCount == 32) {
      h.Masks[0] = 0xFF0000, h.Masks[1] = 0x00FF00, h.Masks[2] = 0x0000FF;
    }
    return;
  }
  const int count = h.Compression == kAlphaBitFields ? 4 : 3;
  uint8_t bytes[16] = {};
  if (h.HeaderSize >= 40 + 4u * count) {
    std::memcpy(bytes, info + 40, 4u * count);
  } else {
    // The masks follow a short header.
    ReadExactly(stream, bytes, 4 * count);
    extraBytes = 4 * count;
  }
  for (int i = 0; i < count; ++i)
    h.Masks[i] = U32(bytes + 4 * i);
  const uint32_t limit = h.BitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  if ((h.Masks[0] | h.Masks[1] | h.Masks[2]) == 0) Fail("Invalid bit fields");
  for (int i = 0; i < count; ++i)
    if (h.Masks[i] > limit) Fail("Invalid bit fields");
}

// Bits per pixel the picture takes in memory.
int StoredBits(const TBmpHeader& h) {
  if (h.BitCount == 2) return 4;
  if (h.BitCount == 16) {
    const bool plain555 = h.Masks[0] == 0x7C00 && h.Masks[1] == 0x03E0 && h.Masks[2] == 0x001F;
    const bool plain565 = h.Masks[0] == 0xF800 && h.Masks[1] == 0x07E0 && h.Masks[2] == 0x001F;
    return plain555 ? 15 : plain565 ? 16 : 32;
  }
  return h.BitCount;
}

bool IsStandard32(const TBmpHeader& h) {
  return h.BitCount == 32 && h.Masks[0] == 0xFF0000 && h.Masks[1] == 0xFF00 && h.Masks[2] == 0xFF;
}

int64_t FileStride(int width, int bitCount) {
  return (static_cast<int64_t>(width) * bitCount + 31) / 32 * 4;
}

// A channel of a bit-field pixel widened to 8 bits.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;
  explicit TChannel(uint32_t mask) : Mask(mask) {
    if (!mask) return;
    Shift = std::countr_zero(mask);
    Bits = std::bit_width(mask >> Shift);
  }
  uint32_t Value(uint32_t pixel) const {
    if (!Bits) return 0;
    const uint32_t v = (pixel & Mask) >> Shift;
    if (Bits >= 8) return v >> (Bits - 8);
    const uint32_t max = (1u << Bits) - 1;
    return (v * 255 + max / 2) / max;
  }
};

void ConvertBitFieldsRow(const TBmpHeader& h, const uint8_t* from, uint8_t* to) {
  const TChannel red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]);
  auto* out = reinterpret_cast<uint32_t*>(to);
  for (int x = 0; x < h.Width; ++x) {
    const uint32_t pixel = h.BitCount == 16 ? U16(from + 2 * x) : U32(from + 4 * x);
    out[x] = 0xFF000000u | red.Value(pixel) << 16 | green.Value(pixel) << 8 | blue.Value(pixel);
  }
}

void ExpandTwoBitRow(const uint8_t* from, uint8_t* to, int width) {
  for (int x = 0; x < width; ++x)
    PixelRows::SetIndex(to, x, 4, from[x >> 2] >> (6 - 2 * (x & 3)) & 3);
}

// The fourth byte of 32-bit pixels, which files leave free, is 0xFF in memory.
void SetOpaque(uint8_t* row, int width) {
  auto* p = reinterpret_cast<uint32_t*>(row);
  for (int x = 0; x < width; ++x)
    p[x] |= 0xFF000000u;
}

void SetOpaque(TPixelStorage& storage) {
  for (int r = 0; r < storage.Height(); ++r)
    SetOpaque(storage.Row(r), storage.Width());
}

void ReadUncompressed(TStream& stream, const TBmpHeader& h, TPixelStorage& storage) {
  const int64_t stride = FileStride(h.Width, h.BitCount);
  const int stored = storage.BitsPerPixel();
  const bool raw = (stored == h.BitCount && (h.BitCount != 32 || IsStandard32(h))) ||
                   (stored == 15 && h.BitCount == 16);
  const bool opaque = stored == 32 && IsStandard32(h);
  if (raw && h.TopDown) {
    // The file's rows are the storage's own, in its order: one read fills it.
    ReadExactly(stream, storage.Row(0), stride * h.Height);
    if (opaque) SetOpaque(storage);
    return;
  }
  std::vector<uint8_t> line(raw ? 0 : static_cast<size_t>(stride));
  for (int r = 0; r < h.Height; ++r) {
    uint8_t* row = storage.Row(h.TopDown ? r : h.Height - 1 - r);
    if (raw) {
      ReadExactly(stream, row, stride);
      if (opaque) SetOpaque(row, h.Width);
      continue;
    }
    ReadExactly(stream, line.data(), stride);
    if (h.BitCount == 2)
      ExpandTwoBitRow(line.data(), row, h.Width);
    else
      ConvertBitFieldsRow(h, line.data(), row);
  }
}

// Run-length data, bottom-up. Runs that leave the picture are refused; pixels the data skips
// keep index 0.
class TRleDecoder {
public:
  TRleDecoder(const TBmpHeader& h, TPixelStorage& storage, std::vector<uint8_t> data)
      : h_(h), storage_(storage), data_(std::move(data)) {}

  void Decode() {
    while (true) {
      if (Left() < 2) {
        // Some writers stop after the last line without the end-of-bitmap code.
        if (y_ >= h_.Height) return;
        Fail("Bitmap file truncated");
      }
      const uint8_t count = data_[pos_], value = data_[pos_ + 1];
      pos_ += 2;
      if (count > 0) {
        Run(count, value);
        continue;
      }
      switch (value) {
      case 0: // end of line
        x_ = 0;
        ++y_;
        break;
      case 1: // end of bitmap
        return;
      case 2: // delta
        if (Left() < 2) Fail("Bitmap file truncated");
        x_ += data_[pos_];
        y_ += data_[pos_ + 1];
        pos_ += 2;
        if (x_ > h_.Width || y_ > h_.Height || (y_ == h_.Height && x_ > 0))
          Fail("Invalid run-length data: a move leaves the picture");
        break;
      default:
        Literal(value);
      }
    }
  }

private:
  size_t Left() const { return data_.size() - pos_; }

  uint8_t* Target(int count) {
    if (y_ >= h_.Height || x_ + count > h_.Width)
      Fail("Invalid run-length data: a run leaves the picture");
    return storage_.Row(h_.Height - 1 - y_);
  }

  void Run(int count, uint8_t value) {
    uint8_t* row = Target(count);
    for (int i = 0; i < count; ++i, ++x_) {
      const int index = h_.BitCount == 8 ? value : (i & 1) ? value & 0x0F : value >> 4;
      PixelRows::SetIndex(row, x_, h_.BitCount, index);
    }
  }

  void Literal(int count) {
    const size_t bytes = h_.BitCount == 8 ? count : (count + 1) / 2;
    const size_t padded = (bytes + 1) & ~size_t(1);
    if (Left() < bytes) Fail("Bitmap file truncated");
    uint8_t* row = Target(count);
    const uint8_t* from = data_.data() + pos_;
    for (int i = 0; i < count; ++i, ++x_) {
      const int index = h_.BitCount == 8 ? from[i] : PixelRows::GetIndex(from, i, 4);
      PixelRows::SetIndex(row, x_, h_.BitCount, index);
    }
    pos_ += std::min(padded, Left());
  }

  const TBmpHeader& h_;
  TPixelStorage& storage_;
  std::vector<uint8_t> data_;
  size_t pos_ = 0;
  int x_ = 0;
  int y_ = 0;
};

void CheckIndices(const TBmpHeader& h, const TPixelStorage& storage) {
  const int bits = storage.BitsPerPixel();
  if (bits > 8 || h.PaletteEntries >= (1 << std::min(h.BitCount, 8))) return;
  for (int y = 0; y < h.Height; ++y) {
    const uint8_t* row = storage.Row(y);
    for (int x = 0; x < h.Width; ++x)
      if (PixelRows::GetIndex(row, x, bits) >= h.PaletteEntries)
        Fail("Pixel index outside the colour table");
  }
}

TPalette ReadPalette(TStream& stream, const TBmpHeader& h) {
  TPalette palette = TPalette::Black(h.PaletteEntries);
  std::vector<uint8_t> bytes(static_cast<size_t>(h.PaletteEntries) * h.PaletteEntrySize);
  stream.SetPosition(h.PaletteOffset);
  ReadExactly(stream, bytes.data(), static_cast<int64_t>(bytes.size()));
  for (int i = 0; i < h.PaletteEntries; ++i) {
    const uint8_t* e = bytes.data() + static_cast<size_t>(i) * h.PaletteEntrySize;
    palette[i] = {e[2], e[1], e[0], 0};
  }
  return palette;
}

// Copies a stored row into a file row: padding and the unused fourth byte of 32 bits are zero.
void FileRow(const uint8_t* from, uint8_t* to, int width, int bits, size_t stride) {
  std::memset(to, 0, stride);
  const size_t full = static_cast<size_t>(width) * (bits == 15 ? 16 : bits) / 8;
  std::memcpy(to, from, full);
  if (bits < 8 && width * bits % 8) {
    const int used = width * bits % 8;
    to[full] = static_cast<uint8_t>(from[full] & (0xFF00 >> used));
  }
  if (bits == 32)
    for (int x = 0; x < width; ++x)
      to[4 * x + 3] = 0;
}

} // namespace

TBmpHeader ReadBmpHeader(TStream& stream) {
  TBmpHeader h;
  h.Start = stream.Position();
  const int64_t available = stream.Size() - h.Start;
  uint8_t file[kFileHeaderSize];
  ReadExactly(stream, file, kFileHeaderSize);
  if (file[0] != 'B' || file[1] != 'M') Fail("Not a bitmap file");
  const uint32_t fileSize = U32(file + 2);
  const uint32_t pixelOffset = U32(file + 10);
  if (fileSize > available)
    Fail("Bitmap file truncated: the header gives %u bytes, the file has %lld", fileSize,
         static_cast<long long>(available));

  uint8_t info[124] = {};
  ReadExactly(stream, info, 4);
  h.HeaderSize = U32(info);
  if (!IsKnownHeaderSize(h.HeaderSize)) Fail("Unsupported bitmap header size (%u)", h.HeaderSize);
  ReadExactly(stream, info + 4, h.HeaderSize - 4);
  int32_t height = 0;
  unsigned planes = 0;
  uint32_t colorsUsed = 0, imageSize = 0;
  if (h.HeaderSize == 12) {
    h.Width = U16(info + 4);
    height = U16(info + 6);
    planes = U16(info + 8);
    h.BitCount = U16(info + 10);
    h.PaletteEntrySize = 3;
  } else {
    h.Width = static_cast<int32_t>(U32(info + 4));
    height = static_cast<int32_t>(U32(info + 8));
    planes = U16(info + 12);
    h.BitCount = U16(info + 14);
    h.Compression = U32(info + 16);
    imageSize = U32(info + 20);
    h.XPelsPerMeter = static_cast<int32_t>(U32(info + 24));
    h.YPelsPerMeter = static_cast<int32_t>(U32(info + 28));
    colorsUsed = U32(info + 32);
  }
  if (planes != 1) Fail("Invalid number of colour planes (%u)", planes);
  switch (h.BitCount) {
  case 1:
  case 2:
  case 4:
  case 8:
  case 16:
  case 24:
  case 32:
    break;
  case 0:
    Fail("Bitmaps holding JPEG or PNG data are not supported");
  default:
    Fail("Invalid bit count (%d)", h.BitCount);
  }
  CheckCompression(h);
  if (h.Width <= 0) Fail("Invalid bitmap width (%d)", h.Width);
  if (height == 0 || height == INT32_MIN) Fail("Invalid bitmap height (%d)", height);
  h.TopDown = height < 0;
  h.Height = h.TopDown ? -height : height;
  if (h.TopDown && (h.Compression == kRle4 || h.Compression == kRle8))
    Fail("A top-down bitmap cannot be run-length coded");
  if (h.XPelsPerMeter < 0 || h.YPelsPerMeter < 0 || h.XPelsPerMeter > kMaxPelsPerMeter ||
      h.YPelsPerMeter > kMaxPelsPerMeter)
    Fail("Invalid resolution (%d x %d pixels per metre)", h.XPelsPerMeter, h.YPelsPerMeter);

  int64_t maskBytes = 0;
  ReadMasks(stream, h, info, maskBytes);
  if (!ImageLimits::Fits(h.Width, h.Height, StoredBits(h)))
    Fail("Bitmap of %d x %d pixels exceeds the memory limit", h.Width, h.Height);

  // The colour table follows the headers (and masks).
  const int64_t tableStart = kFileHeaderSize + h.HeaderSize + maskBytes;
  int64_t entries = colorsUsed;
  if (h.BitCount <= 8 && colorsUsed == 0) {
    entries = int64_t(1) << h.BitCount;
    // The core header has no count: a table cut short by the pixel offset is what the writer meant.
    if (h.HeaderSize == 12 && pixelOffset >= tableStart)
      entries = std::min<int64_t>(entries, (pixelOffset - tableStart) / h.PaletteEntrySize);
  }
  const int64_t tableEnd = tableStart + entries * h.PaletteEntrySize;
  if (tableEnd > available)
    Fail("Colour table larger than the file (%lld entries)", (long long)entries);
  h.PixelOffset = pixelOffset ? pixelOffset : tableEnd;
  if (h.PixelOffset < tableEnd) Fail("Pixel data offset inside the headers (%u)", pixelOffset);
  if (h.PixelOffset > available) Fail("Bitmap file truncated");
  h.PaletteOffset = h.Start + tableStart;
  h.PaletteEntries = static_cast<int>(std::min<int64_t>(
      entries, h.BitCount <= 8 ? int64_t(1) << h.BitCount : TPalette::kMaxEntries));

  h.PixelBytes = available - h.PixelOffset;
  if (imageSize > h.PixelBytes) Fail("Invalid image data size (%u bytes)", imageSize);
  if (h.Compression == kRle4 || h.Compression == kRle8) {
    if (imageSize) h.PixelBytes = imageSize;
  } else if (FileStride(h.Width, h.BitCount) * h.Height > h.PixelBytes) {
    Fail("Bitmap file truncated");
  }
  return h;
}

void ReadBmpFile(TStream& stream, TBitmap& bitmap) {
  const TBmpHeader h = ReadBmpHeader(stream);
  const int stored = StoredBits(h);
  TPalette palette = ReadPalette(stream, h);
  if (h.BitCount > 8 && bitmap.IgnorePalette()) palette = TPalette();
  const bool rle = h.Compression == kRle4 || h.Compression == kRle8;
  TPixelStorage storage;
  if (!storage.Allocate(h.Width, h.Height, stored, TRowOrder::TopDown))
    Fail("Bitmap of %d x %d pixels exceeds the memory limit", h.Width, h.Height);
  stream.SetPosition(h.Start + h.PixelOffset);
  if (rle) {
    std::vector<uint8_t> data(static_cast<size_t>(h.PixelBytes));
    ReadExactly(stream, data.data(), h.PixelBytes);
    TRleDecoder(h, storage, std::move(data)).Decode();
  } else {
    ReadUncompressed(stream, h, storage);
  }
  CheckIndices(h, storage);
  bitmap.ReplaceStorage(std::move(storage), PixelFormatOfBits(stored), palette);
  bitmap.SetPelsPerMeter(h.XPelsPerMeter, h.YPelsPerMeter);
}

std::vector<uint8_t> BmpHeaderBytes(const TBitmap& bitmap, TRowOrder order) {
  if (bitmap.Empty()) throw EInvalidGraphic("Cannot write an empty bitmap");
  const TPixelStorage& storage = bitmap.Storage();
  const int bits = storage.BitsPerPixel();
  const int fileBits = bits == 15 ? 16 : bits;
  const bool masks = bits == 16;
  const TPalette& palette = bitmap.OwnPalette();
  const int entries = bits > 8 && bitmap.IgnorePalette() ? 0 : palette.Count();
  const uint64_t stride = static_cast<uint64_t>(FileStride(storage.Width(), fileBits));
  const uint64_t imageSize = stride * static_cast<uint64_t>(storage.Height());
  const uint64_t offset = kFileHeaderSize + 40 + (masks ? 12 : 0) + 4 * entries;
  if (offset + imageSize > 0xFFFFFFFFu) throw EInvalidGraphic("Bitmap too large for a file");
  const int height = order == TRowOrder::TopDown ? -storage.Height() : storage.Height();

  std::vector<uint8_t> head;
  head.push_back('B');
  head.push_back('M');
  Put32(head, static_cast<uint32_t>(offset + imageSize));
  Put32(head, 0);
  Put32(head, static_cast<uint32_t>(offset));
  Put32(head, 40);
  Put32(head, static_cast<uint32_t>(storage.Width()));
  Put32(head, static_cast<uint32_t>(height));
  Put16(head, 1);
  Put16(head, static_cast<unsigned>(fileBits));
  Put32(head, masks ? kBitFields : kRgb);
  Put32(head, static_cast<uint32_t>(imageSize));
  Put32(head, static_cast<uint32_t>(bitmap.XPelsPerMeter()));
  Put32(head, static_cast<uint32_t>(bitmap.YPelsPerMeter()));
  Put32(head, static_cast<uint32_t>(entries));
  Put32(head, 0);
  if (masks) {
    Put32(head, 0xF800);
    Put32(head, 0x07E0);
    Put32(head, 0x001F);
  }
  for (int i = 0; i < entries; ++i) {
    head.push_back(palette[i].Blue);
    head.push_back(palette[i].Green);
    head.push_back(palette[i].Red);
    head.push_back(0);
  }
  return head;
}

void WriteBmpFile(TStream& stream, const TBitmap& bitmap) {
  const std::vector<uint8_t> head = BmpHeaderBytes(bitmap, TRowOrder::BottomUp);
  stream.WriteBuffer(head.data(), static_cast<int64_t>(head.size()));
  const TPixelStorage& storage = bitmap.Storage();
  const int bits = storage.BitsPerPixel();
  const auto stride = static_cast<size_t>(storage.BytesPerLine());
  std::vector<uint8_t> row(stride);
  for (int y = storage.Height() - 1; y >= 0; --y) {
    FileRow(storage.Row(y), row.data(), storage.Width(), bits, row.size());
    stream.WriteBuffer(row.data(), static_cast<int64_t>(row.size()));
  }
}

} // namespace kestrel
