#include "imaging/tiff/TiffPageLayout.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/tiff/TiffFile.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

bool IsFaxTag(uint16_t compression) {
  return compression == COMPRESSION_CCITTRLE || compression == COMPRESSION_CCITTFAX3 ||
         compression == COMPRESSION_CCITTFAX4 || compression == COMPRESSION_CCITTRLEW;
}

// Resolution in dots per inch: the value itself per inch, per centimetre (or without a unit)
// times 2.54; values a 16-bit dpi cannot hold give 0.
uint16_t DotsPerInch(std::optional<float> value, uint16_t unit) {
  if (!value) return 0;
  const double dpi = unit == RESUNIT_INCH ? *value : *value * 2.54;
  if (!(dpi >= 0 && dpi <= 65535)) return 0;
  return static_cast<uint16_t>(std::lround(dpi));
}

// The colour map as a palette of count entries: 8-bit values when every value is below 256 (some
// writers store them so), else 16-bit values scaled to 8 bits.
TDibPalette PaletteOfColorMap(const TTiffFile& file, int count) {
  const TTiffFile::TColorMap map = file.RequiredColorMap();
  bool eightBit = true;
  for (int i = 0; i < count && eightBit; ++i)
    eightBit = map.Red[i] < 256 && map.Green[i] < 256 && map.Blue[i] < 256;
  const auto scale = [eightBit](uint16_t v) {
    return static_cast<uint8_t>(eightBit ? v : v * 255u / 65535u);
  };
  TDibPalette palette;
  palette.Version = TDibPalette::kVersion;
  palette.Count = static_cast<uint16_t>(count);
  for (int i = 0; i < count; ++i)
    palette.Entries[i] = {scale(map.Blue[i]), scale(map.Green[i]), scale(map.Red[i]), 0};
  return palette;
}

void ChooseReadPath(const TTiffFile& file, TTiffPageLayout& layout, uint16_t planar) {
  // Everything the row copy cannot place byte for byte goes through libtiff's RGBA reading,
  // true-colour samples of other than 8 bits included. Tiles of the other pictures are copied
  // like strips (libtiff's RGBA reading of small uncompressed tiles fails without a memory-mapped
  // file).
  const bool rgba =
      layout.CompressionTag == COMPRESSION_JPEG || layout.Photometric == PHOTOMETRIC_SEPARATED ||
      layout.Photometric == PHOTOMETRIC_YCBCR || layout.BitsPerSample > 8 ||
      planar > PLANARCONFIG_CONTIG || (layout.BitCount == 24 && layout.BitsPerSample != 8);
  layout.Path = rgba                              ? TTiffReadPath::Rgba
                : TIFFIsTiled(file.Handle())      ? TTiffReadPath::Tiles
                : IsFaxTag(layout.CompressionTag) ? TTiffReadPath::FaxLines
                                                  : TTiffReadPath::Strips;
}

void ChooseFormat(const TTiffFile& file, TTiffPageLayout& layout) {
  const int bits = layout.BitCount;
  // Fax data decodes to the bits the writer encoded, so the photometric interpretation says what
  // they mean there as everywhere else.
  const uint16_t photometric = layout.Photometric;
  if (photometric == PHOTOMETRIC_PALETTE && bits <= 8) {
    // The map has 1 << BitsPerSample entries; the picture's palette takes as many as it indexes.
    const int count = std::min(1 << bits, 1 << std::min<int>(layout.BitsPerSample, 8));
    layout.Palette = PaletteOfColorMap(file, count);
    layout.Format = bits == 1 ? ifBlackWhite : bits == 4 ? ifColor16 : ifColor256;
    return;
  }
  layout.Format = bits == 1   ? ifBlackWhite
                  : bits == 4 ? ifGray16
                  : bits == 8 ? ifGray256
                              : ifTrueColor;
  // libtiff's RGBA reading already turns zero-is-white into colours; only copied bytes are
  // inverted afterwards.
  layout.Invert = layout.Format != ifTrueColor && photometric == PHOTOMETRIC_MINISWHITE &&
                  layout.Path != TTiffReadPath::Rgba;
}

} // namespace

TTiffPageLayout ReadTiffPageLayout(const TTiffFile& file) {
  TTiffPageLayout layout;
  layout.Width = file.RequiredField<uint32_t>(TIFFTAG_IMAGEWIDTH);
  layout.Height = file.RequiredField<uint32_t>(TIFFTAG_IMAGELENGTH);
  layout.Photometric = file.Field<uint16_t>(TIFFTAG_PHOTOMETRIC).value_or(PHOTOMETRIC_MINISWHITE);
  layout.CompressionTag = file.RequiredField<uint16_t>(TIFFTAG_COMPRESSION);
  // Fax pictures are one bit deep when the file does not say.
  const std::optional<uint16_t> bits = file.Field<uint16_t>(TIFFTAG_BITSPERSAMPLE);
  if (!bits && !IsFaxTag(layout.CompressionTag))
    file.FailAtTag("TIFFGetField", TIFFTAG_BITSPERSAMPLE);
  layout.BitsPerSample = bits.value_or(1);
  const uint16_t planar = file.RequiredField<uint16_t>(TIFFTAG_PLANARCONFIG);
  const uint16_t unit = file.Field<uint16_t>(TIFFTAG_RESOLUTIONUNIT).value_or(RESUNIT_INCH);
  layout.XDpi = DotsPerInch(file.Field<float>(TIFFTAG_XRESOLUTION), unit);
  layout.YDpi = DotsPerInch(file.Field<float>(TIFFTAG_YRESOLUTION), unit);

  if (layout.CompressionTag == COMPRESSION_LZW)
    throw EZeduziziError("LZW compression not supported");

  uint16_t samples = 1;
  TIFFGetFieldDefaulted(file.Handle(), TIFFTAG_SAMPLESPERPIXEL, &samples);
  layout.SamplesPerPixel = std::max<uint16_t>(samples, 1);
  layout.BitCount = std::min(layout.BitsPerSample * layout.SamplesPerPixel, 24);
  if (layout.BitCount != 1 && layout.BitCount != 4 && layout.BitCount != 8 && layout.BitCount != 24)
    file.Fail("Unsupported bit count: " + std::to_string(layout.BitCount));

  ChooseReadPath(file, layout, planar);
  ChooseFormat(file, layout);
  if (!ImageLimits::Fits(layout.Width, layout.Height, FormatBitsPerPixel(layout.Format)))
    file.Fail(formatMessage("Image size %u x %u not supported", layout.Width, layout.Height));
  return layout;
}

} // namespace kestrel
