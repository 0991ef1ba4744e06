// Reading a folder of 20,000 files into the file list with the mask of the picture extensions,
// against a bare scan of the same folder with the same pattern match, in the same run. The file
// list adds attributes, sorting, the list model and the hand-over from its worker thread; the
// target is at most 1.5 times the bare scan.

#include "browse/filelists/FListBox.h"
#include "platform/files/FileMask.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <dirent.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const char kMask[] = "*.bmp;*.ico;*.wmf;*.emf;*.jpg;*.gif;*.png;*.tif;*.vst;*.tga;*.afi;*.pcc;"
                     "*.pcx;*.dcx;*.jpe;*.wav;";
constexpr int kFiles = 20000;

QString& Folder() {
  static QString folder;
  return folder;
}

void MakeFolder(const QString& path) {
  const char* extensions[] = {"jpg", "PNG", "gif", "bmp", "txt", "tif", "doc", "pcx"};
  for (int i = 0; i < kFiles; ++i) {
    QFile file(
        QString("%1/picture %2.%3").arg(path).arg(i, 5, 10, QChar('0')).arg(extensions[i % 8]));
    file.open(QIODevice::WriteOnly);
  }
}

void BareScan(benchmark::State& state) {
  const kestrel::TFileMask mask(kMask);
  const QByteArray path = QFile::encodeName(Folder());
  for (auto _ : state) {
    std::vector<std::string> names;
    DIR* folder = ::opendir(path.constData());
    while (const dirent* entry = ::readdir(folder))
      for (int n = mask.Matches(entry->d_name); n > 0; --n)
        names.emplace_back(entry->d_name);
    ::closedir(folder);
    benchmark::DoNotOptimize(names.data());
    state.counters["files"] = double(names.size());
  }
}

void FileList(benchmark::State& state) {
  kestrel::TFListBox list;
  list.SetMask(kMask);
  list.SetDirectory(Folder());
  list.FinishReading();
  for (auto _ : state) {
    list.ReadFileNames();
    list.FinishReading();
    state.counters["files"] = list.Count();
  }
}

// Keeps each benchmark's time per iteration for the ratio.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      RealTimes[run.run_name.function_name] = run.GetAdjustedRealTime();
      CpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> RealTimes;
  std::map<std::string, double> CpuTimes;
};

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir folder;
  Folder() = folder.path();
  MakeFolder(Folder());
  benchmark::RegisterBenchmark("bare scan with the mask", BareScan)
      ->Unit(benchmark::kMillisecond)
      ->MeasureProcessCPUTime()
      ->UseRealTime();
  // The reading runs on a worker thread: its work counts in the process's CPU time.
  benchmark::RegisterBenchmark("file list read", FileList)
      ->Unit(benchmark::kMillisecond)
      ->MeasureProcessCPUTime()
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // Elapsed time is the user's measure; on a busy machine the hand-over to the worker waits for a
  // core, so the work done (CPU time of the whole process) is printed beside it.
  const char* bare = "bare scan with the mask";
  const char* list = "file list read";
  if (reporter.RealTimes[bare] > 0 && reporter.CpuTimes[bare] > 0) {
    std::printf("ratio file list / bare scan: %.2f elapsed, %.2f work (target <= 1.5)\n",
                reporter.RealTimes[list] / reporter.RealTimes[bare],
                reporter.CpuTimes[list] / reporter.CpuTimes[bare]);
  }
  benchmark::Shutdown();
  return 0;
}
