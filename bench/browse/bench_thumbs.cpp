// The gallery's thumbnails of 200 JPEG photographs of 3000 x 2000 (made once from a fixed seed:
// four different pictures, fifty copies each), 128 pixels, the whole job from the files to the
// written thumbnails, against the peers on the same files in the same run:
// - `kestrel-tool thumbs --threads 1` against Pillow's draft() + thumbnail() in one process
//   (target: at most 1.0, the same rate or better);
// - `kestrel-tool thumbs` with the worker's decoding pool against Pillow in two processes and
//   vipsthumbnail in two processes, each given half the files (target: at most 1.0);
// - vipsthumbnail in one process, for the record;
// - the gallery's own worker in process with its pool (no files written), beside the tool.
// - the shared thumbnail cache: the gallery's worker opening a folder of 500 of these photographs
//   with an empty cache (decoding and storing every thumbnail) against opening it again (every
//   thumbnail read from the cache; goal: 1,000 files a second), ratio second / first.
// Each line reports files per second. Pillow (python3-pil) and vipsthumbnail (libvips-tools) are
// Debian packages; a peer that is missing is left out.

#include "../processing/PhotoPicture.h"
#include "ChildProcess.h"
#include "RatioReporter.h"

#include "browse/thumbs/ThumbCache.h"
#include "browse/thumbs/ThumbFolder.h"
#include "imaging/core/Picture.h"
#include "imaging/jpeg/JpegImage.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {
namespace {

constexpr int kFiles = 200, kKinds = 4, kCachedFiles = 500;
constexpr int kWidth = 3000, kHeight = 2000, kSize = 128;
const char kPython[] = "/usr/bin/python3";
const char kVips[] = "/usr/bin/vipsthumbnail";

struct TPhotos {
  QTemporaryDir Root;
  std::string Folder, Output, Many;
  std::vector<std::string> Paths;
  TPhotos() {
    Folder = Root.filePath("photos").toStdString();
    Output = Root.filePath("out").toStdString();
    QDir().mkpath(QString::fromStdString(Folder));
    QDir().mkpath(QString::fromStdString(Output));
    std::vector<std::string> kinds;
    for (int k = 0; k < kKinds; ++k) {
      kinds.push_back(Folder + "/kind" + std::to_string(k) + ".jpg");
      TJPEGImage jpeg;
      jpeg.SetCompressionQuality(85);
      jpeg.Assign(bench::PhotoPicture(kWidth, kHeight, 20261209u + static_cast<uint32_t>(k)).get());
      jpeg.SaveToFile(kinds.back());
    }
    for (int i = 0; i < kFiles; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i + 1);
      Paths.push_back(Folder + name);
      QFile::copy(QString::fromStdString(kinds[static_cast<size_t>(i % kKinds)]),
                  QString::fromStdString(Paths.back()));
    }
    Many = Root.filePath("many").toStdString();
    QDir().mkpath(QString::fromStdString(Many));
    for (int i = 0; i < kCachedFiles; ++i)
      QFile::copy(QString::fromStdString(kinds[static_cast<size_t>(i % kKinds)]),
                  QString::fromStdString(Many + "/" + std::to_string(100000 + i) + ".jpg"));
    for (const std::string& kind : kinds)
      QFile::remove(QString::fromStdString(kind));
  }
};

const TPhotos& Photos() {
  static const TPhotos photos;
  return photos;
}

void FilesPerSecond(benchmark::State& state) {
  state.counters["files/s"] = benchmark::Counter(static_cast<double>(kFiles),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

std::vector<std::string> Half(int half) {
  const auto& all = Photos().Paths;
  return {all.begin() + half * kFiles / 2, all.begin() + (half + 1) * kFiles / 2};
}

// Pillow as its users make thumbnails: draft() lets libjpeg decode at a reduced scale.
std::vector<std::string> Pillow(const std::vector<std::string>& files) {
  std::vector<std::string> args{
      kPython, "-c",
      "import os, sys\n"
      "from PIL import Image\n"
      "for p in sys.argv[2:]:\n"
      "    im = Image.open(p)\n"
      "    im.draft('RGB', (128, 128))\n"
      "    im.thumbnail((128, 128))\n"
      "    im.save(os.path.join(sys.argv[1], 'p' + os.path.basename(p)), quality=90)\n",
      Photos().Output};
  args.insert(args.end(), files.begin(), files.end());
  return args;
}

std::vector<std::string> Vips(const std::vector<std::string>& files) {
  std::vector<std::string> args{kVips, "-s", std::to_string(kSize), "-o",
                                Photos().Output + "/v%s.jpg"};
  args.insert(args.end(), files.begin(), files.end());
  return args;
}

std::vector<std::string> Tool(int threads) {
  return {KESTREL_TOOL,    "thumbs",
          Photos().Folder, Photos().Output,
          "--size",        std::to_string(kSize),
          "--format",      "jpg",
          "--quality",     "90",
          "--threads",     std::to_string(threads)};
}

bool Present(const char* program) {
  return ::access(program, X_OK) == 0;
}

void ToolOneThread(benchmark::State& state) {
  bench::RunChild(state, Tool(1));
  FilesPerSecond(state);
}

void ToolPool(benchmark::State& state) {
  bench::RunChild(state, Tool(2));
  FilesPerSecond(state);
}

void PillowOneProcess(benchmark::State& state) {
  if (!Present(kPython)) return state.SkipWithError("python3-pil missing");
  bench::RunChild(state, Pillow(Photos().Paths));
  FilesPerSecond(state);
}

void PillowTwoProcesses(benchmark::State& state) {
  if (!Present(kPython)) return state.SkipWithError("python3-pil missing");
  bench::RunChildren(state, {Pillow(Half(0)), Pillow(Half(1))});
  FilesPerSecond(state);
}

void VipsOneProcess(benchmark::State& state) {
  if (!Present(kVips)) return state.SkipWithError("libvips-tools missing");
  bench::RunChild(state, Vips(Photos().Paths));
  FilesPerSecond(state);
}

void VipsTwoProcesses(benchmark::State& state) {
  if (!Present(kVips)) return state.SkipWithError("libvips-tools missing");
  bench::RunChildren(state, {Vips(Half(0)), Vips(Half(1))});
  FilesPerSecond(state);
}

// The gallery's worker over the names of folder: tiles handed to this thread in order; the number
// of tiles made.
int RunWorker(const std::string& folder, const std::shared_ptr<const TThumbCache>& cache) {
  std::vector<std::string> names;
  for (const QString& name : QDir(QString::fromStdString(folder)).entryList(QDir::Files))
    names.push_back(name.toStdString());
  TThumbFolder worker;
  worker.Folder = folder + "/";
  worker.Options.Size = kSize;
  worker.MaximumCount = INT_MAX;
  worker.Cache = cache;
  worker.Reader = [](const std::string& path) {
    std::unique_ptr<TGraphic> graphic = TPicture::FindFileFormat(path)->Create();
    graphic->LoadFromFile(path);
    return graphic;
  };
  worker.CollectNames(names);
  int tiles = 0;
  worker.OnThumbnail = [&tiles](const TThumbDelivery& delivery) {
    tiles += delivery.Code == tcNone;
  };
  QEventLoop loop;
  worker.OnFinished = [&loop] { loop.quit(); };
  worker.Start();
  loop.exec();
  return tiles;
}

// Nothing written.
void WorkerInProcess(benchmark::State& state) {
  for (auto _ : state)
    if (RunWorker(Photos().Folder, nullptr) != kFiles) state.SkipWithError("tiles missing");
  FilesPerSecond(state);
}

// The cache the first opening filled, for the second.
std::unique_ptr<QTemporaryDir> filledCache;

void CacheFirstOpening(benchmark::State& state) {
  for (auto _ : state) {
    filledCache = std::make_unique<QTemporaryDir>();
    const auto cache = std::make_shared<TThumbCache>(filledCache->path());
    if (RunWorker(Photos().Many, cache) != kCachedFiles) state.SkipWithError("tiles missing");
  }
  state.counters["files/s"] = benchmark::Counter(static_cast<double>(kCachedFiles),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void CacheSecondOpening(benchmark::State& state) {
  if (!filledCache) return state.SkipWithError("the first opening did not run");
  const auto cache = std::make_shared<TThumbCache>(filledCache->path());
  for (auto _ : state)
    if (RunWorker(Photos().Many, cache) != kCachedFiles) state.SkipWithError("tiles missing");
  state.counters["files/s"] = benchmark::Counter(static_cast<double>(kCachedFiles),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(ToolOneThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PillowOneProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(VipsOneProcess)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ToolPool)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PillowTwoProcesses)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(VipsTwoProcesses)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WorkerInProcess)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(CacheFirstOpening)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(CacheSecondOpening)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv); // fonts for error tiles
  kestrel::Photos();
  return kestrel::bench::RunWithRatios(argc, argv,
                                       {{"ToolOneThread", "PillowOneProcess", 1.0},
                                        {"ToolPool", "PillowTwoProcesses", 1.0},
                                        {"ToolPool", "VipsTwoProcesses", 1.0},
                                        {"ToolPool", "VipsOneProcess", 1.0},
                                        {"CacheSecondOpening", "CacheFirstOpening", 0.1}});
}
