#pragma once
// The depth code of a picture, as the save and the compression window use it: 0 device bitmap,
// 1 for 1 bit, 2 for 4 bits, 3 for 8 bits, 4 for 15 bits, 5 for 16 bits, 6 for 24 bits, 7 for
// 32 bits, 8 for other layouts.

#include "imaging/core/Bitmap.h"
#include "imaging/tiff/CompressionChoices.h" // kDepthCode4, kDepthCode8, kDepthCode24

namespace kestrel {

class TGraphic;

constexpr int kDepthCodeDevice = 0;
constexpr int kDepthCode1 = 1;
constexpr int kDepthCode15 = 4;
constexpr int kDepthCode16 = 5;
constexpr int kDepthCode32 = 7;

int DepthCodeOf(TPixelFormat format);
// Of any graphic: device bitmaps by their format; JPEG pictures 6 or 3 by their output; GIF
// pictures 1, 2 (2 to 4 bits) or 3 (5 to 8 bits); image-library pictures 1 for black and white,
// 3 for 256 greys or colours, 6 for true colour and 2 otherwise; anything else 0.
int DepthCodeOf(const TGraphic& graphic);
// The pixel format of the depth codes the compression window returns (2, 3, 6).
TPixelFormat PixelFormatOfDepthCode(int depthCode);
// Sources whose pixels index a palette (1, 4 and 8 bits).
inline bool IsPaletteDepth(int depthCode) {
  return depthCode >= kDepthCode1 && depthCode <= 3;
}

} // namespace kestrel
