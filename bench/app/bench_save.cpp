// Saving a 3000 x 2000 true-colour picture: the whole-or-nothing write (built in memory, written
// to a temporary file, renamed over the old one) against the codec writing straight into the
// file, both as a BMP; and the JPEG round trip to 256 colours against the octree reduction with
// Floyd-Steinberg dithering, the other dithered reduction a save offers.

#include "../RatioReporter.h"

#include "app/save/JpegRoundTrip.h"
#include "app/save/SafeFileWrite.h"
#include "imaging/core/Bitmap.h"
#include "processing/colour/ReduceToPalette.h"

#include <QTemporaryDir>

#include <cmath>
#include <memory>

namespace kestrel {
namespace {

std::unique_ptr<TBitmap> Picture(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, pf24bit, {});
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<uint8_t>(128 + 100 * std::sin(x / 97.0 + y / 211.0));
      row[3 * x + 1] = static_cast<uint8_t>(128 + 90 * std::cos(x / 143.0 - y / 77.0));
      row[3 * x + 2] = static_cast<uint8_t>((x ^ y) & 0xFF);
    }
  }
  return bitmap;
}

void SafeWrite(benchmark::State& state) {
  auto bitmap = Picture(3000, 2000);
  QTemporaryDir dir;
  const std::string path = dir.filePath("out.bmp").toStdString();
  for (auto _ : state)
    WriteFileSafely(path, [&](TStream& stream) { bitmap->SaveToStream(stream); });
}

void DirectWrite(benchmark::State& state) {
  auto bitmap = Picture(3000, 2000);
  QTemporaryDir dir;
  const std::string path = dir.filePath("out.bmp").toStdString();
  for (auto _ : state)
    bitmap->SaveToFile(path);
}

void JpegRoundTripTo256(benchmark::State& state) {
  auto bitmap = Picture(1500, 1000);
  for (auto _ : state)
    benchmark::DoNotOptimize(JpegRoundTrip(*bitmap, true));
}

void OctreeDitherTo256(benchmark::State& state) {
  auto bitmap = Picture(1500, 1000);
  for (auto _ : state)
    benchmark::DoNotOptimize(ReduceToPalette(*bitmap, rmQuantizeWindows, dmFloydSteinberg, 8, {}));
}

BENCHMARK(SafeWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DirectWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(JpegRoundTripTo256)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OctreeDitherTo256)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  return kestrel::bench::RunWithRatios(
      argc, argv,
      {{"SafeWrite", "DirectWrite", 1.5}, {"JpegRoundTripTo256", "OctreeDitherTo256", 2.0}});
}
