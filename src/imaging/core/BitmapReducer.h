#pragma once
// The colour reducer the image library calls when a picture of more than 256 colours must become
// a palette picture (a GIF frame made from a true-colour bitmap, a frame dithered onto a colour
// cube). The reducer itself lives in the processing library, which builds on this one; it installs
// itself here when a program that links it starts, so the dependency runs one way only.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Palette.h"

#include <functional>
#include <memory>

namespace kestrel {

// A new 8-bit palette bitmap made from source by the reduction mode and dither mode given by their
// codes, with bits colour bits for the octree modes and customPalette for the custom-palette mode.
using TBitmapReducer = std::function<std::unique_ptr<TBitmap>(
    const TBitmap& source, int mode, int ditherMode, int bits, const TPalette& customPalette)>;

// Installs the reducer (an empty function removes it).
void SetBitmapReducer(TBitmapReducer reducer);
bool HasBitmapReducer();

// Runs the installed reducer. Raises EInvalidGraphic "Colour reduction is not available" when none
// is installed, so a program that forgot to link it fails clearly instead of writing wrong colours.
std::unique_ptr<TBitmap> ReduceBitmap(const TBitmap& source, int mode, int ditherMode, int bits,
                                      const TPalette& customPalette);

} // namespace kestrel
