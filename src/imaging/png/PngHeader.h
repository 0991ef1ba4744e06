#pragma once
// The PNG signature and IHDR chunk, read and checked before libpng sees the file, so that a
// refused variant gets its own message and a huge picture is refused before anything is allocated.

#include "imaging/core/DibPalette.h"
#include "imaging/core/ImageFormat.h"

#include <cstdint>

namespace kestrel {

class TStream;

struct TPngHeader {
  uint32_t Width = 0;
  uint32_t Height = 0;
  int BitDepth = 0;
  int ColorType = 0;
  int Interlace = 0;
};

// Reads the signature and the IHDR chunk at the stream's position and leaves the stream just after
// the signature. Raises EPNGError "PNG file is not valid or corrupted" without a signature or an
// IHDR first, then the checks of CheckPngHeader.
TPngHeader ReadPngHeader(TStream& stream);

// Refuses what the reader cannot show: a bit depth or colour type outside the table ("Invalid bit
// depth", "Invalid color type for bit depth"), an interlace method other than 0 or 1 ("Interlace
// type not valid"), a zero or over-long side, and a picture that passes the memory limit.
void CheckPngHeader(const TPngHeader& header);

// The image format a (bit depth, colour type) pair reads into.
TImageFormat PngImageFormat(int bitDepth, int colorType);

// How a picture is written: bit depth and colour type (0 grey, 2 RGB, 3 palette).
struct TPngLayout {
  int BitDepth = 8;
  int ColorType = 2;
};
// The layout of a format. Grey formats are written as grey only while their palette is the
// format's plain ramp (black to white); otherwise as a palette image of the same depth.
TPngLayout PngLayoutOf(TImageFormat format, const TDibPalette& palette);

} // namespace kestrel
