// Plain and enhanced metafiles: reading, drawing (cut to a small canvas) and conversion to the
// other flavour, whose result must read back.

#include "FuzzSetup.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/metafile/Metafile.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrel;
  fuzz::SetUpOnce();
  TMetafile metafile;
  try {
    TSpanStream stream(data, size);
    metafile.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  TBitmap canvas(std::clamp(metafile.Width(), 1, 256), std::clamp(metafile.Height(), 1, 256),
                 pf24bit);
  canvas.Canvas().StretchDraw({0, 0, metafile.Width(), metafile.Height()}, metafile);
  std::vector<uint8_t> converted;
  try {
    converted = metafile.Encode(!metafile.Enhanced());
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  // Read back under the normal limit: rounding may make the converted picture a little larger.
  try {
    ImageLimits::SetMaxBytes(0);
    TMetafile again;
    TSpanStream stream(converted.data(), converted.size());
    again.LoadFromStream(stream);
  } catch (const Exception&) {
    std::abort(); // the converter wrote what the reader refuses
  }
  ImageLimits::SetMaxBytes(fuzz::kMaxBytes);
  return 0;
}
