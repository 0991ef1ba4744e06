// Fuzzes the TIFF reader: page count, information, and the first two pages, as the viewer and
// kestrel-tool read them. Only the codec's own errors may come out.

#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/tiff/TiffGraphic.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Small pictures keep each run fast; the limit checks are the same at any size.
  kestrel::ImageLimits::SetMaxBytes(64 << 20);
  kestrel::TSpanStream stream(data, size);
  kestrel::TTiffGraphic picture;
  try {
    picture.ReadInfo(stream);
  } catch (const kestrel::Exception&) {
  }
  for (int page = 1; page <= 2; ++page) {
    try {
      stream.SetPosition(0);
      picture.SingleLoadFromStream(stream, page);
    } catch (const kestrel::Exception&) {
    }
  }
  return 0;
}
