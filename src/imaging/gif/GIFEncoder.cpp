#include "imaging/gif/GIFEncoder.h"

#include "imaging/gif/GIFException.h"

#include <algorithm>

namespace kestrel {

void TGIFEncoder::ColorNotInTable() {
  throw GIFException("Color not in color table");
}

void TGIFEncoder::CheckColors(const uint8_t* data, int64_t count) const {
  if (colorCount_ > 255) return;
  // A branch-free maximum, which the compiler turns into vector code.
  uint8_t highest = 0;
  for (int64_t i = 0; i < count; ++i)
    highest = std::max(highest, data[i]);
  if (highest >= colorCount_) ColorNotInTable();
}

bool TGIFEncoder::NextPixels(const uint8_t*& data, int64_t& count) {
  int64_t offset = 0;
  if (!walk_->Next(offset, count)) return false;
  data = pixels_ + offset;
  return true;
}

void TGIFEncoder::Encode(TStream& stream, int bitsPerPixel, int colorCount, const uint8_t* pixels,
                         bool interlaced, int64_t height, int64_t width) {
  if (bitsPerPixel < 1 || bitsPerPixel > 8) throw GIFException("Invalid Bits Per Pixel value");
  codeSizeWritten_ = std::max(bitsPerPixel, 2);
  const uint8_t sizeByte = static_cast<uint8_t>(codeSizeWritten_);
  stream.WriteBuffer(&sizeByte, 1);

  initialCodeSize_ = codeSizeWritten_ + 1;
  codeSize_ = initialCodeSize_;
  clearCode_ = 1 << codeSizeWritten_;
  endCode_ = clearCode_ + 1;
  baseCode_ = clearCode_ + 2;
  maxCode_ = (1 << initialCodeSize_) - 1;
  bits_ = 0;
  bitCount_ = 0;
  justCleared_ = false;
  // A pixel at or above the clear code would be read back as a control code.
  colorCount_ = std::min(colorCount, clearCode_);
  pixels_ = pixels;
  walk_.emplace(width, height, interlaced);

  TGIFWriter writer(stream, OnWarning);
  writer_ = &writer;
  if (pixels && width > 0 && height > 0) Compress();
  Output(endCode_);
  writer.Flush();
  writer_ = nullptr;
  const uint8_t terminator = 0;
  stream.WriteBuffer(&terminator, 1);
}

} // namespace kestrel
