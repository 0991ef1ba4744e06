// Decoding speed of PC Paintbrush and Targa files against a memcpy of the decoded bytes, in one
// run. The pictures are 4000 x 3000 in three kinds: "drawing" (flat areas and shapes: long runs),
// "gradient" (smooth shading: runs of a few pixels) and "noise" (a dithered photograph: hardly a
// run, and a quarter of the bytes need a count byte in PC Paintbrush coding).
//
// Prints "ratio" lines: memcpy time / decoding time in CPU time (1 would be as fast as copying the
// pixels; the target is at least 0.25). CPU time, because the machine may be shared.

#include "imaging/core/DibGraphic.h"
#include "imaging/core/Stream.h"
#include "imaging/pcx/PcxGraphic.h"
#include "imaging/tga/TgaGraphic.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace kestrel;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

enum class TContent { Drawing, Gradient, Noise };
constexpr std::pair<TContent, const char*> kContents[] = {
    {TContent::Drawing, "drawing"}, {TContent::Gradient, "gradient"}, {TContent::Noise, "noise"}};

uint8_t Channel(TContent content, int x, int y, int c, uint32_t& noise) {
  switch (content) {
  case TContent::Drawing: {
    const bool inShape = ((x / 250) + (y / 200)) % 3 == 0 || (x - 2000) * (x - 2000) < 90000;
    return static_cast<uint8_t>(inShape ? 40 + 60 * c : 230 - 50 * c);
  }
  case TContent::Gradient:
    return static_cast<uint8_t>((x / 5 + y / 7 + 37 * c) & 0xFF);
  case TContent::Noise:
    break;
  }
  noise = noise * 1664525u + 1013904223u;
  return static_cast<uint8_t>(noise >> 24);
}

void Paint(TDibGraphic& picture, TImageFormat format, TContent content) {
  picture.NewImage(kWidth, kHeight, format, nullptr, 96, 96);
  uint32_t noise = 12345;
  const int bytes = format == ifTrueColor ? 3 : 1;
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < kWidth; ++x)
      for (int c = 0; c < bytes; ++c)
        row[bytes * x + c] = Channel(content, x, y, c, noise);
  }
}

// A Targa file of the picture, run-length coded (the writer stores plain rows): packets of
// repeated pixels where at least two pixels repeat, literal packets elsewhere.
std::vector<uint8_t> RunLengthTarga(const TDibGraphic& picture) {
  std::vector<uint8_t> file = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int v : {kWidth, kHeight})
    file.insert(file.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
  file.insert(file.end(), {24, 0});
  for (int y = kHeight - 1; y >= 0; --y) {
    const uint8_t* row = picture.ScanLine(y);
    int x = 0;
    while (x < kWidth) {
      int run = 1;
      while (x + run < kWidth && run < 128 && std::memcmp(row + 3 * x, row + 3 * (x + run), 3) == 0)
        ++run;
      if (run > 1) {
        file.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
        file.insert(file.end(), row + 3 * x, row + 3 * x + 3);
        x += run;
        continue;
      }
      int literal = 1;
      while (x + literal < kWidth && literal < 128 &&
             std::memcmp(row + 3 * (x + literal - 1), row + 3 * (x + literal), 3) != 0)
        ++literal;
      file.push_back(static_cast<uint8_t>(literal - 1));
      file.insert(file.end(), row + 3 * x, row + 3 * (x + literal));
      x += literal;
    }
  }
  return file;
}

struct EncodedFile {
  std::vector<uint8_t> File;
  size_t DecodedBytes = 0;
};

const std::map<std::string, EncodedFile>& Files() {
  static const std::map<std::string, EncodedFile> files = [] {
    std::map<std::string, EncodedFile> made;
    for (auto [content, kind] : kContents) {
      for (auto [name, format] : {std::pair{"pcx8", ifColor256}, {"pcx24", ifTrueColor}}) {
        TPcxGraphic picture;
        Paint(picture, format, content);
        TMemoryStream stream;
        picture.SaveToStream(stream);
        made[std::string(name) + "/" + kind] = {
            stream.Bytes(), static_cast<size_t>(picture.BytesPerLine()) * kHeight};
      }
      TTgaGraphic picture;
      Paint(picture, ifTrueColor, content);
      made[std::string("tga24rle/") + kind] = {
          RunLengthTarga(picture), static_cast<size_t>(picture.BytesPerLine()) * kHeight};
    }
    return made;
  }();
  return files;
}

template <class T> void Decode(benchmark::State& state, std::string name) {
  const EncodedFile& file = Files().at(name);
  T picture;
  for (auto _ : state) {
    TSpanStream stream(file.File.data(), file.File.size());
    picture.LoadFromStream(stream);
    benchmark::DoNotOptimize(picture.Bits());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.DecodedBytes));
}

void Copy(benchmark::State& state, std::string name) {
  const size_t bytes = Files().at(name).DecodedBytes;
  std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Keeps each benchmark's CPU time per iteration while printing as usual.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const char* formats[] = {"pcx8", "pcx24", "tga24rle"};
  for (const char* format : formats) {
    const std::string drawing = std::string(format) + "/drawing";
    benchmark::RegisterBenchmark(("memcpy/" + std::string(format)).c_str(), Copy, drawing)
        ->Unit(benchmark::kMillisecond);
    for (auto [content, kind] : kContents) {
      const std::string name = std::string(format) + "/" + kind;
      if (std::string(format) == "tga24rle")
        benchmark::RegisterBenchmark(("decode/" + name).c_str(), Decode<TTgaGraphic>, name)
            ->Unit(benchmark::kMillisecond);
      else
        benchmark::RegisterBenchmark(("decode/" + name).c_str(), Decode<TPcxGraphic>, name)
            ->Unit(benchmark::kMillisecond);
    }
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* format : formats)
    for (auto [content, kind] : kContents) {
      const std::string name = std::string(format) + "/" + kind;
      const auto copy = reporter.times.find("memcpy/" + std::string(format));
      const auto decode = reporter.times.find("decode/" + name);
      if (copy == reporter.times.end() || decode == reporter.times.end()) continue;
      std::printf("ratio %-18s memcpy / decode = %.3f (target >= 0.25; file %zu bytes)\n",
                  name.c_str(), copy->second / decode->second, Files().at(name).File.size());
    }
  benchmark::Shutdown();
  return 0;
}
