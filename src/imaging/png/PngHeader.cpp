#include "imaging/png/PngHeader.h"

#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Stream.h"
#include "imaging/png/PngGraphic.h"

#include <cstring>

namespace kestrel {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgbAlpha = 6;
// The largest side a PNG may give (2^31 - 1).
constexpr uint32_t kMaxSide = 0x7FFFFFFF;

uint32_t BigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

[[noreturn]] void NotPng() {
  throw EPNGError("PNG file is not valid or corrupted");
}

bool IsGreyRamp(const TDibPalette& palette, int entries) {
  if (palette.Count != entries) return false;
  const int step = 255 / (entries - 1);
  for (int i = 0; i < entries; ++i) {
    const auto& e = palette.Entries[i];
    if (e.Red != i * step || e.Green != i * step || e.Blue != i * step) return false;
  }
  return true;
}

} // namespace

TPngHeader ReadPngHeader(TStream& stream) {
  uint8_t bytes[8 + 8 + 13];
  if (stream.Read(bytes, sizeof bytes) != static_cast<int64_t>(sizeof bytes)) NotPng();
  if (std::memcmp(bytes, kSignature, 8) != 0) NotPng();
  if (BigEndian32(bytes + 8) != 13 || std::memcmp(bytes + 12, "IHDR", 4) != 0) NotPng();
  stream.Seek(-static_cast<int64_t>(sizeof bytes - 8), TSeekOrigin::Current);
  const uint8_t* ihdr = bytes + 16;
  TPngHeader h;
  h.Width = BigEndian32(ihdr);
  h.Height = BigEndian32(ihdr + 4);
  h.BitDepth = ihdr[8];
  h.ColorType = ihdr[9];
  h.Interlace = ihdr[12];
  CheckPngHeader(h);
  return h;
}

TImageFormat PngImageFormat(int bitDepth, int colorType) {
  switch (bitDepth) {
  case 1:
  case 2:
  case 4:
  case 8:
  case 16:
    break;
  default:
    throw EPNGError("Invalid bit depth");
  }
  const bool low = bitDepth < 8;
  switch (colorType) {
  case kGrey:
    return bitDepth == 1 ? ifBlackWhite : low ? ifGray16 : ifGray256;
  case kPalette:
    if (bitDepth == 16) break;
    return bitDepth == 1 ? ifBlackWhite : low ? ifColor16 : ifColor256;
  case kRgb:
  case kRgbAlpha:
    if (low) break;
    return ifTrueColor;
  case kGreyAlpha:
    if (low) break;
    return ifGray256;
  default:
    break;
  }
  throw EPNGError("Invalid color type for bit depth");
}

void CheckPngHeader(const TPngHeader& h) {
  const TImageFormat format = PngImageFormat(h.BitDepth, h.ColorType);
  if (h.Interlace != 0 && h.Interlace != 1) throw EPNGError("Interlace type not valid");
  if (h.Width == 0 || h.Height == 0 || h.Width > kMaxSide || h.Height > kMaxSide)
    throw EPNGError("Invalid image size");
  if (!ImageLimits::Fits(h.Width, h.Height, FormatBitsPerPixel(format)))
    throw EPNGError(
        formatMessage("PNG image of %u x %u pixels exceeds the memory limit", h.Width, h.Height));
}

TPngLayout PngLayoutOf(TImageFormat format, const TDibPalette& palette) {
  switch (format) {
  case ifBlackWhite:
    return {1, IsGreyRamp(palette, 2) ? kGrey : kPalette};
  case ifGray16:
    return {4, IsGreyRamp(palette, 16) ? kGrey : kPalette};
  case ifGray256:
    return {8, IsGreyRamp(palette, 256) ? kGrey : kPalette};
  case ifColor16:
    return {4, kPalette};
  case ifColor256:
    return {8, kPalette};
  default:
    return {8, kRgb};
  }
}

} // namespace kestrel
