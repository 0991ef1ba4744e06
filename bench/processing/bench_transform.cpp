// A quarter turn of a 6000 x 4000 true-colour bitmap, against a memcpy of its bytes into a buffer
// that exists, and (since a turn must put its result in new memory, whose first touch the system
// charges for) against a memcpy into a buffer allocated for it.

#include "../BitmapCopy.h"
#include "../RatioReporter.h"

#include "imaging/core/Bitmap.h"
#include "processing/transform/BitmapTransform.h"

#include <cstring>
#include <memory>
#include <vector>

namespace kestrel {
namespace {

std::unique_ptr<TBitmap> Picture() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(6000, 4000);
  for (int y = 0; y < bitmap->Height(); ++y)
    std::memset(bitmap->ScanLine(y), y & 0xFF, static_cast<size_t>(bitmap->BytesPerLine()));
  return bitmap;
}

void QuarterTurn(benchmark::State& state) {
  auto bitmap = Picture();
  for (auto _ : state) {
    ApplyBitmapTransform(*bitmap, TBitmapTransform::RotateClockwise);
    benchmark::DoNotOptimize(bitmap->ScanLine(0));
  }
}

void CopyBytes(benchmark::State& state) {
  bench::CopyBitmapBytes(state, *Picture());
}

void CopyBytesIntoNewMemory(benchmark::State& state) {
  auto bitmap = Picture();
  const size_t bytes = static_cast<size_t>(bitmap->BytesPerLine()) * bitmap->Height();
  for (auto _ : state) {
    auto copy = std::make_unique_for_overwrite<uint8_t[]>(bytes);
    std::memcpy(copy.get(), bitmap->ScanLine(0), bytes);
    benchmark::DoNotOptimize(copy.get());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(QuarterTurn)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CopyBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CopyBytesIntoNewMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  return kestrel::bench::RunWithRatios(
      argc, argv,
      {{"QuarterTurn", "CopyBytes", 4.0}, {"QuarterTurn", "CopyBytesIntoNewMemory", 4.0}});
}
