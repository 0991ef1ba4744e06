#pragma once
// Decoding JPEG bytes with libjpeg, for TJPEGImage.

#include "imaging/jpeg/JpegImage.h"

#include <cstdint>
#include <span>
#include <string>

namespace kestrel {

class TBitmap;

// Reads the header of data and the size it decodes to at scale. Raises EJpegError for data that
// is no JPEG, has no image, or whose stored or decoded picture passes the memory limit.
TJpegHeader ReadJpegHeader(std::span<const uint8_t> data, TJPEGScale scale);

struct TJpegDecodeOptions {
  TJPEGScale Scale = jsFullSize;
  TJPEGPixelFormat PixelFormat = jf24Bit;
  bool Grayscale = false;
  TJPEGPerformance Performance = jpBestQuality;
};

// Decodes data into bitmap (see JpegImage.h for the formats). Returns what libjpeg warned about,
// or the error that stopped it after some rows (the rest is then mid-grey); "" for a clean
// decode. Raises EJpegError when it fails before the first row.
std::string DecodeJpeg(std::span<const uint8_t> data, const TJpegDecodeOptions& options,
                       TBitmap& bitmap);

} // namespace kestrel
