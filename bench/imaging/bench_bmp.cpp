// Reading and writing a 4000 x 3000 24-bit .bmp, against copying the same pixel bytes into a new
// buffer with memcpy (what any reader must do at least). Prints the two ratios; the read ratio
// should be 0.5 or more.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Stream.h"

#include "../RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using namespace kestrel;

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

const std::vector<uint8_t>& FileBytes() {
  static const std::vector<uint8_t> bytes = [] {
    TBitmap bitmap;
    bitmap.NewImage(kWidth, kHeight, pf24bit, {});
    for (int y = 0; y < kHeight; ++y) {
      uint8_t* row = bitmap.ScanLine(y);
      for (int i = 0; i < 3 * kWidth; ++i)
        row[i] = static_cast<uint8_t>(i * 7 + y);
    }
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.Bytes();
  }();
  return bytes;
}

const TBitmap& Picture() {
  static const auto bitmap = [] {
    auto b = std::make_unique<TBitmap>();
    TSpanStream stream(FileBytes().data(), FileBytes().size());
    b->LoadFromStream(stream);
    return b;
  }();
  return *bitmap;
}

void MemcpyReference(benchmark::State& state) {
  const size_t pixels = static_cast<size_t>(kWidth) * 3 * kHeight;
  const uint8_t* from = FileBytes().data() + 54;
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> to(new uint8_t[pixels]);
    std::memcpy(to.get(), from, pixels);
    benchmark::DoNotOptimize(to.get());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pixels));
}

void ReadBmp(benchmark::State& state) {
  for (auto _ : state) {
    TSpanStream stream(FileBytes().data(), FileBytes().size());
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileBytes().size()));
}

void WriteBmp(benchmark::State& state) {
  TBitmap& picture = const_cast<TBitmap&>(Picture());
  for (auto _ : state) {
    TMemoryStream stream;
    picture.SaveToStream(stream);
    benchmark::DoNotOptimize(stream.Bytes().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileBytes().size()));
}

BENCHMARK(MemcpyReference)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteBmp)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  FileBytes();
  Picture();
  bench::TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double reference = reporter.RealTime("MemcpyReference");
  const double read = reporter.RealTime("ReadBmp"), write = reporter.RealTime("WriteBmp");
  if (reference > 0 && read > 0 && write > 0) {
    std::printf("read ratio (memcpy time / read time): %.2f (target >= 0.5)\n", reference / read);
    std::printf("write ratio (memcpy time / write time): %.2f\n", reference / write);
  }
  return 0;
}
