#include "imaging/core/BitmapReducer.h"

#include "imaging/core/Exceptions.h"

#include <mutex>

namespace kestrel {

namespace {

std::mutex reducerMutex;

TBitmapReducer& InstalledReducer() {
  static TBitmapReducer reducer;
  return reducer;
}

} // namespace

void SetBitmapReducer(TBitmapReducer reducer) {
  std::lock_guard lock(reducerMutex);
  InstalledReducer() = std::move(reducer);
}

bool HasBitmapReducer() {
  std::lock_guard lock(reducerMutex);
  return static_cast<bool>(InstalledReducer());
}

std::unique_ptr<TBitmap> ReduceBitmap(const TBitmap& source, int mode, int ditherMode, int bits,
                                      const TPalette& customPalette) {
  TBitmapReducer reducer;
  {
    std::lock_guard lock(reducerMutex);
    reducer = InstalledReducer();
  }
  if (!reducer) throw EInvalidGraphic("Colour reduction is not available");
  return reducer(source, mode, ditherMode, bits, customPalette);
}

} // namespace kestrel
