#include "app/save/DepthCode.h"

#include "imaging/core/DibGraphic.h"
#include "imaging/gif/GIFImage.h"
#include "imaging/jpeg/JpegImage.h"

namespace kestrel {

int DepthCodeOf(TPixelFormat format) {
  switch (format) {
  case pfDevice:
    return kDepthCodeDevice;
  case pf1bit:
    return kDepthCode1;
  case pf4bit:
    return kDepthCode4;
  case pf8bit:
    return kDepthCode8;
  case pf15bit:
    return kDepthCode15;
  case pf16bit:
    return kDepthCode16;
  case pf24bit:
    return kDepthCode24;
  case pf32bit:
    return kDepthCode32;
  case pfCustom:
    break;
  }
  return 8;
}

int DepthCodeOf(const TGraphic& graphic) {
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic))
    return DepthCodeOf(bitmap->PixelFormat());
  if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic))
    return jpeg->PixelFormat() == jf8Bit ? kDepthCode8 : kDepthCode24;
  if (const auto* gif = dynamic_cast<const TGIFImage*>(&graphic)) {
    const int bits = gif->BitsPerPixel();
    return bits <= 1 ? kDepthCode1 : bits <= 4 ? kDepthCode4 : kDepthCode8;
  }
  if (const auto* dib = dynamic_cast<const TDibGraphic*>(&graphic)) {
    switch (dib->ImageFormat()) {
    case ifBlackWhite:
      return kDepthCode1;
    case ifGray256:
    case ifColor256:
      return kDepthCode8;
    case ifTrueColor:
      return kDepthCode24;
    default:
      return kDepthCode4;
    }
  }
  return kDepthCodeDevice;
}

TPixelFormat PixelFormatOfDepthCode(int depthCode) {
  return depthCode == kDepthCode4 ? pf4bit : depthCode == kDepthCode8 ? pf8bit : pf24bit;
}

} // namespace kestrel
