#include "processing/colour/DibRows.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/gif/GIFException.h"

#include <cstdlib>
#include <exception>

namespace kestrel {

namespace {

[[noreturn]] void RowOutOfRange() {
  throw EInvalidGraphicOperation("Scan line index out of range");
}

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

constexpr int kFileHeaderSize = 14, kInfoHeaderSize = 40;

} // namespace

TDIBReader::TDIBReader(const TBitmap& bitmap, TPixelFormat format)
    : TDIB(format), bitmap_(bitmap), width_(bitmap.Width()), height_(bitmap.Height()) {
  if (format == pfCustom) throw EInvalidGraphic("Invalid pixel format");
  const int bits = PixelFormatBits(format);
  if (bitmap.Empty() || bitmap.BitsPerPixel() == bits) return;
  if (bits <= 8) {
    copy_ = std::make_unique<TBitmap>();
    copy_->Assign(&bitmap);
    copy_->SetPixelFormat(format);
    return;
  }
  if (!converted_.Allocate(width_, height_, bits, TRowOrder::TopDown))
    throw EInvalidGraphic(
        formatMessage("Bitmap of %d x %d pixels exceeds the memory limit", width_, height_));
  std::vector<TPixelColor> colors(static_cast<size_t>(width_));
  for (int y = 0; y < height_; ++y) {
    PixelRows::Read(bitmap.ScanLine(y), bitmap.BitsPerPixel(), 0, width_, bitmap.ColorTable(),
                    colors.data());
    PixelRows::Write(converted_.Row(y), bits, 0, width_, colors.data(), nullptr);
  }
}

TDIBReader::~TDIBReader() = default;

const uint8_t* TDIBReader::ScanLine(int row) const {
  if (row < 0 || row >= height_) RowOutOfRange();
  if (copy_) return std::as_const(*copy_).ScanLine(row);
  if (!converted_.Empty()) return converted_.Row(row);
  return bitmap_.ScanLine(row);
}

TDIBWriter::TDIBWriter(TBitmap& bitmap, const TPalette& palette, int height, int width,
                       TPixelFormat format)
    : TDIB(format), bitmap_(bitmap), palette_(palette), width_(width), height_(height) {
  if (format != pf8bit && format != pf24bit) throw GIFException("Unsupported PixelFormat");
  if (width <= 0 || height == 0) throw GIFException("Invalid image dimensions");
}

TDIBWriter::~TDIBWriter() {
  if (committed_ || std::uncaught_exceptions() > 0) return;
  try {
    Commit();
  } catch (...) {
    // A destructor cannot report; callers that must know call Commit themselves.
  }
}

void TDIBWriter::Allocate() {
  const int bits = PixelFormatBits(PixelFormat());
  const int64_t rows = std::abs(static_cast<int64_t>(height_));
  auto stride = ImageLimits::PaddedStride(width_, bits);
  auto pixels = stride ? ImageLimits::PixelBytes(width_, rows, bits) : std::nullopt;
  if (!pixels) throw GIFException("Failed to allocate memory for GIF DIB");
  stride_ = static_cast<int64_t>(*stride);
  dataOffset_ = kFileHeaderSize + kInfoHeaderSize + (bits == 8 ? 256 * 4 : 0);
  try {
    file_.assign(static_cast<size_t>(dataOffset_) + *pixels, 0);
  } catch (const std::bad_alloc&) {
    throw GIFException("Failed to allocate memory for GIF DIB");
  }
}

uint8_t* TDIBWriter::ScanLine(int row) {
  if (committed_) throw GIFException("Image has no DIB");
  const int rows = std::abs(height_);
  if (row < 0 || row >= rows) RowOutOfRange();
  if (file_.empty()) Allocate();
  // A positive height keeps the rows bottom-up, as a .bmp file does.
  const int64_t line = height_ > 0 ? rows - 1 - row : row;
  return file_.data() + dataOffset_ + line * stride_;
}

void TDIBWriter::Commit() {
  if (committed_) throw GIFException("Image has no DIB");
  if (file_.empty()) Allocate();
  const int bits = PixelFormatBits(PixelFormat());
  uint8_t* p = file_.data();
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, static_cast<uint32_t>(file_.size()));
  Put32(p + 10, static_cast<uint32_t>(dataOffset_));
  uint8_t* info = p + kFileHeaderSize;
  Put32(info, kInfoHeaderSize);
  Put32(info + 4, static_cast<uint32_t>(width_));
  Put32(info + 8, static_cast<uint32_t>(height_));
  Put16(info + 12, 1);
  Put16(info + 14, static_cast<uint32_t>(bits));
  Put32(info + 20, static_cast<uint32_t>(file_.size() - dataOffset_));
  if (bits == 8) {
    Put32(info + 32, 256);
    Put32(info + 36, static_cast<uint32_t>(palette_.Count()));
    uint8_t* table = info + kInfoHeaderSize;
    for (int i = 0; i < palette_.Count(); ++i) {
      table[4 * i] = palette_[i].Blue;
      table[4 * i + 1] = palette_[i].Green;
      table[4 * i + 2] = palette_[i].Red;
    }
  }
  committed_ = true;
  TMemoryStream stream(std::move(file_));
  file_.clear();
  bitmap_.LoadFromStream(stream);
}

} // namespace kestrel
