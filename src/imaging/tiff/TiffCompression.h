#pragma once
// The compression kinds a TIFF picture is saved with, and the Compression tags a file may carry.
//
// | kind | name                | tag written | T4Options | rows per strip | formats        |
// | 0    | "None"              | 1           |           | 16             | all            |
// | 1    | "Packbits"          | 32773       |           | 16             | all            |
// | 2    | "CCITT Group 3, 1D" | 3           | 0         | 256            | black and white|
// | 3    | "CCITT Group 3, 2D" | 3           | 1         | 256            | black and white|
// | 4    | "CCITT Group 4"     | 4           |           | 256            | black and white|
// | 5    | "ZLib"              | 32946       |           | 16             | all            |
// | 6    | "JPEG"              | 7           |           | 8              | 256 greys, true colour
// | Any other kind value is written as kind 0.

#include "imaging/core/ImageFormat.h"

#include <cstdint>
#include <optional>

namespace kestrel {

enum TTiffCompression : uint8_t {
  tcNone = 0,
  tcPackbits = 1,
  tcGroup3OneD = 2,
  tcGroup3TwoD = 3,
  tcGroup4 = 4,
  tcZLib = 5,
  tcJpeg = 6,
};

struct TTiffCompressionKind {
  const char* Name;
  uint16_t Tag;
  std::optional<uint32_t> T4Options;
  uint32_t RowsPerStrip;
};

// The row of the table a kind is written by (kind 0's for values outside the table).
const TTiffCompressionKind& TiffCompressionKind(TTiffCompression kind);
// Whether pictures of format may be saved with kind (kinds outside the table: always).
bool TiffCompressionAccepts(TTiffCompression kind, TImageFormat format);
// The fax kinds, whose black-and-white rows are written with zero as white.
bool IsFaxCompression(TTiffCompression kind);

// The kind a file's Compression tag (and T4Options, for tag 3) stands for: 1 none, 2 and 32771
// Group 3 1-D, 3 Group 3 (2-D when T4Options bit 0 is set), 4 Group 4, 7 JPEG, 32773 Packbits,
// 32946 ZLib; nothing for any other tag.
std::optional<TTiffCompression> TiffCompressionOfTag(uint16_t tag, uint32_t t4Options);

} // namespace kestrel
