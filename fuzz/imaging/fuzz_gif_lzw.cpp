// Fuzzes the GIF pixel coding. Input: a 5-byte frame description (flags, width, height) followed
// by the frame's image data (code-size byte and sub-blocks). The data are decoded; whatever came
// out is then encoded with the chosen encoder and must decode back to the same pixels.

#include "imaging/core/Stream.h"
#include "imaging/gif/GIFException.h"
#include "imaging/gif/GIFFrameCoder.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace kestrel;

namespace {

constexpr size_t kMaxInput = 64 * 1024;
constexpr int kMaxSide = 256;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5 || size > kMaxInput) return 0;
  // Flags: bit 0 interlaced, bits 1..3 bits per pixel - 1, bit 4 run-length encoding.
  const bool interlaced = data[0] & 1;
  const int bitsPerPixel = 1 + ((data[0] >> 1) & 7);
  const TGIFCompression compression = data[0] & 0x10 ? TGIFCompression::RLE : TGIFCompression::LZW;
  const int width = 1 + (data[1] | data[2] << 8) % kMaxSide;
  const int height = 1 + (data[3] | data[4] << 8) % kMaxSide;
  const TGIFWarning ignore = [](const void*, TGIFSeverity, const std::string&) {};

  std::vector<uint8_t> pixels(size_t(width) * height);
  TSpanStream in(data + 5, size - 5);
  try {
    DecodeGIFFrame(in, width, height, interlaced, data[0], pixels.data(), ignore);
  } catch (const GIFException&) {
  }

  const int colors = 1 << bitsPerPixel;
  for (uint8_t& p : pixels)
    p = static_cast<uint8_t>(p % colors);
  TMemoryStream coded;
  EncodeGIFFrame(coded, bitsPerPixel, colors, pixels.data(), interlaced, height, width, ignore,
                 compression);
  std::vector<uint8_t> back(pixels.size());
  coded.SetPosition(0);
  DecodeGIFFrame(coded, width, height, interlaced, 0, back.data(), ignore);
  if (back != pixels || coded.Position() != coded.Size()) std::abort();
  return 0;
}
