// Turning a 6000 x 4000 true-colour picture by 30 degrees, against the quarter turn of the same
// picture (the target: at most three times its time), and, for context, against ImageMagick's
// convert -rotate 30 and vips rotate 30 on the same pixels. The peers run as child processes; each
// is timed over the whole command, less the same command copying the picture without turning it,
// so what is left is the turn (their reading and writing cancel out). Ours runs with both cores.

#include "../RatioReporter.h"
#include "PhotoPicture.h"

#include "imaging/core/Bitmap.h"
#include "processing/rotate/Rotation.h"
#include "processing/transform/BitmapTransform.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kestrel {
namespace {

constexpr int kPeerRuns = 3;

const TBitmap& Picture() {
  static const std::unique_ptr<TBitmap> picture = bench::PhotoPicture(6000, 4000);
  return *picture;
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("kestrel-bench-rotate-" + std::to_string(getpid()) + "-" + name))
      .string();
}

bool ppmWritten = false;

// The picture as a binary PPM, written once.
const std::string& PpmFile() {
  static const std::string path = [] {
    ppmWritten = true;
    const std::string file = TempPath("in.ppm");
    bench::WritePpm(Picture(), file);
    return file;
  }();
  return path;
}

struct TChildTime {
  double Real = -1; // seconds; negative when the command failed
  double Cpu = 0;   // of the child and its threads
};

TChildTime RunChild(const std::string& command) {
  rusage before{}, after{};
  getrusage(RUSAGE_CHILDREN, &before);
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  const double real =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  getrusage(RUSAGE_CHILDREN, &after);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return {real, seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) -
                    seconds(before.ru_stime)};
}

// A peer's turn: the command with the turn, less the same command without it.
void Peer(benchmark::State& state, const char* prepare, const char* copy, const char* turn) {
  const std::string in = PpmFile();
  const std::string native = TempPath(prepare);
  const std::string out = TempPath(std::string("out-") + prepare);
  const auto fill = [&](const char* pattern) {
    std::string command = pattern;
    for (const auto& [key, value] : {std::pair{"IN", in}, {"NATIVE", native}, {"OUT", out}})
      for (size_t at; (at = command.find(key)) != std::string::npos;)
        command.replace(at, std::string(key).size(), value);
    return command;
  };
  // The picture in the peer's own format, so that reading it costs next to nothing.
  if (RunChild(fill(prepare == std::string("mpc") ? "/usr/bin/convert IN NATIVE.mpc"
                                                  : "vips copy IN NATIVE.v"))
          .Real < 0) {
    state.SkipWithError("the peer could not be run");
    return;
  }
  double cpu = 0;
  for (auto _ : state) {
    const TChildTime plain = RunChild(fill(copy));
    const TChildTime turned = RunChild(fill(turn));
    if (plain.Real < 0 || turned.Real < 0) {
      state.SkipWithError("the peer failed");
      break;
    }
    state.SetIterationTime(std::max(turned.Real - plain.Real, 1e-6));
    cpu += std::max(turned.Cpu - plain.Cpu, 1e-6);
  }
  state.counters[bench::kChildCpuCounter] =
      benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
  for (const char* suffix : {".mpc", ".cache", ".v"}) {
    std::filesystem::remove(native + suffix);
    std::filesystem::remove(out + suffix);
  }
}

void Rotate30(benchmark::State& state) {
  const TBitmap& picture = Picture();
  TBitmap turned;
  for (auto _ : state) {
    RotateBitmap(picture, turned, 30, clWhite);
    benchmark::DoNotOptimize(turned.ScanLine(0));
  }
}

void Rotate30OneThread(benchmark::State& state) {
  const TBitmap& picture = Picture();
  TBitmap turned;
  for (auto _ : state) {
    RotateBitmap(picture, turned, 30, clWhite, 1);
    benchmark::DoNotOptimize(turned.ScanLine(0));
  }
}

void QuarterTurn(benchmark::State& state) {
  TBitmap bitmap;
  bitmap.Assign(&Picture());
  for (auto _ : state) {
    ApplyBitmapTransform(bitmap, TBitmapTransform::RotateClockwise);
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
  }
}

BENCHMARK(Rotate30)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(Rotate30OneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(QuarterTurn)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Peer, Convert, "mpc", "/usr/bin/convert NATIVE.mpc OUT.mpc",
                  "/usr/bin/convert NATIVE.mpc -rotate 30 OUT.mpc")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kPeerRuns)
    ->UseManualTime();
BENCHMARK_CAPTURE(Peer, Vips, "v", "vips copy NATIVE.v OUT.v", "vips rotate NATIVE.v OUT.v 30")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kPeerRuns)
    ->UseManualTime();

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  kestrel::Picture(); // made once, before anything is timed
  const int result = kestrel::bench::RunWithRatios(argc, argv,
                                                   {{"Rotate30", "QuarterTurn", 3.0},
                                                    {"Rotate30OneThread", "QuarterTurn", 6.0},
                                                    {"Rotate30", "Peer/Convert", 1.0},
                                                    {"Rotate30", "Peer/Vips", 1.0}});
  if (kestrel::ppmWritten) std::filesystem::remove(kestrel::PpmFile());
  return result;
}
