#include "imaging/jpeg/JpegEncoder.h"

#include "imaging/core/Bitmap.h"
#include "imaging/jpeg/JpegSession.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

bool HasOnlyGreys(const TBitmap& bitmap) {
  if (bitmap.BitsPerPixel() > 8) return false;
  for (const TPaletteEntry& e : bitmap.OwnPalette().Entries())
    if (e.Red != e.Green || e.Green != e.Blue) return false;
  return true;
}

uint16_t DotsPerInch(int pelsPerMeter) {
  return static_cast<uint16_t>(std::clamp<long>(std::lround(pelsPerMeter * 0.0254), 1, 65535));
}

// A row of any pixel format as blue, green, red.
void ToBgr(const TBitmap& bitmap, int row, TPixelColor* colors, uint8_t* out) {
  const int width = bitmap.Width();
  PixelRows::Read(bitmap.ScanLine(row), bitmap.BitsPerPixel(), 0, width, bitmap.ColorTable(),
                  colors);
  for (int x = 0; x < width; ++x) {
    out[3 * x] = static_cast<uint8_t>(colors[x]);
    out[3 * x + 1] = static_cast<uint8_t>(colors[x] >> 8);
    out[3 * x + 2] = static_cast<uint8_t>(colors[x] >> 16);
  }
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, const TJpegEncodeOptions& options) {
  if (bitmap.Empty()) throw EJpegError("Cannot compress an empty image");
  const int bits = bitmap.BitsPerPixel();
  const bool direct = bits == 24 || bits == 32;
  const bool grey = options.Grayscale || HasOnlyGreys(bitmap);
  const auto width = static_cast<size_t>(bitmap.Width());
  std::vector<TPixelColor> colors(direct ? 0 : width);
  std::vector<uint8_t> converted(direct ? 0 : width * 3);

  TJpegCompressSession session;
  jpeg_compress_struct& c = session.Info();
  session.Run([&] {
    c.image_width = static_cast<JDIMENSION>(bitmap.Width());
    c.image_height = static_cast<JDIMENSION>(bitmap.Height());
    c.input_components = bits == 32 ? 4 : 3;
    c.in_color_space = bits == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    if (grey) jpeg_set_colorspace(&c, JCS_GRAYSCALE);
    jpeg_set_quality(&c, std::clamp(options.Quality, 1, 100), TRUE);
    if (options.Progressive) jpeg_simple_progression(&c);
    c.dct_method = options.Performance == jpBestSpeed ? JDCT_IFAST : JDCT_ISLOW;
    if (bitmap.XPelsPerMeter() > 0 && bitmap.YPelsPerMeter() > 0) {
      c.density_unit = 1;
      c.X_density = DotsPerInch(bitmap.XPelsPerMeter());
      c.Y_density = DotsPerInch(bitmap.YPelsPerMeter());
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
      const int y = static_cast<int>(c.next_scanline);
      JSAMPROW row = converted.data();
      if (direct)
        row = const_cast<JSAMPROW>(bitmap.ScanLine(y));
      else
        ToBgr(bitmap, y, colors.data(), converted.data());
      jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
  });
  const auto out = session.Output();
  return {out.begin(), out.end()};
}

} // namespace kestrel
