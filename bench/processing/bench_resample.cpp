// Resizing against Pillow on the same pixels, in the same run:
// - FilteredStretch of a 6000 x 4000 true-colour picture to 1500 x 1000 with Lanczos3 and with
//   Triangle, against Pillow's resize with LANCZOS and BILINEAR (its triangle filter);
// - the box resampler of the Resample window on 4000 x 3000 to 50% and 200% at the Speed and the
//   Quality rates, against Pillow's resize with BOX.
// Pillow runs as a child process (python3 with python3-pil) timing its resize alone, after a first
// run that warms it up; it reports real and processor time. Ours run with both cores where they
// use them, and their processor time counts every thread.

#include "../RatioReporter.h"
#include "PhotoPicture.h"

#include "imaging/core/Bitmap.h"
#include "processing/resample/BoxResampler.h"
#include "processing/resample/FilteredStretch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

constexpr int kPillowRuns = 5;

const TBitmap& Large() {
  static const std::unique_ptr<TBitmap> picture = bench::PhotoPicture(6000, 4000);
  return *picture;
}

const TBitmap& Medium() {
  static const std::unique_ptr<TBitmap> picture = bench::PhotoPicture(4000, 3000);
  return *picture;
}

// The PPM files written for Pillow, by picture.
std::map<const TBitmap*, std::string>& Written() {
  static std::map<const TBitmap*, std::string> written;
  return written;
}

// The picture as a binary PPM (red, green, blue) for Pillow, written once per picture.
std::string PpmOf(const TBitmap& picture) {
  std::map<const TBitmap*, std::string>& written = Written();
  if (const auto found = written.find(&picture); found != written.end()) return found->second;
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kestrel-bench-resample-" + std::to_string(getpid()) + "-" +
                             std::to_string(picture.Width()) + ".ppm"))
                               .string();
  bench::WritePpm(picture, path);
  written[&picture] = path;
  return path;
}

struct TChildTimes {
  std::vector<double> Real, Cpu;
};

// Pillow's times for runs resizes of picture; nothing when Pillow cannot be run. Debian's
// python3 carries python3-pil; another python3 first on the path may not.
TChildTimes PillowTimes(const TBitmap& picture, int width, int height, const char* filter,
                        int runs) {
  const char* python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  const std::string command = std::string(python) + " " KESTREL_BENCH_DIR "/pillow_resize.py " +
                              PpmOf(picture) + " " + std::to_string(width) + " " +
                              std::to_string(height) + " " + filter + " " + std::to_string(runs);
  TChildTimes times;
  FILE* child = popen(command.c_str(), "r");
  if (!child) return times;
  double real = 0, cpu = 0;
  while (std::fscanf(child, "%lf %lf", &real, &cpu) == 2) {
    times.Real.push_back(real);
    times.Cpu.push_back(cpu);
  }
  pclose(child);
  return times;
}

void Pillow(benchmark::State& state, const TBitmap& (*picture)(), int width, int height,
            const char* filter) {
  const TChildTimes times =
      PillowTimes(picture(), width, height, filter, static_cast<int>(state.max_iterations));
  if (times.Real.size() != static_cast<size_t>(state.max_iterations)) {
    state.SkipWithError("Pillow could not be run (python3 with python3-pil)");
    return;
  }
  size_t i = 0;
  double cpu = 0;
  for (auto _ : state) {
    state.SetIterationTime(times.Real[i]);
    cpu += times.Cpu[i++];
  }
  state.counters[bench::kChildCpuCounter] =
      benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

void Stretch(benchmark::State& state, TResampleFilter filter) {
  const TBitmap& picture = Large();
  TBitmap out(1500, 1000);
  for (auto _ : state) {
    FilteredStretch(picture, out, filter);
    benchmark::DoNotOptimize(out.ScanLine(0));
  }
}

void Box(benchmark::State& state, int percent, bool quality) {
  const TBitmap& picture = Medium();
  const int width = picture.Width() * percent / 100, height = picture.Height() * percent / 100;
  const TBoxTarget target{
      width, height, ChooseSampleRates(picture.Width(), picture.Height(), width, height, quality),
      clWhite, true};
  TBitmap out;
  for (auto _ : state) {
    BoxResample(picture, out, target);
    benchmark::DoNotOptimize(out.ScanLine(0));
  }
}

BENCHMARK_CAPTURE(Stretch, Lanczos3, TResampleFilter::Lanczos3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Pillow, Lanczos, Large, 1500, 1000, "lanczos")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kPillowRuns)
    ->UseManualTime();
BENCHMARK_CAPTURE(Stretch, Triangle, TResampleFilter::Triangle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Pillow, Bilinear, Large, 1500, 1000, "bilinear")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kPillowRuns)
    ->UseManualTime();
BENCHMARK_CAPTURE(Box, HalfSpeed, 50, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Box, HalfQuality, 50, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Pillow, BoxHalf, Medium, 2000, 1500, "box")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kPillowRuns)
    ->UseManualTime();
BENCHMARK_CAPTURE(Box, DoubleSpeed, 200, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Box, DoubleQuality, 200, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Pillow, BoxDouble, Medium, 8000, 6000, "box")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kPillowRuns)
    ->UseManualTime();

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  const int result =
      kestrel::bench::RunWithRatios(argc, argv,
                                    {{"Stretch/Lanczos3", "Pillow/Lanczos", 0.8},
                                     {"Stretch/Triangle", "Pillow/Bilinear", 1.0},
                                     {"Box/HalfSpeed", "Pillow/BoxHalf", 1.5},
                                     {"Box/HalfQuality", "Pillow/BoxHalf", 1.5},
                                     {"Box/DoubleSpeed", "Pillow/BoxDouble", 1.5},
                                     {"Box/DoubleQuality", "Pillow/BoxDouble", 1.5}});
  for (const auto& [picture, path] : kestrel::Written())
    std::filesystem::remove(path);
  return result;
}
