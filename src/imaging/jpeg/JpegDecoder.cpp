#include "imaging/jpeg/JpegDecoder.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/jpeg/JpegSession.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace kestrel {

namespace {

constexpr double kInchesPerMetre = 39.370078740157480317;

enum class TOutput { Bgr, Grey, Quantised, Cmyk };

int PelsPerMeter(int unit, int density) {
  if (density <= 0) return 0;
  if (unit == 1) return static_cast<int>(std::lround(density * kInchesPerMetre));
  if (unit == 2) return density * 100;
  return 0;
}

TJpegHeader HeaderOf(const jpeg_decompress_struct& c) {
  TJpegHeader h;
  h.Width = static_cast<int>(c.image_width);
  h.Height = static_cast<int>(c.image_height);
  h.OutputWidth = static_cast<int>(c.output_width);
  h.OutputHeight = static_cast<int>(c.output_height);
  h.Components = c.num_components;
  h.Progressive = c.progressive_mode;
  h.Cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
  h.Grey = c.num_components == 1;
  if (c.saw_JFIF_marker) {
    h.XPelsPerMeter = PelsPerMeter(c.density_unit, c.X_density);
    h.YPelsPerMeter = PelsPerMeter(c.density_unit, c.Y_density);
  }
  return h;
}

// Sets the decoder up for options and says what its rows will hold.
TOutput ChooseOutput(jpeg_decompress_struct& c, const TJpegDecodeOptions& o) {
  c.scale_num = 1;
  c.scale_denom = 1u << o.Scale;
  const bool fast = o.Performance == jpBestSpeed;
  c.dct_method = fast ? JDCT_IFAST : JDCT_ISLOW;
  c.do_fancy_upsampling = fast ? FALSE : TRUE;
  if (c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK) {
    c.out_color_space = JCS_CMYK;
    return TOutput::Cmyk;
  }
  if (c.num_components == 1 || o.Grayscale) {
    c.out_color_space = JCS_GRAYSCALE;
    return TOutput::Grey;
  }
  if (o.PixelFormat == jf8Bit) {
    c.out_color_space = JCS_RGB;
    c.quantize_colors = TRUE;
    c.desired_number_of_colors = 256;
    c.two_pass_quantize = TRUE;
    c.dither_mode = JDITHER_FS;
    return TOutput::Quantised;
  }
  c.out_color_space = JCS_EXT_BGR;
  return TOutput::Bgr;
}

[[noreturn]] void TooLarge(const jpeg_decompress_struct& c) {
  throw EJpegError(formatMessage("JPEG image of %u x %u pixels exceeds the memory limit",
                                 c.image_width, c.image_height));
}

// Before libjpeg allocates anything of the picture's size: the decoded picture must fit, and so
// must the whole-picture coefficient store a progressive file needs (2 bytes a sample).
void CheckLimits(const jpeg_decompress_struct& c) {
  if (!ImageLimits::Fits(c.output_width, c.output_height, 24)) TooLarge(c);
  if (!c.progressive_mode) return;
  const auto samples = CheckedMul(uint64_t(c.image_width) * c.image_height,
                                  static_cast<uint64_t>(c.num_components) * 2);
  if (!samples || *samples > ImageLimits::MaxBytes()) TooLarge(c);
}

const TPalette& GreyPalette() {
  static const TPalette palette = [] {
    TPalette p = TPalette::Black(256);
    for (int i = 0; i < 256; ++i)
      p[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
    return p;
  }();
  return palette;
}

TPalette QuantisedPalette(const jpeg_decompress_struct& c) {
  TPalette p = TPalette::Black(c.actual_number_of_colors);
  for (int i = 0; i < c.actual_number_of_colors; ++i)
    p[i] = {c.colormap[0][i], c.colormap[1][i], c.colormap[2][i], 0};
  return p;
}

uint8_t Scaled(unsigned a, unsigned b) {
  return static_cast<uint8_t>((a * b + 127) / 255);
}

// The bitmap the decoder's rows go into: 8-bit grey, 8-bit with the quantiser's colours, or 24-bit.
void MakeBitmap(const jpeg_decompress_struct& c, const TJpegHeader& header, TOutput output,
                TBitmap& bitmap) {
  const int width = header.OutputWidth, height = header.OutputHeight;
  if (output == TOutput::Grey)
    bitmap.NewImage(width, height, pf8bit, GreyPalette());
  else if (output == TOutput::Quantised)
    bitmap.NewImage(width, height, pf8bit, QuantisedPalette(c));
  else
    bitmap.NewImage(width, height, pf24bit, TPalette());
  bitmap.SetPelsPerMeter(header.XPelsPerMeter, header.YPelsPerMeter);
}

// CMYK to blue, green, red (or grey). Inverted files (with an Adobe segment) store 255 - ink.
void ConvertCmykRow(const uint8_t* in, uint8_t* out, int width, bool inverted, bool grey) {
  for (int x = 0; x < width; ++x, in += 4) {
    const unsigned flip = inverted ? 0 : 255;
    const unsigned c = in[0] ^ flip, m = in[1] ^ flip, y = in[2] ^ flip, k = in[3] ^ flip;
    const uint8_t red = Scaled(c, k), green = Scaled(m, k), blue = Scaled(y, k);
    if (grey) {
      out[x] = static_cast<uint8_t>((red * 299 + green * 587 + blue * 114 + 500) / 1000);
      continue;
    }
    out[3 * x] = blue;
    out[3 * x + 1] = green;
    out[3 * x + 2] = red;
  }
}

// Rows libjpeg never delivered: mid-grey, as libjpeg shows missing data.
void FillFrom(TBitmap& bitmap, int firstRow) {
  const TPalette& palette = bitmap.OwnPalette();
  const int value =
      bitmap.BitsPerPixel() == 8 ? palette.NearestIndex(RgbColor(128, 128, 128)) : 128;
  for (int y = firstRow; y < bitmap.Height(); ++y)
    std::memset(bitmap.ScanLine(y), value, static_cast<size_t>(bitmap.BytesPerLine()));
}

} // namespace

TJpegHeader ReadJpegHeader(std::span<const uint8_t> data, TJPEGScale scale) {
  TJpegDecompressSession session(data);
  jpeg_decompress_struct& c = session.Info();
  session.Run([&] {
    jpeg_read_header(&c, TRUE);
    ChooseOutput(c, {scale, jf24Bit, false, jpBestQuality});
    jpeg_calc_output_dimensions(&c);
  });
  CheckLimits(c);
  return HeaderOf(c);
}

std::string DecodeJpeg(std::span<const uint8_t> data, const TJpegDecodeOptions& options,
                       TBitmap& bitmap) {
  TJpegDecompressSession session(data);
  jpeg_decompress_struct& c = session.Info();
  TOutput output = TOutput::Bgr;
  session.Run([&] {
    jpeg_read_header(&c, TRUE);
    output = ChooseOutput(c, options);
    jpeg_calc_output_dimensions(&c);
  });
  CheckLimits(c);
  session.Run([&] { jpeg_start_decompress(&c); });

  const TJpegHeader header = HeaderOf(c);
  const bool grey = output == TOutput::Grey || (output == TOutput::Cmyk && options.Grayscale);
  MakeBitmap(c, header, grey ? TOutput::Grey : output, bitmap);

  std::vector<JSAMPROW> rows(static_cast<size_t>(header.OutputHeight));
  for (int y = 0; y < header.OutputHeight; ++y)
    rows[static_cast<size_t>(y)] = bitmap.ScanLine(y);
  std::vector<uint8_t> cmyk(output == TOutput::Cmyk ? static_cast<size_t>(header.OutputWidth) * 4
                                                    : 0);
  const bool inverted = c.saw_Adobe_marker;
  const bool complete = session.TryRun([&] {
    if (output == TOutput::Cmyk) {
      JSAMPROW in = cmyk.data();
      while (c.output_scanline < c.output_height) {
        const JDIMENSION y = c.output_scanline;
        jpeg_read_scanlines(&c, &in, 1);
        ConvertCmykRow(in, rows[y], header.OutputWidth, inverted, grey);
      }
      return;
    }
    while (c.output_scanline < c.output_height)
      jpeg_read_scanlines(&c, rows.data() + c.output_scanline, c.output_height - c.output_scanline);
  });
  if (complete) return session.Warning();
  // Stopped inside the picture: keep what was decoded.
  if (c.output_scanline == 0) session.Fail();
  FillFrom(bitmap, static_cast<int>(c.output_scanline));
  return session.Error();
}

} // namespace kestrel
