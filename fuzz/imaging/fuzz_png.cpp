// PNG reader: any bytes give a picture or EPNGError. A picture that loads is written again, so
// the writer sees every layout the reader makes.

#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/png/PngGraphic.h"

#include <cstddef>
#include <cstdint>

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    ImageLimits::SetMaxBytes(64 << 20); // keeps each run quick; the limit path is fuzzed too
    TPngGraphic::SetWarningHandler([](const std::string&) {});
    return true;
  }();
  (void)ready;
  TSpanStream stream(data, size);
  TPngGraphic picture;
  picture.UseOwnBackground = size & 1;
  picture.BackgroundColor = clYellow;
  try {
    picture.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  if (picture.Width() * static_cast<int64_t>(picture.Height()) <= 1 << 16) {
    picture.Interlaced = size & 2;
    TMemoryStream out;
    picture.SaveToStream(out);
  }
  return 0;
}
