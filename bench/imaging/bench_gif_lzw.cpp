// GIF against giflib in the same run, on a 2000 x 2000 frame of 8-bit photo-like content: the
// pixel coding alone (decoding and LZW encoding of the image data) and whole files (reading a file
// into a TGIFImage against giflib's reader, writing a TGIFImage against giflib's writer). Prints
// our time over giflib's for each (target: at most 1.0) and our coded size over giflib's (target:
// at most 1.01).

#include "imaging/core/Stream.h"
#include "imaging/gif/GIFFrameCoder.h"
#include "imaging/gif/GIFImage.h"

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

// The photo as a one-frame image with a grey global table, as giflib's file has it.
TGIFImage& PhotoImage() {
  static TGIFImage image;
  if (image.Empty()) {
    TMemoryStream file(GiflibFile());
    image.LoadFromStream(file);
  }
  return image;
}

std::vector<uint8_t> OurFile() {
  TMemoryStream out;
  PhotoImage().SaveToStream(out);
  return out.Bytes();
}

void ReadFileOurs(benchmark::State& state) {
  auto read = [] {
    TGIFImage image;
    TSpanStream in(GiflibFile().data(), GiflibFile().size());
    image.LoadFromStream(in);
    return image.Images()[0].Data().size();
  };
  if (PhotoImage().Images()[0].Data() != Photo()) state.SkipWithError("read pixels differ");
  for (auto _ : state)
    benchmark::DoNotOptimize(read());
}

void ReadFileGiflib(benchmark::State& state) {
  if (gifref::Slurp(GiflibFile())->Frames[0].Pixels != Photo())
    state.SkipWithError("read pixels differ");
  for (auto _ : state)
    benchmark::DoNotOptimize(gifref::Slurp(GiflibFile()));
}

void WriteFileOurs(benchmark::State& state) {
  if (gifref::Slurp(OurFile())->Frames[0].Pixels != Photo())
    state.SkipWithError("written pixels differ");
  for (auto _ : state)
    benchmark::DoNotOptimize(OurFile());
}

BENCHMARK(DecodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeGiflib)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeGiflib)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFileOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFileGiflib)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteFileOurs)->Unit(benchmark::kMillisecond);
// giflib's whole-file writer is the same call as EncodeGiflib.
BENCHMARK(EncodeGiflib)->Name("WriteFileGiflib")->Unit(benchmark::kMillisecond);

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
  for (const char* what : {"Decode", "Encode", "ReadFile", "WriteFile"}) {
    const std::string ours = std::string(what) + "Ours", theirs = std::string(what) + "Giflib";
    if (t.count(ours) && t.count(theirs))
      std::printf("%s ratio (ours / giflib): %.3f (target <= 1.0)\n", what, t[ours] / t[theirs]);
  }
  const double ours = double(OurImageData().size());
  const double theirs = double(GiflibFile().size() - gifref::ImageDataOffset(8) - 1);
  std::printf(
      "size ratio (ours / giflib): %.4f (target <= 1.01; %.0f vs %.0f bytes for %d pixels)\n",
      ours / theirs, ours, theirs, kSide * kSide);
  std::printf("file size ratio (ours / giflib): %.4f (target <= 1.01)\n",
              double(OurFile().size()) / double(GiflibFile().size()));
  benchmark::Shutdown();
  return 0;
}
