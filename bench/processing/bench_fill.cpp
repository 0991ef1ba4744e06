// The fill tool's surface fill over a 24-megapixel region (the whole of a 6000 x 4000 true-colour
// picture of one colour), against one pass over the picture's bytes (memcpy of the same size).

#include "../BitmapCopy.h"
#include "../RatioReporter.h"

#include "imaging/core/Bitmap.h"
#include "processing/editing/FloodFill.h"

#include <memory>

namespace kestrel {
namespace {

std::unique_ptr<TBitmap> Picture() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(6000, 4000, pf24bit, {});
  return bitmap; // all black
}

void SurfaceFill(benchmark::State& state) {
  auto bitmap = Picture();
  bool white = true;
  for (auto _ : state) {
    // Each fill turns the whole region to the other colour, so every run fills all of it.
    const TRect filled =
        FloodFillBitmap(*bitmap, {3000, 2000}, white ? clWhite : clBlack, clNone, fsSurface);
    if (filled.Width() != 6000 || filled.Height() != 4000)
      state.SkipWithError("the fill did not cover the region");
    white = !white;
    benchmark::DoNotOptimize(bitmap->ScanLine(0));
  }
}

void CopyBytes(benchmark::State& state) {
  bench::CopyBitmapBytes(state, *Picture());
}

BENCHMARK(SurfaceFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CopyBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  return kestrel::bench::RunWithRatios(argc, argv, {{"SurfaceFill", "CopyBytes", 3.0}});
}
