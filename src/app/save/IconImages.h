#pragma once
// The two images an icon is built from when a picture is saved as an icon: a 32 x 32 colour image
// filled with the viewing area's colour, with the picture drawn at (0, 0) at its own size, or
// squeezed to exactly 32 x 32 when it is larger in either direction (the aspect ratio is not
// kept); and a one-bit mask, black (opaque) everywhere. With transparency every pixel of the
// viewing area's colour becomes transparent: black in the colour image, white in the mask.

#include "imaging/core/Bitmap.h"

#include <memory>

namespace kestrel {

constexpr int kSavedIconSize = 32;

struct TIconImages {
  std::unique_ptr<TBitmap> Color; // 24 bits
  std::unique_ptr<TBitmap> Mask;  // 1 bit, white where transparent
};

TIconImages MakeIconImages(const TBitmap& source, TColor frameColor, bool transparent);

} // namespace kestrel
