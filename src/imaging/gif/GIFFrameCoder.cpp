#include "imaging/gif/GIFFrameCoder.h"

#include "imaging/gif/GIFPixelWalk.h"
#include "imaging/gif/LZWDecoder.h"
#include "imaging/gif/LZWEncoder.h"
#include "imaging/gif/RLEEncoder.h"

#include <cstring>
#include <memory>

namespace kestrel {

void DecodeGIFFrame(TStream& stream, int64_t width, int64_t height, bool interlaced, uint8_t fill,
                    uint8_t* pixels, const TGIFWarning& warning) {
  if (width > 0 && height > 0) std::memset(pixels, fill, static_cast<size_t>(width * height));
  uint8_t codeSize = 0;
  if (stream.Read(&codeSize, 1) != 1) return;
  TGIFBitReader bits(stream, warning);
  // The tables are 20 KB: keep them off the caller's stack.
  auto decoder = std::make_unique<TLZWDecoder>(bits, codeSize);
  TGIFPixelWalk walk(width, height, interlaced);
  int64_t offset = 0;
  int64_t count = 0;
  while (walk.Next(offset, count))
    if (decoder->Read(pixels + offset, count) < count) break;
  bits.Reader().SkipToEnd();
}

void EncodeGIFFrame(TStream& stream, int bitsPerPixel, int colorCount, const uint8_t* pixels,
                    bool interlaced, int64_t height, int64_t width, const TGIFWarning& warning,
                    TGIFCompression compression) {
  std::unique_ptr<TGIFEncoder> encoder;
  if (compression == TGIFCompression::RLE)
    encoder = std::make_unique<TRLEEncoder>();
  else
    encoder = std::make_unique<TLZWEncoder>();
  encoder->OnWarning = warning;
  encoder->Encode(stream, bitsPerPixel, colorCount, pixels, interlaced, height, width);
}

} // namespace kestrel
