#pragma once
// The bitmap module's PC Paintbrush coder (extension "pcx").
//
// Reading: the header (PcxHeader.h); the palette: 1 bit black and white (the header's palette is
// not used), 4 bits the header's 16 entries, 8 bits the trailer (the file's last 769 bytes: 0x0C,
// then 256 red, green, blue triples); then the lines from offset 128, top row first, each plane
// line bytes-per-line long (bytes beyond the row are dropped). Four 1-bit planes give bit k of
// each pixel from plane k; three 8-bit planes are red, green, blue.
//
// Writing: version 5, one plane of 1, 4 or 8 bits or three 8-bit planes for true colour, bytes
// per line rounded up to an even count, each plane line coded on its own, the resolution at
// offsets 12 and 14, and for 8 bits the palette trailer. A 1-bit picture whose entry 1 is darker
// than entry 0 is written inverted, so that a 1 in the file is always the brighter colour.

#include "imaging/bmod/BitmapModule.h"

namespace kestrel {

class TPcxFormat : public TBmodFormat {
public:
  std::unique_ptr<TBmodReader> ReadHeader(TBmodFile& file,
                                          const std::string& options) const override;
  void Write(TBmodFile& file, const std::string& options, const TBmodBitmap& bitmap) const override;
};

} // namespace kestrel
