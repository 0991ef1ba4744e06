#pragma once
// Common part of the two GIF pixel encoders: writes the code-size byte, walks the pixels in coding
// order, packs the variable-length codes into data sub-blocks and ends them with the end code and
// the zero-length block. The encoders differ only in which codes they choose.

#include "imaging/gif/GIFPixelWalk.h"
#include "imaging/gif/GIFStream.h"

#include <cstdint>
#include <optional>

namespace kestrel {

class TGIFEncoder {
public:
  TGIFEncoder() = default;
  TGIFEncoder(const TGIFEncoder&) = delete;
  TGIFEncoder& operator=(const TGIFEncoder&) = delete;
  virtual ~TGIFEncoder() = default;

  // Writes one frame's image data: the code size (bitsPerPixel 1..8, raised to at least 2), the
  // coded sub-blocks and the terminator. pixels holds width x height bytes, each below
  // colorCount; a pixel that is not raises GIFException "Color not in color table".
  void Encode(TStream& stream, int bitsPerPixel, int colorCount, const uint8_t* pixels,
              bool interlaced, int64_t height, int64_t width);

  TGIFWarning OnWarning;

protected:
  virtual void Compress() = 0;

  // Appends code with the current code size; the end code also pushes out the last partial byte.
  // Whole bytes go to the writer four at a time, which gives the same byte stream.
  void Output(int code) {
    bits_ |= static_cast<uint64_t>(code) << bitCount_;
    bitCount_ += codeSize_;
    if (bitCount_ >= 32) {
      writer_->Put4(static_cast<uint32_t>(bits_));
      bits_ >>= 32;
      bitCount_ -= 32;
    }
    if (code == endCode_) {
      for (; bitCount_ > 0; bitCount_ -= 8, bits_ >>= 8)
        writer_->Put(static_cast<uint8_t>(bits_));
      bits_ = 0;
      bitCount_ = 0;
    }
  }
  // Sends the clear code and notes that the decoder's table is now empty.
  void Clear() {
    justCleared_ = true;
    Output(clearCode_);
  }
  // The next stretch of pixels in coding order, or false when all have been sent.
  bool NextPixels(const uint8_t*& data, int64_t& count);
  // Raises "Color not in color table" for a pixel outside the frame's colour table.
  void CheckColor(uint8_t pixel) const {
    if (pixel >= colorCount_) ColorNotInTable();
  }
  // The same for a stretch of pixels at once, before any of them is coded.
  void CheckColors(const uint8_t* data, int64_t count) const;
  [[noreturn]] static void ColorNotInTable();

  int codeSizeWritten_ = 0; // the code size byte (at least 2)
  int initialCodeSize_ = 0; // codeSizeWritten_ + 1
  int codeSize_ = 0;
  int maxCode_ = 0;
  int clearCode_ = 0;
  int endCode_ = 0;
  int baseCode_ = 0; // the first free code after a clear
  bool justCleared_ = false;

private:
  int colorCount_ = 0;
  const uint8_t* pixels_ = nullptr;
  std::optional<TGIFPixelWalk> walk_;
  TGIFWriter* writer_ = nullptr;
  uint64_t bits_ = 0;
  int bitCount_ = 0;
};

} // namespace kestrel
