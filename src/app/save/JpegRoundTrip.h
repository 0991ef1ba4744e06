#pragma once
// The program's optimised reduction to 256 colours with Floyd-Steinberg dithering: the source is
// compressed as a JPEG at quality 100 with best-quality settings and decoded again with the JPEG
// library's own colour quantiser, which picks the palette and dithers.

#include "imaging/core/Bitmap.h"

#include <memory>

namespace kestrel {

// The source through a JPEG at quality 100: 8 bits per pixel with the quantiser's palette when
// eightBits, else 24 bits.
std::unique_ptr<TBitmap> JpegRoundTrip(const TBitmap& source, bool eightBits);

} // namespace kestrel
