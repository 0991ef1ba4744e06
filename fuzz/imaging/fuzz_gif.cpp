// libFuzzer target: the whole-file GIF reader. The header walk and the full load must end in the
// image's own error or a picture; a picture that loads must draw, write, and read back with the
// same frames.

#include "imaging/core/Bitmap.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFImage.h"

#include <cstddef>
#include <cstdint>

using namespace kestrel;

namespace {

bool SameFrames(const TGIFImage& a, const TGIFImage& b) {
  if (a.FrameCount() != b.FrameCount()) return false;
  int j = 0;
  for (const auto& frame : a.Images()) {
    if (frame->Empty()) continue;
    while (b.Images()[j].Empty())
      ++j;
    const TGIFSubImage& other = b.Images()[j++];
    if (frame->BoundsRect() != other.BoundsRect() || frame->Data() != other.Data()) return false;
  }
  return true;
}

} // namespace

// Small pictures only: the fuzzer looks for faults, not for slow large decodes. LZW lets a few
// bytes stand for a large frame, so the limit is lower than for other formats.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ImageLimits::SetMaxBytes(1 << 20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TGIFWarning ignore = [](const void*, TGIFSeverity, const std::string&) {};
  TSpanStream header(data, size);
  try {
    TGIFImage().ReadInfo(header);
  } catch (const GIFException&) {
  }
  TSpanStream input(data, size);
  TGIFImage image;
  image.OnWarning = ignore;
  try {
    image.LoadFromStream(input);
  } catch (const GIFException&) {
    if (!image.Images().Empty()) __builtin_trap();
    return 0;
  }
  try {
    TBitmap first;
    first.Assign(&image);
  } catch (const EInvalidGraphic&) {
    // A logical screen past the memory limit.
  }
  TMemoryStream written;
  try {
    image.SaveToStream(written);
  } catch (const GIFException&) {
    // Pixels outside their colour table, or nothing to write.
    return 0;
  }
  written.SetPosition(0);
  TGIFImage back;
  back.OnWarning = ignore;
  back.LoadFromStream(written);
  if (!SameFrames(image, back)) __builtin_trap();
  return 0;
}
