#pragma once
// Writes a picture as one TIFF directory: the tags in a fixed order (RowsPerStrip, Compression and
// T4Options, PlanarConfiguration, Software "Zeduzizi Image Library", DateTime
// "yyyy:mm:dd hh:nn:ss" in local time, ResolutionUnit inch, X/YResolution, ImageWidth,
// ImageLength, then BitsPerSample, SamplesPerPixel, Photometric and ColorMap by format), then the
// rows one scan line at a time:
// - black and white: 1 bit, zero black; for the fax kinds zero white with every byte inverted;
// - 16 and 256 greys: 4 or 8 bits, zero black, as stored;
// - 16 and 256 colours: 4 or 8 bits with a colour map (each component c as c * 257, entries past
//   the palette black), as stored;
// - true colour: 8-bit red, green, blue.

#include "imaging/tiff/TiffCompression.h"

namespace kestrel {

class TDibGraphic;
class TTiffFile;

// Raises ETiffError for a refused field or "TIFFWriteScanLine" / "TIFFWriteDirectory" when libtiff
// cannot write.
void WriteTiffPage(TTiffFile& file, const TDibGraphic& picture, TTiffCompression kind);

} // namespace kestrel
