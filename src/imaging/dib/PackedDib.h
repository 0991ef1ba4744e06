#pragma once
// Device-independent bitmaps held in memory rather than in a .bmp file: an info header, its
// bit-field masks and colour table, then the pixels, as icons and metafile records carry them.
// Reading goes through the .bmp reader, so every variant it knows is known here and every check
// it makes is made here.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kestrel {

class TBitmap;

// Bytes the info header, its masks and its colour table take in front of the pixels; 0 when dib
// does not start with an info header we read (or is shorter than what its header announces).
size_t PackedDibInfoLength(std::span<const uint8_t> dib);

// Bytes of the pixels of an uncompressed DIB with this header (0 when compressed or unknown).
uint64_t PackedDibPixelBytes(std::span<const uint8_t> info);

// Reads a DIB whose header and colour table are info and whose pixels are bits into bitmap;
// raises EInvalidGraphic as the .bmp reader does.
void ReadPackedDib(std::span<const uint8_t> info, std::span<const uint8_t> bits, TBitmap& bitmap);

} // namespace kestrel
