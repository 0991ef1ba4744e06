#pragma once
// .bmp files: reading every common variant into a TBitmap and writing the plain forms.
//
// Read: file header "BM"; info headers of 12 (core), 16 and 64 (extended core), 40, 52, 56, 108
// and 124 bytes; 1, 2, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, RLE8, RLE4 and bit fields
// (three or four masks); bottom-up and top-down rows; colour tables of 3- or 4-byte entries.
// 2-bit pictures become pf4bit; 16-bit pictures with the 5-5-5 or 5-6-5 layout stay pf15bit /
// pf16bit, 32-bit pictures with the standard layout pf32bit; other bit fields are converted to
// pf32bit. Every field is checked against the data and against ImageLimits before anything is
// allocated; a damaged file raises EInvalidGraphic with the reason, never more.
//
// Written: a 40-byte info header, bottom-up and uncompressed: 1/4/8 bits with the palette, 16 bits
// 5-5-5 plainly and 5-6-5 with its three masks, 24 and 32 bits plainly (pfDevice as 32); a
// direct-colour bitmap's palette is written as its colour table.

#include "imaging/core/PixelStorage.h"

#include <cstdint>
#include <vector>

namespace kestrel {

class TBitmap;
class TStream;

struct TBmpHeader {
  int64_t Start = 0;       // stream position of the "BM"
  uint32_t HeaderSize = 0; // of the info header
  int Width = 0;
  int Height = 0; // always positive
  bool TopDown = false;
  int BitCount = 0;
  uint32_t Compression = 0; // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields, 6 bit fields with alpha
  uint32_t Masks[4] = {};   // red, green, blue, alpha (bit fields)
  int PaletteEntries = 0;   // colour-table entries read (at most 256)
  int PaletteEntrySize = 4; // 3 for the 12-byte header
  int64_t PaletteOffset = 0;
  int64_t PixelOffset = 0; // from Start
  int64_t PixelBytes = 0;  // bytes of pixel data available from PixelOffset
  int32_t XPelsPerMeter = 0;
  int32_t YPelsPerMeter = 0;
};

// Reads and checks the headers at the stream's position (the stream is left after them).
TBmpHeader ReadBmpHeader(TStream& stream);
// Reads a .bmp file at the stream's position into bitmap (replacing it only on success).
void ReadBmpFile(TStream& stream, TBitmap& bitmap);
// Writes bitmap as a .bmp file at the stream's position.
void WriteBmpFile(TStream& stream, const TBitmap& bitmap);
// Everything of bitmap's .bmp file before its pixels, as WriteBmpFile writes it, for rows stored
// in order (a top-down file has a negative height): a top-down bitmap's storage is then the file's
// pixel data byte for byte, padding included. Raises EInvalidGraphic for an empty bitmap or one
// too large for the format.
std::vector<uint8_t> BmpHeaderBytes(const TBitmap& bitmap, TRowOrder order);

} // namespace kestrel
