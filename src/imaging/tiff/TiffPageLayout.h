#pragma once
// What a TIFF directory says about its picture and how the codec reads it: size, the picture
// format and palette it becomes, the reading path, resolution and whether the pixels are inverted
// after reading. Reading the layout touches no pixels, so the information call uses it alone.

#include "imaging/core/DibPalette.h"
#include "imaging/core/ImageFormat.h"

#include <cstdint>
#include <optional>

namespace kestrel {

class TTiffFile;

enum class TTiffReadPath {
  Strips,   // strips decoded and their rows copied (samples reordered for true colour)
  Tiles,    // tiles decoded, put side by side and copied as strips are
  FaxLines, // fax pictures, scan line by scan line straight into the rows
  Rgba,     // libtiff's RGBA reading: planes, JPEG, YCbCr, CMYK, deep samples
};

struct TTiffPageLayout {
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint16_t Photometric = 0;
  uint16_t CompressionTag = 0;
  uint16_t BitsPerSample = 0;
  uint16_t SamplesPerPixel = 1;
  int BitCount = 0; // bits per sample x samples per pixel, capped at 24
  TTiffReadPath Path = TTiffReadPath::Strips;
  TImageFormat Format = ifTrueColor;
  std::optional<TDibPalette> Palette; // the file's colour map; none: the format's default
  bool Invert = false;                // zero is white in the file: the negative is taken
  uint16_t XDpi = 0;
  uint16_t YDpi = 0;
};

// Reads the layout of the current directory. Raises ETiffError for a missing required field
// ("TIFFGetField: Tag = <n>"), a bit count other than 1, 4, 8 or 24 ("Unsupported bit count: <n>")
// and a size the memory limit refuses ("Image size <w> x <h> not supported"), and EZeduziziError
// "LZW compression not supported".
TTiffPageLayout ReadTiffPageLayout(const TTiffFile& file);

} // namespace kestrel
