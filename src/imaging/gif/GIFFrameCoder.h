#pragma once
// Coding of one frame's pixels (one palette index per byte) to and from the LZW image data of a
// GIF file: the code-size byte, the data sub-blocks and their terminator.

#include "imaging/core/Stream.h"
#include "imaging/gif/GIFWarning.h"

#include <cstdint>

namespace kestrel {

// How pixels are written: real LZW, or run-length coding that any decoder reads.
enum class TGIFCompression { LZW = 0, RLE = 1 };

// Reads the image data of a frame from stream into pixels (width x height bytes, row by row). The
// buffer is first filled with fill, which pixels the data do not reach keep. Cut or short data
// give warnings and leave the stream after what was there; a broken code table raises
// GIFException. On return the stream stands after the frame's terminator block.
void DecodeGIFFrame(TStream& stream, int64_t width, int64_t height, bool interlaced, uint8_t fill,
                    uint8_t* pixels, const TGIFWarning& warning);

// Writes the image data of a frame: pixels holds width x height bytes, each below colorCount, coded
// with codes of bitsPerPixel (1..8) bits at least. A pixel outside the colour table raises
// GIFException "Color not in color table".
void EncodeGIFFrame(TStream& stream, int bitsPerPixel, int colorCount, const uint8_t* pixels,
                    bool interlaced, int64_t height, int64_t width, const TGIFWarning& warning,
                    TGIFCompression compression = TGIFCompression::LZW);

} // namespace kestrel
