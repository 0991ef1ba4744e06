#pragma once
// The bitmap module's Targa coder (extension "tga").
//
// Reading: the header (TgaHeader.h); the palette: for colour-mapped files 256 entries cleared to
// black with entries first .. first + length - 1 from the map (blue, green, red; entries past 255
// ignored), for grey files a grey ramp; then the rows from the data offset, bottom row first
// unless descriptor bit 5 says top row first. Run-length packets (a header byte h: bit 7 set, the
// next pixel repeated (h & 0x7F) + 1 times, else h + 1 literal pixels) run on from one row into
// the next; decoding stops when the last row is full. A Targa file has no resolution.
//
// Writing: 8-bit pictures as type 1 with a 256-entry, 24-bit map, 24-bit pictures as type 2,
// rows bottom-up, no run-length coding.

#include "imaging/bmod/BitmapModule.h"

namespace kestrel {

class TTgaFormat : public TBmodFormat {
public:
  std::unique_ptr<TBmodReader> ReadHeader(TBmodFile& file,
                                          const std::string& options) const override;
  void Write(TBmodFile& file, const std::string& options, const TBmodBitmap& bitmap) const override;
};

} // namespace kestrel
