// Our JPEG and PNG codecs against bare libjpeg and libpng doing the same work on the same bytes,
// in one run. Each benchmark alternates the two and reports ratio = our time / the library's
// (targets: at most 1.10).

#include "imaging/core/Bitmap.h"
#include "imaging/core/Stream.h"
#include "imaging/jpeg/JpegImage.h"
#include "imaging/jpeg/PhotoLike.h"
#include "imaging/png/PngGraphic.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <jpeglib.h>
#include <memory>
#include <png.h>
#include <vector>

using namespace kestrel;

namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<TBitmap> Photo(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, pf24bit, TPalette());
  test::PaintPhotoLike(width, height, [&](int y) { return bitmap->ScanLine(y); });
  return bitmap;
}

const std::vector<uint8_t>& PhotoJpeg() {
  static const std::vector<uint8_t> bytes = [] {
    TJPEGImage picture;
    picture.Assign(Photo(6000, 4000).get());
    picture.SetCompressionQuality(90);
    picture.Compress();
    return picture.Data();
  }();
  return bytes;
}

TPngGraphic& PhotoPicture() {
  static TPngGraphic* picture = [] {
    auto* p = new TPngGraphic;
    const auto photo = Photo(4000, 3000);
    p->ImportBitmapHandle(*photo);
    p->Gamma = 1 / TPngGraphic::kScreenGamma;
    return p;
  }();
  return *picture;
}

const std::vector<uint8_t>& PhotoPng() {
  static const std::vector<uint8_t> bytes = [] {
    TPngGraphic& picture = PhotoPicture();
    picture.Interlaced = false;
    TMemoryStream stream;
    picture.SaveToStream(stream);
    picture.Interlaced = true;
    return stream.Bytes();
  }();
  return bytes;
}

// Runs ours and the reference alternately; the iteration time is ours, the counters give both
// and their ratio.
void Compare(benchmark::State& state, const std::function<void()>& ours,
             const std::function<void()>& reference) {
  double oursSeconds = 0, referenceSeconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    ours();
    const auto t1 = Clock::now();
    reference();
    const auto t2 = Clock::now();
    const double o = std::chrono::duration<double>(t1 - t0).count();
    oursSeconds += o;
    referenceSeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(o);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1000 * oursSeconds / n;
  state.counters["reference_ms"] = 1000 * referenceSeconds / n;
  state.counters["ratio"] = oursSeconds / referenceSeconds;
}

// libjpeg alone: the same options our decoder sets for 24-bit output at best quality.
void BareJpegDecode(const std::vector<uint8_t>& bytes, unsigned denominator) {
  jpeg_decompress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&c);
  jpeg_mem_src(&c, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&c, TRUE);
  c.scale_num = 1;
  c.scale_denom = denominator;
  c.dct_method = JDCT_ISLOW;
  c.do_fancy_upsampling = TRUE;
  c.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&c);
  const size_t stride = (c.output_width * 3 + 3) & ~size_t(3);
  std::unique_ptr<uint8_t[]> pixels(new uint8_t[stride * c.output_height]);
  std::vector<JSAMPROW> rows(c.output_height);
  for (JDIMENSION y = 0; y < c.output_height; ++y)
    rows[y] = pixels.get() + stride * y;
  while (c.output_scanline < c.output_height)
    jpeg_read_scanlines(&c, rows.data() + c.output_scanline, c.output_height - c.output_scanline);
  jpeg_finish_decompress(&c);
  jpeg_destroy_decompress(&c);
  benchmark::DoNotOptimize(pixels.get());
}

void JpegDecode(benchmark::State& state) {
  const auto scale = static_cast<TJPEGScale>(state.range(0));
  const std::vector<uint8_t>& bytes = PhotoJpeg();
  Compare(
      state,
      [&] {
        TJPEGImage picture;
        picture.SetPixelFormat(jf24Bit);
        picture.SetScale(scale);
        TSpanStream stream(bytes.data(), bytes.size());
        picture.LoadFromStream(stream);
        picture.DIBNeeded();
        benchmark::DoNotOptimize(picture.Bitmap().ScanLine(0));
      },
      [&] { BareJpegDecode(bytes, 1u << scale); });
}

struct TMemoryReader {
  const uint8_t* Data;
  size_t Left;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  auto* reader = static_cast<TMemoryReader*>(png_get_io_ptr(png));
  if (length > reader->Left) png_error(png, "truncated");
  std::memcpy(out, reader->Data, length);
  reader->Data += length;
  reader->Left -= length;
}

// libpng alone, with the transformations our reader asks for on this file.
void BarePngRead(const std::vector<uint8_t>& bytes) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  TMemoryReader reader{bytes.data(), bytes.size()};
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  png_set_bgr(png);
  double gamma = 0;
  png_get_gAMA(png, info, &gamma);
  png_set_gamma(png, TPngGraphic::kScreenGamma, gamma);
  png_color_16 black{};
  png_set_background(png, &black, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
  png_read_update_info(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const size_t stride = (png_get_rowbytes(png, info) + 3) & ~size_t(3);
  std::unique_ptr<uint8_t[]> pixels(new uint8_t[stride * height]);
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = pixels.get() + stride * y;
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  benchmark::DoNotOptimize(pixels.get());
}

void PngDecode(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = PhotoPng();
  Compare(
      state,
      [&] {
        TPngGraphic picture;
        TSpanStream stream(bytes.data(), bytes.size());
        picture.LoadFromStream(stream);
        benchmark::DoNotOptimize(picture.Bits());
      },
      [&] { BarePngRead(bytes); });
}

void WriteToMemory(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// libpng alone, with our writer's default settings: Adam7, zlib level 5, pHYs, gAMA.
void BarePngWrite(const TPngGraphic& picture) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, WriteToMemory, FlushNothing);
  const auto height = static_cast<png_uint_32>(picture.Height());
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.Width()), height, 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
  png_set_gAMA(png, info, picture.Gamma);
  png_set_compression_level(png, 5);
  png_write_info(png, info);
  png_set_bgr(png);
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = const_cast<png_bytep>(picture.ScanLine(static_cast<int>(y)));
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y)
      png_write_row(png, rows[y]);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  benchmark::DoNotOptimize(out.data());
}

void PngEncode(benchmark::State& state) {
  TPngGraphic& picture = PhotoPicture();
  picture.CompressionLevel = 1; // zlib level 5
  Compare(
      state,
      [&] {
        TMemoryStream stream;
        picture.SaveToStream(stream);
        benchmark::DoNotOptimize(stream.Bytes().data());
      },
      [&] { BarePngWrite(picture); });
}

BENCHMARK(JpegDecode)
    ->Name("jpeg_decode_6000x4000/scale_1_1")
    ->Arg(jsFullSize)
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(JpegDecode)
    ->Name("jpeg_decode_6000x4000/scale_1_8")
    ->Arg(jsEighth)
    ->Iterations(12)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PngDecode)
    ->Name("png_decode_4000x3000_rgb")
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PngEncode)
    ->Name("png_encode_4000x3000_level5")
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
