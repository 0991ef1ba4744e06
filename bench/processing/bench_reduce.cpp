// Reduction of a 4000 x 3000 photo-like picture to 256 colours with Floyd-Steinberg dithering
// (octree modes 7 and 8) against a peer quantizer at its fastest setting with dithering, in the
// same run. Prints the time ratio, the PSNR of both results against the source, and the throughput
// of the palette build and of the dithered remap alone.

#include "processing/colour/FloydSteinbergDitherer.h"
#include "processing/colour/ReduceToPalette.h"

#include <libimagequant.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

using namespace kestrel;

namespace {

constexpr int kWidth = 4000, kHeight = 3000, kRuns = 3;

struct Picture {
  int width, height;
  std::vector<uint8_t> bgr;
  const uint8_t* Row(int y) const { return bgr.data() + size_t(3) * width * y; }
};

// Smooth gradients, a few hard-edged shapes with shading of their own, and noise.
Picture Photo() {
  Picture p{kWidth, kHeight, std::vector<uint8_t>(size_t(3) * kWidth * kHeight)};
  struct Shape {
    int x0, y0, x1, y1;
    bool disc;
    float r, g, b;
  };
  const Shape shapes[] = {
      {300, 200, 1300, 900, false, 220, 40, 30},      {2500, 400, 3600, 1500, true, 30, 90, 200},
      {1000, 1800, 1900, 2800, true, 250, 220, 60},   {2200, 2000, 3800, 2600, false, 20, 140, 60},
      {1500, 1000, 2100, 1500, false, 240, 240, 240}, {100, 2300, 700, 2900, true, 90, 40, 120}};
  uint32_t seed = 12345;
  auto noise = [&] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>(seed >> 28) - 8;
  };
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* out = p.bgr.data() + size_t(3) * kWidth * y;
    for (int x = 0; x < kWidth; ++x) {
      float r = 128 + 100 * std::sin(x / 300.0f + y / 500.0f);
      float g = 128 + 90 * std::cos(x / 450.0f - y / 250.0f);
      float b = 128 + 80 * std::sin((x + y) / 700.0f) + 30 * std::cos(y / 90.0f);
      for (const Shape& s : shapes) {
        bool inside = x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1;
        if (inside && s.disc) {
          float cx = (s.x0 + s.x1) / 2.0f, cy = (s.y0 + s.y1) / 2.0f;
          float rx = (s.x1 - s.x0) / 2.0f, ry = (s.y1 - s.y0) / 2.0f;
          inside = (x - cx) * (x - cx) / (rx * rx) + (y - cy) * (y - cy) / (ry * ry) < 1;
        }
        if (inside) {
          float shade = 0.6f + 0.4f * (x - s.x0) / (s.x1 - s.x0);
          r = s.r * shade;
          g = s.g * shade;
          b = s.b * shade;
        }
      }
      out[3 * x + 0] = static_cast<uint8_t>(std::clamp(b + noise(), 0.0f, 255.0f));
      out[3 * x + 1] = static_cast<uint8_t>(std::clamp(g + noise(), 0.0f, 255.0f));
      out[3 * x + 2] = static_cast<uint8_t>(std::clamp(r + noise(), 0.0f, 255.0f));
    }
  }
  return p;
}

double Seconds(const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// PSNR of an indexed result (palette as red, green, blue triples) against the source.
double Psnr(const Picture& p, const std::vector<uint8_t>& indices, const uint8_t (*rgb)[3]) {
  double sum = 0;
  for (size_t i = 0; i < indices.size(); ++i) {
    const uint8_t* s = p.bgr.data() + 3 * i;
    const uint8_t* c = rgb[indices[i]];
    double db = s[0] - c[2], dg = s[1] - c[1], dr = s[2] - c[0];
    sum += db * db + dg * dg + dr * dr;
  }
  double mse = sum / (3.0 * indices.size());
  return 10 * std::log10(255.0 * 255.0 / mse);
}

struct Result {
  double seconds;
  double psnr;
};

std::unique_ptr<TBitmap> AsBitmap(const Picture& p) {
  auto bitmap = std::make_unique<TBitmap>(p.width, p.height, pf24bit);
  for (int y = 0; y < p.height; ++y)
    std::copy_n(p.Row(y), size_t(3) * p.width, bitmap->ScanLine(y));
  return bitmap;
}

double ReducedPsnr(const Picture& p, const TBitmap& reduced) {
  std::vector<uint8_t> indices(size_t(p.width) * p.height);
  for (int y = 0; y < p.height; ++y)
    std::copy_n(reduced.ScanLine(y), p.width, indices.data() + size_t(p.width) * y);
  uint8_t rgb[256][3] = {};
  const TPalette& palette = reduced.OwnPalette();
  for (int i = 0; i < palette.Count(); ++i)
    rgb[i][0] = palette[i].Red, rgb[i][1] = palette[i].Green, rgb[i][2] = palette[i].Blue;
  return Psnr(p, indices, rgb);
}

// The whole reduction of a device bitmap, as the viewer and the GIF writer call it.
Result Ours(const Picture& p, const TBitmap& bitmap, int mode) {
  std::unique_ptr<TBitmap> reduced;
  double s = Seconds([&] { reduced = ReduceToPalette(bitmap, mode, dmFloydSteinberg, 8, {}); });
  return {s, ReducedPsnr(p, *reduced)};
}

struct Reference {
  Result whole;
  double paletteSeconds, remapSeconds;
};

Reference Peer(const Picture& p) {
  std::vector<uint8_t> rgba(size_t(4) * p.width * p.height);
  for (size_t i = 0; i < size_t(p.width) * p.height; ++i) {
    rgba[4 * i] = p.bgr[3 * i + 2];
    rgba[4 * i + 1] = p.bgr[3 * i + 1];
    rgba[4 * i + 2] = p.bgr[3 * i];
    rgba[4 * i + 3] = 255;
  }
  std::vector<uint8_t> indices(size_t(p.width) * p.height);
  liq_attr* attr = liq_attr_create();
  liq_set_speed(attr, 10);
  liq_set_max_colors(attr, 256);
  uint8_t rgb[256][3] = {};
  auto reduce = [&](double* paletteSeconds, double* remapSeconds) {
    auto t0 = std::chrono::steady_clock::now();
    liq_image* image = liq_image_create_rgba(attr, rgba.data(), p.width, p.height, 0);
    liq_result* result = nullptr;
    if (liq_image_quantize(image, attr, &result) != LIQ_OK) {
      std::fprintf(stderr, "reference quantizer failed\n");
      std::exit(1);
    }
    auto t1 = std::chrono::steady_clock::now();
    liq_set_dithering_level(result, 1.0f);
    liq_write_remapped_image(result, image, indices.data(), indices.size());
    auto t2 = std::chrono::steady_clock::now();
    const liq_palette* palette = liq_get_palette(result);
    for (unsigned i = 0; i < palette->count; ++i)
      rgb[i][0] = palette->entries[i].r, rgb[i][1] = palette->entries[i].g,
      rgb[i][2] = palette->entries[i].b;
    liq_result_destroy(result);
    liq_image_destroy(image);
    if (paletteSeconds) {
      *paletteSeconds = std::chrono::duration<double>(t1 - t0).count();
      *remapSeconds = std::chrono::duration<double>(t2 - t1).count();
    }
  };
  Reference ref{};
  ref.whole.seconds = Seconds([&] { reduce(nullptr, nullptr); });
  ref.paletteSeconds = ref.remapSeconds = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    double a, b;
    reduce(&a, &b);
    ref.paletteSeconds = std::min(ref.paletteSeconds, a);
    ref.remapSeconds = std::min(ref.remapSeconds, b);
  }
  ref.whole.psnr = Psnr(p, indices, rgb);
  liq_attr_destroy(attr);
  return ref;
}

} // namespace

int main() {
  Picture p = Photo();
  const double mpix = double(p.width) * p.height / 1e6;
  std::printf("picture %dx%d (%.1f Mpixel), best of %d runs\n", p.width, p.height, mpix, kRuns);

  TBgrRowSource rows = [&](int y) { return p.Row(y); };
  TPalette palette;
  double build = Seconds([&] { palette = OctreePalette(p.width, p.height, rows, 256, 8, false); });
  std::vector<uint8_t> indices(size_t(p.width) * p.height);
  double remap = Seconds([&] {
    TFastColorLookup lookup(palette.Entries());
    TFloydSteinbergDitherer ditherer(p.width, lookup);
    for (int y = 0; y < p.height; ++y)
      ditherer.DitherRow(p.Row(y), indices.data() + size_t(p.width) * y);
  });
  std::printf("ours: octree palette build %.1f Mpixel/s, Floyd-Steinberg remap %.1f Mpixel/s\n",
              mpix / build, mpix / remap);

  Reference peer = Peer(p);
  std::printf("reference: palette %.1f Mpixel/s, dithered remap %.1f Mpixel/s, whole %.3f s, "
              "PSNR %.2f dB\n",
              mpix / peer.paletteSeconds, mpix / peer.remapSeconds, peer.whole.seconds,
              peer.whole.psnr);
  const std::unique_ptr<TBitmap> bitmap = AsBitmap(p);
  for (int mode : {rmQuantize, rmQuantizeWindows}) {
    Result ours = Ours(p, *bitmap, mode);
    std::printf("mode %d: ours %.3f s, PSNR %.2f dB (%+.2f dB against the reference, target >= "
                "-2; %.2f dB without dithering); speed ratio reference/ours %.2fx (target >= 2)\n",
                mode, ours.seconds, ours.psnr, ours.psnr - peer.whole.psnr,
                ReducedPsnr(p, *ReduceToPalette(*bitmap, mode, dmNearest, 8, {})),
                peer.whole.seconds / ours.seconds);
  }
  return 0;
}
