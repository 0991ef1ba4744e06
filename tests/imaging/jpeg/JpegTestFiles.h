#pragma once
// Test support for JPEG: photo-like bitmaps, files made with libjpeg directly (any colour space,
// scan script or marker), and picture comparison.

#include "imaging/core/Bitmap.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kestrel {
class TJPEGImage;
}

namespace kestrel::test {

// A 24-bit photo-like bitmap.
std::unique_ptr<TBitmap> PhotoLike(int width, int height);
// A copy of a bitmap.
std::unique_ptr<TBitmap> Copy(const TBitmap& bitmap);

// What BareEncode writes: components samples per pixel, row by row.
struct TBareJpeg {
  int Width = 0;
  int Height = 0;
  int Components = 3;
  int InputSpace = 2;      // libjpeg's J_COLOR_SPACE of the samples (2 RGB, 4 CMYK, 1 grey)
  int FileSpace = 3;       // of the file (3 YCbCr, 4 CMYK, 5 YCCK, 1 grey)
  bool AdobeMarker = true; // for CMYK and YCCK files
  int Quality = 95;
  bool Progressive = false;
  // Progressive only: one component's scans, one coefficient at a time with every refinement
  // step (several hundred scans).
  bool ManyScans = false;
};
std::vector<uint8_t> BareEncode(const TBareJpeg& shape, const std::vector<uint8_t>& samples);

// Peak signal-to-noise ratio of two pictures of the same size (colours as shown), in dB.
double Psnr(const TBitmap& a, const TBitmap& b);
// Mean absolute difference per channel.
double MeanDifference(const TBitmap& a, const TBitmap& b);

// The picture's file bytes.
std::vector<uint8_t> Encoded(TJPEGImage& picture);

} // namespace kestrel::test
