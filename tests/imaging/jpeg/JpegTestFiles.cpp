#include "JpegTestFiles.h"

#include "PhotoLike.h"

#include "imaging/core/Stream.h"
#include "imaging/jpeg/JpegImage.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>

namespace kestrel::test {

std::unique_ptr<TBitmap> PhotoLike(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, pf24bit, TPalette());
  PaintPhotoLike(width, height, [&](int y) { return bitmap->ScanLine(y); });
  return bitmap;
}

std::unique_ptr<TBitmap> Copy(const TBitmap& bitmap) {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(&bitmap);
  return copy;
}

namespace {

// Errors of the test encoder are test failures; it never meets damaged data.
void FailHard(j_common_ptr cinfo) {
  char message[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, message);
  std::fprintf(stderr, "libjpeg: %s\n", message);
  std::abort();
}

// One component, a coefficient at a time, first at point transform 10 and then refined bit by
// bit: 1 + 63 * 11 scans.
std::vector<jpeg_scan_info> ManyScans() {
  std::vector<jpeg_scan_info> scans;
  scans.push_back({1, {0}, 0, 0, 0, 0});
  for (int k = 1; k < 64; ++k) {
    scans.push_back({1, {0}, k, k, 0, 10});
    for (int bit = 10; bit > 0; --bit)
      scans.push_back({1, {0}, k, k, bit, bit - 1});
  }
  return scans;
}

} // namespace

std::vector<uint8_t> BareEncode(const TBareJpeg& shape, const std::vector<uint8_t>& samples) {
  jpeg_compress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  errors.error_exit = FailHard;
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(shape.Width);
  c.image_height = static_cast<JDIMENSION>(shape.Height);
  c.input_components = shape.Components;
  c.in_color_space = static_cast<J_COLOR_SPACE>(shape.InputSpace);
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, static_cast<J_COLOR_SPACE>(shape.FileSpace));
  c.write_Adobe_marker =
      shape.AdobeMarker && (shape.FileSpace == JCS_CMYK || shape.FileSpace == JCS_YCCK);
  jpeg_set_quality(&c, shape.Quality, TRUE);
  const std::vector<jpeg_scan_info> scans = ManyScans();
  if (shape.ManyScans) {
    c.scan_info = scans.data();
    c.num_scans = static_cast<int>(scans.size());
  } else if (shape.Progressive) {
    jpeg_simple_progression(&c);
  }
  jpeg_start_compress(&c, TRUE);
  const size_t stride = static_cast<size_t>(shape.Width) * shape.Components;
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + stride * c.next_scanline);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

namespace {

// Calls add(difference) for every channel of every pixel; the number of channels compared.
template <class Add> double ForEachDifference(const TBitmap& a, const TBitmap& b, Add add) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    throw std::runtime_error("pictures differ in size");
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      for (int shift : {0, 8, 16})
        add(int(a.PixelColor(x, y) >> shift & 0xFF) - int(b.PixelColor(x, y) >> shift & 0xFF));
  return 3.0 * a.Width() * a.Height();
}

} // namespace

double MeanDifference(const TBitmap& a, const TBitmap& b) {
  double sum = 0;
  const double count = ForEachDifference(a, b, [&](int d) { sum += std::abs(d); });
  return sum / count;
}

double Psnr(const TBitmap& a, const TBitmap& b) {
  double squares = 0;
  const double count = ForEachDifference(a, b, [&](int d) { squares += d * d; });
  return 10 * std::log10(255.0 * 255.0 / (squares / count));
}

std::vector<uint8_t> Encoded(TJPEGImage& picture) {
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return stream.Bytes();
}

} // namespace kestrel::test
