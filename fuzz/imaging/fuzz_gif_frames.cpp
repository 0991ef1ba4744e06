// libFuzzer target: animations played through. Whatever a file says (the screen's size, disposals,
// delays, loop counts, frames cut short), a painter plays it on a virtual clock and ends: a pass
// or two inside the drawing call, and a timer-driven painter stopped by the image going away.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/gif/GIFClock.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFImage.h"

#include <cstddef>
#include <cstdint>

using namespace kestrel;

// Small pictures only, as for the reader's own target.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ImageLimits::SetMaxBytes(1 << 20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto clock = std::make_shared<TGIFVirtualClock>();
  TGIFClock::SetDefault(clock);
  TSpanStream input(data, size);
  TGIFImage image;
  image.OnWarning = [](const void*, TGIFSeverity, const std::string&) {};
  try {
    image.LoadFromStream(input);
  } catch (const GIFException&) {
    return 0;
  }
  // A target of the screen's size where it fits, else a small one the screen is scaled into.
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  try {
    target.SetSize(image.Width(), image.Height());
  } catch (const EInvalidGraphic&) {
    target.SetSize(16, 16);
  }
  const TRect rect{0, 0, std::max(target.Width(), 1), std::max(target.Height(), 1)};
  int passes = 0;
  image.OnLoop = [&passes](TGIFPainter& painter) {
    if (++passes == 2) painter.Stop();
  };
  image.StartPainter(target.Canvas(), rect, gdAnimate | gdLoop | gdTransparent | gdClearOnPass);
  {
    TGIFImage copy;
    copy.Assign(&image);
    copy.SetDrawOptions(gdAsync | gdAnimate | gdLoop | gdClearOnPass);
    copy.Draw(target.Canvas(), rect);
    clock->Advance(2 * 1000 * 1000);
  }
  if (clock->Pending() != 0) __builtin_trap();
  TGIFClock::SetDefault(nullptr);
  return 0;
}
