#pragma once
// Encoding JPEG bytes with libjpeg, for TJPEGImage.

#include "imaging/jpeg/JpegImage.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

class TBitmap;

struct TJpegEncodeOptions {
  int Quality = TJPEGImage::kDefaultQuality;
  bool Progressive = false;
  TJPEGPerformance Performance = jpBestQuality;
  bool Grayscale = false;
};

// Encodes bitmap (any pixel format); greyscale output when asked for or when every colour of a
// palette bitmap is grey. Resolution goes into the JFIF header as dots per inch.
std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, const TJpegEncodeOptions& options);

} // namespace kestrel
