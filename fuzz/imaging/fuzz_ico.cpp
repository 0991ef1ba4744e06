// Icon files: reading, transparent drawing, and the icon picture of the image library.

#include "FuzzSetup.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"
#include "imaging/icon/Icon.h"
#include "imaging/icon/IconGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrel;
  fuzz::SetUpOnce();
  try {
    TIcon icon;
    TSpanStream stream(data, size);
    icon.LoadFromStream(stream);
    TBitmap canvas(64, 64, pf8bit);
    canvas.Canvas().StretchDraw({0, 0, 64, 64}, icon);
    TIconGraphic picture;
    stream.SetPosition(0);
    picture.LoadFromStream(stream);
    TMemoryStream written;
    picture.SaveToStream(written);
  } catch (const Exception&) {
  }
  return 0;
}
