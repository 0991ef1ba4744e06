#include "imaging/icon/IcoFile.h"

#include "imaging/binary/ByteReader.h"
#include "imaging/binary/ByteWriter.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/dib/PackedDib.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kestrel {

namespace {

constexpr const char* kTruncated = "Icon file truncated";
constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int kMaxIconSide = 256;
constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

[[noreturn]] void Fail(const std::string& message) {
  throw EInvalidGraphic(message);
}

uint32_t BigEndian32(std::span<const uint8_t> p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

void CheckSize(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) Fail("Invalid icon image size");
  if (!ImageLimits::Fits(width, height, 32))
    Fail(formatMessage("Icon image of %lld x %lld pixels exceeds the memory limit",
                       static_cast<long long>(width), static_cast<long long>(height)));
}

bool IsPng(std::span<const uint8_t> data) {
  return data.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), data.begin());
}

int PngChannels(unsigned colorType) {
  switch (colorType) {
  case 0:
  case 3:
    return 1;
  case 2:
    return 3;
  case 4:
    return 2;
  case 6:
    return 4;
  default:
    return 0;
  }
}

// Size and depth from the IHDR chunk; palette entries from PLTE when it comes before the data.
void ReadPngHeader(std::span<const uint8_t> data, TIcoEntry& entry) {
  TByteReader r(data, kTruncated);
  r.Skip(kPngSignature.size());
  const auto length = BigEndian32(r.Bytes(4));
  const auto type = r.Bytes(4);
  if (length != 13 || std::memcmp(type.data(), "IHDR", 4) != 0)
    Fail("Damaged PNG image in icon file");
  const uint32_t width = BigEndian32(r.Bytes(4)), height = BigEndian32(r.Bytes(4));
  const unsigned depth = r.U8(), colorType = r.U8();
  CheckSize(width, height);
  const int channels = PngChannels(colorType);
  if (channels == 0 || depth == 0 || depth > 16) Fail("Damaged PNG image in icon file");
  entry.Png = true;
  entry.Width = static_cast<int>(width);
  entry.Height = static_cast<int>(height);
  entry.BitsPerPixel = static_cast<int>(depth) * channels;
  // Chunks: length, type, data, CRC.
  size_t pos = kPngSignature.size() + 12 + length;
  while (pos <= data.size() && data.size() - pos >= 8) {
    const uint32_t size = BigEndian32(data.subspan(pos, 4));
    const auto name = data.subspan(pos + 4, 4);
    if (std::memcmp(name.data(), "PLTE", 4) == 0) entry.PaletteEntries = static_cast<int>(size / 3);
    if (std::memcmp(name.data(), "IDAT", 4) == 0 || std::memcmp(name.data(), "IEND", 4) == 0) break;
    if (size > data.size()) break;
    pos += 12 + size;
  }
}

// The layout of a bitmap entry: header and colour table, colour rows, mask rows.
struct TDibLayout {
  size_t InfoLength = 0;
  uint64_t ColorStride = 0;
  uint64_t MaskStride = 0;
  uint64_t ColorBytes = 0;
  uint64_t MaskBytes = 0;
  bool HasMask = false;
};

TDibLayout ReadDibHeader(std::span<const uint8_t> data, TIcoEntry& entry) {
  TByteReader r(data, kTruncated);
  const uint32_t headerSize = r.U32();
  if (headerSize < kInfoHeaderSize) Fail("Unsupported icon image header");
  const int32_t width = r.I32();
  const int32_t doubledHeight = r.I32();
  r.Skip(2);
  const int bits = r.U16();
  const uint32_t compression = r.U32();
  // The height covers the colour rows and the mask rows.
  CheckSize(width, doubledHeight / 2);
  switch (bits) {
  case 1:
  case 4:
  case 8:
  case 16:
  case 24:
  case 32:
    break;
  default:
    Fail(formatMessage("Unsupported icon image depth (%d bits)", bits));
  }
  if (compression != 0 && !(compression == 3 && bits >= 16))
    Fail("Compressed icon images are not supported");
  TDibLayout layout;
  layout.InfoLength = PackedDibInfoLength(data);
  if (layout.InfoLength == 0) Fail(kTruncated);
  entry.Width = width;
  entry.Height = doubledHeight / 2;
  entry.BitsPerPixel = bits;
  // A table longer than the depth needs is read, but only its first entries can be used.
  entry.PaletteEntries =
      bits <= 8
          ? static_cast<int>(std::min<size_t>((layout.InfoLength - headerSize) / 4, 1u << bits))
          : 0;
  layout.ColorStride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  layout.MaskStride = (static_cast<uint64_t>(width) + 31) / 32 * 4;
  layout.ColorBytes = layout.ColorStride * static_cast<uint64_t>(entry.Height);
  layout.MaskBytes = layout.MaskStride * static_cast<uint64_t>(entry.Height);
  const uint64_t available = data.size() - layout.InfoLength;
  if (layout.ColorBytes > available) Fail(kTruncated);
  layout.HasMask = layout.ColorBytes + layout.MaskBytes <= available;
  // 32-bit images carry alpha, and some writers leave their mask out.
  if (!layout.HasMask && bits != 32) Fail(kTruncated);
  return layout;
}

std::span<const uint8_t> EntryData(std::span<const uint8_t> file, const TIcoEntry& entry) {
  return file.subspan(entry.Offset, entry.Size);
}

QImage DecodePng(std::span<const uint8_t> data, const TIcoEntry& entry) {
  QImage image;
  if (!image.loadFromData(data.data(), static_cast<int>(data.size()), "PNG") ||
      image.width() != entry.Width || image.height() != entry.Height)
    Fail("Damaged PNG image in icon file");
  return image.convertToFormat(QImage::Format_ARGB32);
}

QImage DecodeDib(std::span<const uint8_t> data, TIcoEntry entry) {
  const TDibLayout layout = ReadDibHeader(data, entry);
  // The colour rows alone form a plain DIB of half the stored height.
  std::vector<uint8_t> info(data.begin(), data.begin() + static_cast<ptrdiff_t>(layout.InfoLength));
  TByteWriter patch;
  patch.Bytes() = std::move(info);
  patch.Patch32(8, static_cast<uint32_t>(entry.Height));
  patch.Patch32(20, 0);
  TBitmap color;
  const size_t colorStart = layout.InfoLength;
  ReadPackedDib(patch.Bytes(), data.subspan(colorStart, layout.ColorBytes), color);

  const int w = entry.Width, h = entry.Height;
  QImage image(w, h, QImage::Format_ARGB32);
  if (image.isNull()) Fail("Out of memory");
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x)
      line[x] = 0xFF000000u | color.PixelColor(x, y);
  }
  // Rows are stored bottom-up.
  auto storedRow = [&](size_t start, uint64_t stride, int y) {
    return data.data() + start + stride * static_cast<uint64_t>(h - 1 - y);
  };
  bool alphaUsed = false;
  if (entry.BitsPerPixel == 32) {
    for (int y = 0; y < h && !alphaUsed; ++y)
      for (int x = 0; x < w && !alphaUsed; ++x)
        alphaUsed = storedRow(colorStart, layout.ColorStride, y)[4 * x + 3] != 0;
  }
  if (alphaUsed) {
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = storedRow(colorStart, layout.ColorStride, y);
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < w; ++x)
        line[x] = (line[x] & 0xFFFFFFu) | static_cast<QRgb>(row[4 * x + 3]) << 24;
    }
  } else if (layout.HasMask) {
    const size_t maskStart = colorStart + layout.ColorBytes;
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = storedRow(maskStart, layout.MaskStride, y);
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < w; ++x)
        if (row[x >> 3] >> (7 - (x & 7)) & 1) line[x] &= 0xFFFFFFu;
    }
  }
  return image;
}

} // namespace

std::vector<TIcoEntry> ReadIcoDirectory(std::span<const uint8_t> file) {
  if (file.size() < kDirectorySize) Fail("Not an icon file");
  TByteReader r(file, kTruncated);
  const uint16_t reserved = r.U16(), type = r.U16(), count = r.U16();
  // Type 2 is a cursor, which has the same layout.
  if (reserved != 0 || (type != 1 && type != 2)) Fail("Not an icon file");
  if (count == 0) Fail("The icon file holds no images");
  std::vector<TIcoEntry> entries(count);
  for (TIcoEntry& entry : entries) {
    r.Skip(8);
    entry.Size = r.U32();
    entry.Offset = r.U32();
    if (entry.Offset > file.size() || entry.Size > file.size() - entry.Offset)
      Fail("Icon image outside the file");
  }
  for (TIcoEntry& entry : entries) {
    const auto data = EntryData(file, entry);
    if (IsPng(data))
      ReadPngHeader(data, entry);
    else
      ReadDibHeader(data, entry);
  }
  return entries;
}

int ShownIcoEntry(const std::vector<TIcoEntry>& entries) {
  int best = -1;
  for (size_t i = 0; i < entries.size(); ++i) {
    const TIcoEntry& e = entries[i];
    if (best >= 0) {
      const TIcoEntry& b = entries[static_cast<size_t>(best)];
      const int64_t area = int64_t(e.Width) * e.Height, bestArea = int64_t(b.Width) * b.Height;
      if (area < bestArea || (area == bestArea && e.BitsPerPixel <= b.BitsPerPixel)) continue;
    }
    best = static_cast<int>(i);
  }
  return best;
}

QImage DecodeIcoEntry(std::span<const uint8_t> file, const TIcoEntry& entry) {
  if (entry.Offset > file.size() || entry.Size > file.size() - entry.Offset)
    Fail("Icon image outside the file");
  const auto data = EntryData(file, entry);
  return entry.Png ? DecodePng(data, entry) : DecodeDib(data, entry);
}

std::vector<uint8_t> WriteIcoFile(const TBitmap& color, const TBitmap& mask) {
  const int w = color.Width(), h = color.Height();
  if (color.Empty()) Fail("Cannot write an empty icon");
  if (w > kMaxIconSide || h > kMaxIconSide) Fail("An icon is at most 256 x 256 pixels");
  if (mask.Width() != w || mask.Height() != h) Fail("The icon mask does not fit its image");
  const int bits = color.BitsPerPixel() <= 8 ? color.BitsPerPixel() : 24;
  const int entries = bits <= 8 ? 1 << bits : 0;
  const uint32_t colorStride = static_cast<uint32_t>((w * bits + 31) / 32 * 4);
  const uint32_t maskStride = static_cast<uint32_t>((w + 31) / 32 * 4);
  const uint32_t pixelBytes = (colorStride + maskStride) * static_cast<uint32_t>(h);
  const uint32_t imageSize = kInfoHeaderSize + 4 * static_cast<uint32_t>(entries) + pixelBytes;

  TByteWriter out;
  out.U16(0);
  out.U16(1);
  out.U16(1);
  out.U8(static_cast<unsigned>(w) & 0xFF); // 256 is written as 0
  out.U8(static_cast<unsigned>(h) & 0xFF);
  out.U8(static_cast<unsigned>(entries) & 0xFF);
  out.U8(0);
  out.U16(1);
  out.U16(static_cast<unsigned>(bits));
  out.U32(imageSize);
  out.U32(kDirectorySize + kEntrySize);

  out.U32(kInfoHeaderSize);
  out.I32(w);
  out.I32(2 * h);
  out.U16(1);
  out.U16(static_cast<unsigned>(bits));
  out.U32(0);
  out.U32(pixelBytes);
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.U32(0);
  const TPalette& palette = color.OwnPalette();
  for (int i = 0; i < entries; ++i) {
    const TPaletteEntry e = i < palette.Count() ? palette[i] : TPaletteEntry{};
    out.U8(e.Blue);
    out.U8(e.Green);
    out.U8(e.Red);
    out.U8(0);
  }
  std::vector<uint8_t> row(colorStride);
  for (int y = h - 1; y >= 0; --y) {
    std::fill(row.begin(), row.end(), 0);
    for (int x = 0; x < w; ++x) {
      if (bits <= 8) {
        PixelRows::SetIndex(row.data(), x, bits, PixelRows::GetIndex(color.ScanLine(y), x, bits));
      } else {
        const TPixelColor c = color.PixelColor(x, y);
        PixelRows::Write(row.data(), 24, x, 1, &c, nullptr);
      }
    }
    out.Append(row);
  }
  row.assign(maskStride, 0);
  for (int y = h - 1; y >= 0; --y) {
    std::fill(row.begin(), row.end(), 0);
    for (int x = 0; x < w; ++x)
      PixelRows::SetIndex(row.data(), x, 1, mask.PixelColor(x, y) != 0 ? 1 : 0);
    out.Append(row);
  }
  return std::move(out.Bytes());
}

} // namespace kestrel
