// Hands ReduceToPalette to the image library, whose GIF frames reduce deep bitmaps through it. The
// processing library is linked whole, so this runs in every program that links it.

#include "imaging/core/BitmapReducer.h"
#include "processing/colour/ReduceToPalette.h"

namespace kestrel {

namespace {

const bool installed = [] {
  SetBitmapReducer(&ReduceToPalette);
  return true;
}();

} // namespace

} // namespace kestrel
