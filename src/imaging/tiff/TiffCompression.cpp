#include "imaging/tiff/TiffCompression.h"

#include <tiff.h>

namespace kestrel {

namespace {

constexpr TTiffCompressionKind kKinds[] = {
    {"None", COMPRESSION_NONE, std::nullopt, 16},
    {"Packbits", COMPRESSION_PACKBITS, std::nullopt, 16},
    {"CCITT Group 3, 1D", COMPRESSION_CCITTFAX3, 0, 256},
    {"CCITT Group 3, 2D", COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING, 256},
    {"CCITT Group 4", COMPRESSION_CCITTFAX4, std::nullopt, 256},
    {"ZLib", COMPRESSION_DEFLATE, std::nullopt, 16},
    {"JPEG", COMPRESSION_JPEG, std::nullopt, 8},
};

bool InTable(TTiffCompression kind) {
  return kind <= tcJpeg;
}

} // namespace

const TTiffCompressionKind& TiffCompressionKind(TTiffCompression kind) {
  return kKinds[InTable(kind) ? kind : tcNone];
}

bool IsFaxCompression(TTiffCompression kind) {
  return kind == tcGroup3OneD || kind == tcGroup3TwoD || kind == tcGroup4;
}

bool TiffCompressionAccepts(TTiffCompression kind, TImageFormat format) {
  if (IsFaxCompression(kind)) return format == ifBlackWhite;
  if (kind == tcJpeg) return format == ifGray256 || format == ifTrueColor;
  return true;
}

std::optional<TTiffCompression> TiffCompressionOfTag(uint16_t tag, uint32_t t4Options) {
  switch (tag) {
  case COMPRESSION_NONE:
    return tcNone;
  case COMPRESSION_CCITTRLE:
  case COMPRESSION_CCITTRLEW:
    return tcGroup3OneD;
  case COMPRESSION_CCITTFAX3:
    return (t4Options & GROUP3OPT_2DENCODING) ? tcGroup3TwoD : tcGroup3OneD;
  case COMPRESSION_CCITTFAX4:
    return tcGroup4;
  case COMPRESSION_JPEG:
    return tcJpeg;
  case COMPRESSION_PACKBITS:
    return tcPackbits;
  case COMPRESSION_DEFLATE:
    return tcZLib;
  default:
    return std::nullopt;
  }
}

} // namespace kestrel
