#pragma once
// The writer options a save remembers for the rest of the run, reused by saves that do not ask.
// They start at what each option window offers first.

#include "imaging/tiff/CompressionChoices.h"

namespace kestrel {

// The JPEG options window's save part.
struct TJpegSaveOptions {
  static constexpr int kDefaultQuality = 85;
  int Quality = kDefaultQuality; // 1..100
  bool Progressive = false;
};

// What the compression window returned: the result code (-1 when cancelled) and, for the BMP and
// PNG uses, the chosen depth as a depth code (2, 3 or 6).
struct TCompressAnswer {
  int Result = TCompressChoices::kCancelled;
  int DepthCode = kDepthCode24;
};

struct TSaveSettings {
  TCompressAnswer Bitmap{0, kDepthCode24}; // the palette choice and the depth
  TCompressAnswer Png{0, kDepthCode24};    // the compression level and the depth
  int TiffCompression = 0;                 // "No Compression"
  TJpegSaveOptions Jpeg;
};

} // namespace kestrel
