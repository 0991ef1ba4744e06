#pragma once
// .ico files: a directory of images of one picture at several sizes and depths. Each image is
// either a device-independent bitmap (colour rows of 1, 4, 8, 16, 24 or 32 bits followed by a
// 1-bit AND mask whose set bits are transparent; 32-bit rows carry their own alpha) or a complete
// PNG file. Every entry's size and depth are read from its own header, not from the directory,
// which writers often fill carelessly.

#include <QImage>

#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

class TBitmap;

struct TIcoEntry {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;   // of the colour data (a PNG entry: bit depth times channels)
  int PaletteEntries = 0; // colour-table entries, 0 for none
  bool Png = false;
  uint32_t Offset = 0; // of the image data in the file
  uint32_t Size = 0;
};

// Reads and checks the directory and every entry's header; raises EInvalidGraphic on a damaged
// file. Nothing is decoded.
std::vector<TIcoEntry> ReadIcoDirectory(std::span<const uint8_t> file);

// The entry a viewer shows: the largest, and of equal sizes the deepest (the first of equals).
int ShownIcoEntry(const std::vector<TIcoEntry>& entries);

// Decodes an entry of file into a 32-bit image with alpha (QImage::Format_ARGB32); raises
// EInvalidGraphic.
QImage DecodeIcoEntry(std::span<const uint8_t> file, const TIcoEntry& entry);

// A file of one image made from color (1, 4 and 8 bits are written with their palette, deeper
// formats as 24 bits) and mask (same size; pixels that are not black are transparent: AND bit
// set). Raises EInvalidGraphic for an empty picture or one larger than 256 x 256.
std::vector<uint8_t> WriteIcoFile(const TBitmap& color, const TBitmap& mask);

} // namespace kestrel
