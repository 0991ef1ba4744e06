// JPEG reader: any bytes give a picture or EJpegError, at every decoder option (taken from the
// last byte). A small picture that decodes is compressed again.

#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/jpeg/JpegImage.h"

#include <cstddef>
#include <cstdint>

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    ImageLimits::SetMaxBytes(64 << 20); // keeps each run quick; the limit path is fuzzed too
    return true;
  }();
  (void)ready;
  const uint8_t options = size ? data[size - 1] : 0;
  TJPEGImage picture;
  picture.SetScale(static_cast<TJPEGScale>(options & 3));
  picture.SetPixelFormat(options & 4 ? jf8Bit : jf24Bit);
  picture.SetGrayscale(options & 8);
  picture.SetPerformance(options & 16 ? jpBestSpeed : jpBestQuality);
  TSpanStream stream(data, size);
  try {
    picture.LoadFromStream(stream);
    picture.DIBNeeded();
    if (picture.Width() * static_cast<int64_t>(picture.Height()) <= 1 << 14) {
      picture.SetProgressiveEncoding(options & 32);
      picture.Compress();
    }
  } catch (const Exception&) {
  }
  return 0;
}
