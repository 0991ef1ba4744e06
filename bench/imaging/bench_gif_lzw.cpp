// GIF pixel coding against giflib in the same run: decoding and LZW encoding of a 2000 x 2000
// frame of 8-bit photo-like content. Prints our time over giflib's for both (target: at most 1.0)
// and our coded size over giflib's (target: at most 1.01).

#include "imaging/core/Stream.h"
#include "imaging/gif/GIFFrameCoder.h"

#include "../../tests/imaging/gif/GifReference.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

using namespace kestrel;

namespace {

constexpr int kSide = 2000;

// Smooth shapes with grain, as a photograph reduced to 256 colours looks.
const std::vector<uint8_t>& Photo() {
  static const std::vector<uint8_t> pixels = [] {
    std::vector<uint8_t> p(size_t(kSide) * kSide);
    uint32_t state = 1;
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        state = state * 1664525u + 1013904223u;
        const double v = 128 + 70 * std::sin(x / 97.0) * std::cos(y / 131.0) +
                         40 * std::sin((x + 2 * y) / 253.0) + double(state >> 30) - 2;
        p[size_t(y) * kSide + x] = uint8_t(std::clamp(v, 0.0, 255.0));
      }
    }
    return p;
  }();
  return pixels;
}

const std::vector<uint8_t>& GiflibFile() {
  static const std::vector<uint8_t> file = *gifref::Encode(Photo(), kSide, kSide, 8);
  return file;
}

std::vector<uint8_t> OurImageData() {
  TMemoryStream out;
  EncodeGIFFrame(out, 8, 256, Photo().data(), false, kSide, kSide, nullptr);
  return out.Bytes();
}

void DecodeOurs(benchmark::State& state) {
  const std::vector<uint8_t>& file = GiflibFile();
  const size_t offset = gifref::ImageDataOffset(8);
  auto decode = [&] {
    std::vector<uint8_t> pixels(size_t(kSide) * kSide);
    TSpanStream in(file.data() + offset, file.size() - offset);
    DecodeGIFFrame(in, kSide, kSide, false, 0, pixels.data(), nullptr);
    return pixels;
  };
  if (decode() != Photo()) state.SkipWithError("decoded pixels differ");
  for (auto _ : state)
    benchmark::DoNotOptimize(decode());
}

void DecodeGiflib(benchmark::State& state) {
  if (gifref::Decode(GiflibFile()) != Photo()) state.SkipWithError("decoded pixels differ");
  for (auto _ : state)
    benchmark::DoNotOptimize(gifref::Decode(GiflibFile()));
}

void EncodeOurs(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(OurImageData());
}

void EncodeGiflib(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(gifref::Encode(Photo(), kSide, kSide, 8));
}

BENCHMARK(DecodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeGiflib)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeGiflib)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      times[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  if (t.count("DecodeOurs") && t.count("DecodeGiflib"))
    std::printf("decode ratio (ours / giflib): %.3f (target <= 1.0)\n",
                t["DecodeOurs"] / t["DecodeGiflib"]);
  if (t.count("EncodeOurs") && t.count("EncodeGiflib"))
    std::printf("encode ratio (ours / giflib): %.3f (target <= 1.0)\n",
                t["EncodeOurs"] / t["EncodeGiflib"]);
  const double ours = double(OurImageData().size());
  const double theirs = double(GiflibFile().size() - gifref::ImageDataOffset(8) - 1);
  std::printf(
      "size ratio (ours / giflib): %.4f (target <= 1.01; %.0f vs %.0f bytes for %d pixels)\n",
      ours / theirs, ours, theirs, kSide * kSide);
  benchmark::Shutdown();
  return 0;
}
