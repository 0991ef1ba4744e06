// The file operations against the system's own tools in the same run: copying one big file
// (2 GB unless KESTREL_BENCH_COPY_MB says otherwise) against `cp`, the two taking turns round by
// round on a disk that has written out the copy before, and moving 1,000 files to the
// Trash against `gio trash` on the same files (or `mv` into the Trash folder where gio is
// missing). Ours runs through the engine the windows use, work thread and all, with the UI thread
// processing events meanwhile: the longest gap between two ticks of a 10 ms timer is reported as
// ui_gap_ms (it must stay under 100 ms). The files live in KESTREL_BENCH_DIR, else the temporary
// folder; the Trash is a temporary one. Processor time is counted for the whole process on our
// side (the work runs on a thread of its own) and for the child on the tools' side.

#include "../RatioReporter.h"

#include "app/fileops/FileOperations.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace kestrel {
namespace {

constexpr int kTrashCount = 1000;

QString BenchFolder() {
  const QString chosen = qEnvironmentVariable("KESTREL_BENCH_DIR");
  return chosen.isEmpty() ? QDir::tempPath() : chosen;
}

qint64 CopyBytes() {
  bool ok = false;
  const qint64 megabytes = qEnvironmentVariableIntValue("KESTREL_BENCH_COPY_MB", &ok);
  return (ok && megabytes > 0 ? megabytes : 2048) << 20;
}

// Processor time (user and system) so far of this process (RUSAGE_SELF, every thread) or of its
// children that ended (RUSAGE_CHILDREN), in seconds.
double CpuSeconds(int who) {
  struct rusage usage {};
  ::getrusage(who, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Times one piece of work: its real time and the processor time of who.
struct TTimed {
  double Real = 0, Cpu = 0;
};

template <typename Work> TTimed Timed(int who, Work&& work) {
  const double cpu = CpuSeconds(who);
  QElapsedTimer clock;
  clock.start();
  work();
  return {clock.nsecsElapsed() / 1e9, CpuSeconds(who) - cpu};
}

void RunTool(const QString& program, const QStringList& arguments) {
  QProcess tool;
  tool.start(program, arguments);
  if (!tool.waitForFinished(-1) || tool.exitCode() != 0)
    std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                 tool.readAllStandardError().constData());
}

// One big file of varied bytes, made once and read once so that both copies find it cached alike.
class TBigFile {
public:
  TBigFile() : Dir(BenchFolder() + "/kestrel-bench-XXXXXX") {
    QFile file(Source());
    file.open(QIODevice::WriteOnly);
    QByteArray block(8 << 20, '\0');
    for (qsizetype i = 0; i < block.size(); ++i)
      block[i] = char((i * 2654435761u) >> 13);
    for (qint64 written = 0; written < CopyBytes(); written += block.size())
      file.write(block);
    // On disk before either copy starts, so that neither pays for writing it out.
    file.flush();
    ::fsync(file.handle());
    file.close();
    file.open(QIODevice::ReadOnly);
    while (!file.read(block.size()).isEmpty()) {
    }
  }
  QString Source() const { return Dir.filePath("big.bin"); }
  QString Target() const { return Dir.filePath("copy.bin"); }
  QString Folder() const { return Dir.path() + "/into"; }

private:
  QTemporaryDir Dir;
};

TBigFile& BigFile() {
  static TBigFile file;
  return file;
}

// The files to trash, made afresh (not timed) for each round, and an empty Trash.
class TTrashRound {
public:
  TTrashRound() : Dir(BenchFolder() + "/kestrel-bench-XXXXXX") {
    qputenv("XDG_DATA_HOME", QFile::encodeName(Dir.filePath("data")));
    QDir().mkpath(Dir.filePath("files"));
  }
  QStringList MakeFiles() {
    QDir(Dir.filePath("data/Trash")).removeRecursively();
    QStringList paths;
    for (int i = 0; i < kTrashCount; ++i) {
      const QString path = Dir.filePath(QString("files/picture %1.jpg").arg(i, 4, 10, QChar('0')));
      QFile file(path);
      file.open(QIODevice::WriteOnly);
      file.write("x");
      paths << path;
    }
    return paths;
  }
  QString TrashFiles() const { return Dir.filePath("data/Trash/files"); }

private:
  QTemporaryDir Dir;
};

// The longest time between two ticks of a 10 ms timer while an operation runs.
class TGapWatch {
public:
  TGapWatch() {
    Timer.setInterval(10);
    QObject::connect(&Timer, &QTimer::timeout, [this] { Tick(); });
    Timer.start();
  }
  void Start() {
    Clock.start();
    Active = true;
  }
  void Stop() {
    Tick();
    Active = false;
  }
  qint64 Longest = 0;

private:
  void Tick() {
    if (Active) Longest = std::max(Longest, Clock.restart());
  }
  QTimer Timer;
  QElapsedTimer Clock;
  bool Active = false;
};

// Removes a copy and lets the disk write out what the copy left, so the next copy starts alike.
void Clean(const QString& copy) {
  QFile::remove(copy);
  ::sync();
}

// Both copies, taking turns (ours first in even rounds, cp first in odd ones) so that neither
// meets a busier disk or page cache than the other; each side copies once untimed first.
struct TCopyDuel {
  std::vector<TTimed> Ours, Cp; // per round
  qint64 Gap = 0;               // the longest the UI thread went without events during ours
};

constexpr int kCopyRounds = 4;

TCopyDuel RunCopyDuel() {
  TBigFile& big = BigFile();
  QDir().mkpath(big.Folder());
  const QString ours = big.Folder() + "/big.bin";
  QWidget window;
  TGapWatch gaps;
  TCopyDuel duel;
  auto runOurs = [&](std::vector<TTimed>* times) {
    gaps.Start();
    TOperationResult result;
    const TTimed timed = Timed(
        RUSAGE_SELF, [&] { result = TFileOperations(&window).Copy({big.Source()}, big.Folder()); });
    gaps.Stop();
    if (times) times->push_back(timed);
    if (result.Done.size() != 1) std::fprintf(stderr, "the copy failed\n");
    Clean(ours);
  };
  auto runCp = [&](std::vector<TTimed>* times) {
    const TTimed timed = Timed(RUSAGE_CHILDREN, [&] {
      RunTool("cp", {big.Source(), big.Target()});
    });
    if (times) times->push_back(timed);
    Clean(big.Target());
  };
  ::sync();
  runOurs(nullptr);
  runCp(nullptr);
  for (int round = 0; round < kCopyRounds; ++round) {
    if (round % 2 == 0) {
      runOurs(&duel.Ours);
      runCp(&duel.Cp);
    } else {
      runCp(&duel.Cp);
      runOurs(&duel.Ours);
    }
  }
  duel.Gap = gaps.Longest;
  return duel;
}

const TCopyDuel& CopyDuel() {
  static const TCopyDuel duel = RunCopyDuel();
  return duel;
}

void Report(benchmark::State& state, const std::vector<TTimed>& times) {
  size_t round = 0;
  double cpu = 0;
  for (auto _ : state) {
    state.SetIterationTime(times.at(round).Real);
    cpu += times.at(round++).Cpu;
  }
  state.SetBytesProcessed(state.iterations() * CopyBytes());
  state.counters[bench::kChildCpuCounter] =
      benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

void CopyOneFile(benchmark::State& state) {
  Report(state, CopyDuel().Ours);
  state.counters["ui_gap_ms"] = double(CopyDuel().Gap);
}

void CopyOneFileWithCp(benchmark::State& state) {
  Report(state, CopyDuel().Cp);
}

void TrashFiles(benchmark::State& state) {
  TTrashRound round;
  QWidget window;
  TGapWatch gaps;
  double cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QStringList paths = round.MakeFiles();
    state.ResumeTiming();
    gaps.Start();
    TOperationResult result;
    cpu += Timed(RUSAGE_SELF, [&] { result = TFileOperations(&window).Trash(paths); }).Cpu;
    gaps.Stop();
    if (result.Done.size() != kTrashCount) state.SkipWithError("some files stayed");
  }
  state.counters["ui_gap_ms"] = double(gaps.Longest);
  state.counters[bench::kChildCpuCounter] =
      benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

void TrashFilesReference(benchmark::State& state) {
  TTrashRound round;
  const bool gio = !QStandardPaths::findExecutable("gio").isEmpty();
  double cpu = 0;
  state.SetLabel(gio ? "gio trash" : "mv into the Trash folder");
  for (auto _ : state) {
    state.PauseTiming();
    const QStringList paths = round.MakeFiles();
    QDir().mkpath(round.TrashFiles());
    state.ResumeTiming();
    cpu += Timed(RUSAGE_CHILDREN, [&] {
             if (gio)
               RunTool("gio", QStringList{"trash", "--"} + paths);
             else
               RunTool("mv", QStringList{"--"} + paths + QStringList{round.TrashFiles()});
           }).Cpu;
  }
  state.counters[bench::kChildCpuCounter] =
      benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

BENCHMARK(CopyOneFile)->Unit(benchmark::kMillisecond)->Iterations(kCopyRounds)->UseManualTime();
BENCHMARK(CopyOneFileWithCp)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kCopyRounds)
    ->UseManualTime();
BENCHMARK(TrashFiles)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(TrashFilesReference)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  return kestrel::bench::RunWithRatios(
      argc, argv,
      {{"CopyOneFile", "CopyOneFileWithCp", 1.1}, {"TrashFiles", "TrashFilesReference", 2.0}});
}
