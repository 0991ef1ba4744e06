#include "imaging/pcx/PcxCodec.h"

#include "imaging/bmod/BmodInput.h"
#include "imaging/bmod/BmodOutput.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/pcx/PcxHeader.h"
#include "imaging/pcx/PcxRunDecoder.h"
#include "imaging/pcx/PcxRunEncoder.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

constexpr int64_t kDataOffset = TPcxHeader::kSize;
constexpr int64_t kTrailerSize = 1 + 256 * 3;
constexpr uint8_t kTrailerMark = 0x0C;
// One count byte and its value give at most 63 bytes.
constexpr uint64_t kMaxRun = 63;

TBmodRgb PaletteColor(const std::vector<TBmodRgb>& palette, size_t index) {
  return index < palette.size() ? palette[index] : TBmodRgb{};
}

int Brightness(const TBmodRgb& c) {
  return 30 * c.Red + 60 * c.Green + 10 * c.Blue;
}

// Pixels from four bit planes: plane k gives bit k of each pixel's nibble.
void MergeBitPlanes(const uint8_t* lines, size_t bytesPerLine, int width, uint8_t* row) {
  std::memset(row, 0, (static_cast<size_t>(width) + 1) / 2);
  for (int x = 0; x < width; ++x) {
    const size_t byte = static_cast<size_t>(x) >> 3;
    const int shift = 7 - (x & 7);
    unsigned nibble = 0;
    for (int k = 0; k < 4; ++k)
      nibble |= ((lines[k * bytesPerLine + byte] >> shift) & 1u) << k;
    row[x >> 1] |= static_cast<uint8_t>((x & 1) ? nibble : nibble << 4);
  }
}

// True-colour pixels from red, green and blue plane lines.
void MergeColorPlanes(const uint8_t* lines, size_t bytesPerLine, int width, uint8_t* row) {
  const uint8_t* red = lines;
  const uint8_t* green = lines + bytesPerLine;
  const uint8_t* blue = lines + 2 * bytesPerLine;
  for (int x = 0; x < width; ++x, row += 3) {
    row[0] = blue[x];
    row[1] = green[x];
    row[2] = red[x];
  }
}

class TPcxReader : public TBmodReader {
public:
  explicit TPcxReader(TBmodFile& file) : file_(file) {
    uint8_t bytes[TPcxHeader::kReadSize];
    if (!file.ReadAt(0, bytes, sizeof bytes)) BmodFail(TBmodError::EndOfData);
    pcx_ = TPcxHeader::Parse(bytes);
    pcx_.Check();
    header_.Width = pcx_.Width();
    header_.Height = pcx_.Height();
    header_.BitsPerPixel = pcx_.BitsPerPixel();
    header_.HasResolution = true;
    header_.XDpi = pcx_.XDpi;
    header_.YDpi = pcx_.YDpi;
    ReadPalette();
  }

  bool DataCanHold() override {
    const int64_t end = dataEnd_ >= 0 ? dataEnd_ : file_.Size();
    const uint64_t available = end > kDataOffset ? static_cast<uint64_t>(end - kDataOffset) : 0;
    const uint64_t decoded =
        static_cast<uint64_t>(header_.Height) * pcx_.Planes * pcx_.BytesPerLine;
    const auto most = CheckedMul(available, kMaxRun);
    return !most || decoded <= *most / 2;
  }

  void ReadData(TBmodBitmap& target) override {
    TBmodInput input(file_, kDataOffset, dataEnd_);
    TPcxRunDecoder decoder(input);
    const size_t bytesPerLine = pcx_.BytesPerLine;
    if (pcx_.Planes == 1) {
      const size_t rowBytes = pcx_.PlaneRowBytes();
      for (int row = 0; row < target.Height; ++row)
        if (!decoder.Decode(target.Row(row), rowBytes) ||
            !decoder.Decode(nullptr, bytesPerLine - rowBytes))
          BmodFail(TBmodError::EndOfData);
      return;
    }
    std::vector<uint8_t> lines(pcx_.Planes * bytesPerLine);
    for (int row = 0; row < target.Height; ++row) {
      if (!decoder.Decode(lines.data(), lines.size())) BmodFail(TBmodError::EndOfData);
      if (pcx_.Planes == 4)
        MergeBitPlanes(lines.data(), bytesPerLine, target.Width, target.Row(row));
      else
        MergeColorPlanes(lines.data(), bytesPerLine, target.Width, target.Row(row));
    }
  }

private:
  void ReadPalette() {
    switch (header_.BitsPerPixel) {
    case 1:
      header_.Palette = {{0, 0, 0}, {255, 255, 255}};
      break;
    case 4:
      header_.Palette.assign(pcx_.Palette16.begin(), pcx_.Palette16.end());
      break;
    case 8:
      ReadTrailer();
      break;
    }
  }

  void ReadTrailer() {
    const int64_t size = file_.Size();
    if (size < kDataOffset + kTrailerSize) BmodFail(TBmodError::PcxTrailer);
    uint8_t trailer[kTrailerSize];
    if (!file_.ReadAt(size - kTrailerSize, trailer, kTrailerSize) || trailer[0] != kTrailerMark)
      BmodFail(TBmodError::PcxTrailer);
    header_.Palette.resize(256);
    for (int i = 0; i < 256; ++i)
      header_.Palette[i] = {trailer[1 + 3 * i], trailer[2 + 3 * i], trailer[3 + 3 * i]};
    dataEnd_ = size - kTrailerSize;
  }

  TBmodFile& file_;
  TPcxHeader pcx_;
  int64_t dataEnd_ = -1; // the trailer's start for 8 bits
};

TPcxHeader WrittenHeader(const TBmodBitmap& bitmap) {
  const int bits = bitmap.BitsPerPixel;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) BmodFail(TBmodError::UnsupportedBitmap);
  if (bitmap.Width > 0x10000 || bitmap.Height > 0x10000) BmodFail(TBmodError::ImageTooLarge);
  TPcxHeader h;
  h.BitsPerPlane = static_cast<uint8_t>(bits == 24 ? 8 : bits);
  h.Planes = static_cast<uint8_t>(bits == 24 ? 3 : 1);
  h.XMax = static_cast<uint16_t>(bitmap.Width - 1);
  h.YMax = static_cast<uint16_t>(bitmap.Height - 1);
  size_t bytesPerLine = h.PlaneRowBytes();
  bytesPerLine += bytesPerLine & 1;
  if (bytesPerLine > 0xFFFF) BmodFail(TBmodError::ImageTooLarge);
  h.BytesPerLine = static_cast<uint16_t>(bytesPerLine);
  if (bitmap.HasResolution) {
    h.XDpi = bitmap.XDpi;
    h.YDpi = bitmap.YDpi;
  }
  if (bits == 4)
    for (size_t i = 0; i < h.Palette16.size(); ++i)
      h.Palette16[i] = PaletteColor(bitmap.Palette, i);
  return h;
}

// Clears the bits of the last byte that lie beyond the width (1 and 4 bits per pixel).
void ClearTail(uint8_t* line, int width, int bits) {
  const int used = (width * bits) & 7;
  if (bits < 8 && used) line[(width * bits) >> 3] &= static_cast<uint8_t>(0xFF << (8 - used));
}

class TPcxWriter {
public:
  TPcxWriter(TBmodFile& file, const TBmodBitmap& bitmap)
      : bitmap_(bitmap), header_(WrittenHeader(bitmap)), output_(file),
        line_(header_.BytesPerLine) {}

  void Write() {
    uint8_t bytes[TPcxHeader::kSize];
    header_.Store(bytes);
    output_.Put(bytes, sizeof bytes);
    const bool invert =
        bitmap_.BitsPerPixel == 1 &&
        Brightness(PaletteColor(bitmap_.Palette, 1)) < Brightness(PaletteColor(bitmap_.Palette, 0));
    for (int row = 0; row < bitmap_.Height; ++row) {
      if (bitmap_.BitsPerPixel == 24)
        WriteColorPlanes(bitmap_.Row(row));
      else
        WriteIndexLine(bitmap_.Row(row), invert);
      output_.FlushIfFull();
    }
    if (bitmap_.BitsPerPixel == 8) WriteTrailer();
    output_.Flush();
  }

private:
  void WriteIndexLine(const uint8_t* row, bool invert) {
    const size_t rowBytes = bitmap_.RowBytes();
    std::memcpy(line_.data(), row, rowBytes);
    if (invert)
      for (size_t i = 0; i < rowBytes; ++i)
        line_[i] = static_cast<uint8_t>(~line_[i]);
    ClearTail(line_.data(), bitmap_.Width, bitmap_.BitsPerPixel);
    EncodePcxLine(line_.data(), line_.size(), output_.Buffer());
  }

  void WriteColorPlanes(const uint8_t* row) {
    for (int plane = 0; plane < 3; ++plane) {
      const uint8_t* channel = row + 2 - plane; // red, green, blue
      for (int x = 0; x < bitmap_.Width; ++x)
        line_[x] = channel[3 * x];
      EncodePcxLine(line_.data(), line_.size(), output_.Buffer());
    }
  }

  void WriteTrailer() {
    std::vector<uint8_t>& out = output_.Buffer();
    out.push_back(kTrailerMark);
    for (size_t i = 0; i < 256; ++i) {
      const TBmodRgb c = PaletteColor(bitmap_.Palette, i);
      out.insert(out.end(), {c.Red, c.Green, c.Blue});
    }
  }

  const TBmodBitmap& bitmap_;
  TPcxHeader header_;
  TBmodOutput output_;
  std::vector<uint8_t> line_; // one plane line, zero beyond the row
};

const TBmodRegistration<TPcxFormat> registration("pcx");

} // namespace

std::unique_ptr<TBmodReader> TPcxFormat::ReadHeader(TBmodFile& file, const std::string&) const {
  return std::make_unique<TPcxReader>(file);
}

void TPcxFormat::Write(TBmodFile& file, const std::string&, const TBmodBitmap& bitmap) const {
  TPcxWriter(file, bitmap).Write();
}

} // namespace kestrel
