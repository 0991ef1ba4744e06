// Starting the viewer, as a process the way a user starts it, on settings files of different
// sizes and shapes, each start in a fresh environment. The viewer is given a file that does not
// exist: its "Does Not Exist" message, written to the message log, marks the end of the start.
// It starts on the display DISPLAY names (run under Xvfb for a display of its own), or offscreen
// when there is none, which leaves out the display's share of a start.
//
// References in the same run: a start on an empty store (the first run) and a start on the store a
// first run leaves (the program's own values). Targets:
// - a 1 MB file costs at most 2x a start on an empty store (ratio <= 2.00), whatever fills it:
//   many values in one key, a long binary value in wrapped form, deep key paths; the ratios to
//   the store it grew from are printed as well;
// - a 55 MB file starts in at most 3 s;
// - a start reads the file in full at most 3 times (counted from the bytes the process reads);
// - closing, which writes the file, costs at most 2x on a 1 MB file what it costs on the program's
//   own values, and at most 3 s on a 55 MB file.

#include "RatioReporter.h"

#include "app/main/KestrelMain.h"
#include "platform/paths/Paths.h"
#include "platform/registry/RegistryDocument.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <thread>

using namespace kestrel;

namespace {

constexpr qint64 kOneMegabyte = 1 << 20;
constexpr qint64 kLargeStore = 55 * kOneMegabyte;
const QByteArray kHeader = "Windows Registry Editor Version 5.00\n";

// The folders of one start: settings, cache, runtime and home of their own, and the message log.
class TFreshEnvironment {
public:
  explicit TFreshEnvironment(const QByteArray& store) {
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "HOME"}) {
      const QString folder = root_.path() + "/" + QString(name).toLower();
      QDir().mkpath(folder);
      QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      qputenv(name, QFile::encodeName(folder));
      environment_.insert(name, folder);
    }
    // On the display DISPLAY names, as a user starts it; without one, offscreen.
    if (environment_.contains("DISPLAY"))
      environment_.remove("QT_QPA_PLATFORM");
    else
      environment_.insert("QT_QPA_PLATFORM", "offscreen");
    environment_.insert("KESTREL_MESSAGE_LOG", Log());
    if (store.isEmpty()) return;
    QDir().mkpath(QFileInfo(SettingsFileName()).path());
    QFile file(SettingsFileName());
    if (file.open(QIODevice::WriteOnly)) file.write(store);
  }
  const QProcessEnvironment& Environment() const { return environment_; }
  QString Log() const { return root_.path() + "/messages.log"; }
  QString Missing() const { return root_.path() + "/missing.bmp"; }

private:
  QTemporaryDir root_;
  QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
};

// The processor time the viewer process has used so far, in seconds (the scheduler's own count,
// in nanoseconds).
double ProcessorTimeOf(qint64 pid) {
  QFile schedstat(QString("/proc/%1/schedstat").arg(pid));
  if (!schedstat.open(QIODevice::ReadOnly)) return 0;
  return schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
}

// What the viewer process has read so far.
qint64 BytesReadBy(qint64 pid) {
  QFile io(QString("/proc/%1/io").arg(pid));
  if (!io.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : io.readAll().split('\n'))
    if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
  return -1;
}

// The store a first start and close leave behind.
const QByteArray& ProgramValues() {
  static const QByteArray values = [] {
    TFreshEnvironment first({});
    TKestrelMain main(QStringList{"kestrel"});
    main.FormCreate();
    main.FinishStart();
    main.close();
    QFile file(SettingsFileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }();
  return values;
}

// Stores grown by other data to about size bytes, each shape one of those that once took minutes.
QByteArray ValuesInOneKey(qint64 size) {
  QByteArray text = "\n[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\Imported]\n";
  for (int n = 0; text.size() < size; ++n)
    text += "\"Value " + QByteArray::number(n) + "\"=\"C:\\\\Photos\\\\2001\\\\" +
            QByteArray::number(n * 7919) + ".jpg\"\n";
  return text;
}

QByteArray WrappedBinary(qint64 size) {
  TRegistryDocument document;
  const QString key = "Software\\Brackwell\\Kestrel\\Blob";
  document.CreateKey(TRootKey::CurrentUser, key);
  // Each byte takes three characters and a little wrapping.
  QByteArray bytes(size / 3 - 100, '\0');
  for (qsizetype i = 0; i < bytes.size(); ++i)
    bytes[i] = char(i * 31);
  document.SetValue(TRootKey::CurrentUser, key, "Data", TRegValue{kRegBinary, {}, 0, bytes},
                    nullptr);
  return document.Serialize().mid(kHeader.size());
}

QByteArray DeepKeys(qint64 size) {
  QByteArray text;
  for (int n = 0; text.size() < size; ++n) {
    text += "\n[HKEY_CURRENT_USER\\Software\\Deep" + QByteArray::number(n);
    text += QByteArray("\\level").repeated(TRegistryDocument::kMaxKeyDepth - 3) + "]\n";
    text += "\"Value\"=dword:0000002a\n";
  }
  return text;
}

// Years of use: many sections of values, some long binary ones among them.
QByteArray Mixed(qint64 size) {
  QByteArray text;
  for (int section = 0; text.size() < size; ++section) {
    text += "\n[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\Section " +
            QByteArray::number(section) + "]\n";
    for (int n = 0; n < 1000; ++n)
      text += "\"Value " + QByteArray::number(n) +
              "\"=dword:" + QByteArray::number(n * 7919, 16).rightJustified(8, '0') + "\n";
    if (section % 20 == 0) text += WrappedBinary(300000);
  }
  return text;
}

std::map<std::string, double> readsPerStart;
std::map<std::string, double> processorPerStart; // seconds, the mean of the runs

void Start(benchmark::State& state, const char* name, const QByteArray& store) {
  qint64 bytes = 0;
  double processor = 0;
  for (auto _ : state) {
    TFreshEnvironment environment(store);
    QProcess viewer;
    viewer.setProcessEnvironment(environment.Environment());
    const auto begin = std::chrono::steady_clock::now();
    viewer.start(KESTREL_VIEWER, {environment.Missing()});
    viewer.waitForStarted();
    while (QFileInfo(environment.Log()).size() == 0 && viewer.state() == QProcess::Running)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    state.SetIterationTime(elapsed.count());
    bytes = BytesReadBy(viewer.processId());
    processor += ProcessorTimeOf(viewer.processId());
    viewer.kill();
    viewer.waitForFinished();
  }
  state.counters["bytes read"] = double(bytes);
  state.counters["viewer cpu ms"] = 1e3 * processor / double(state.iterations());
  readsPerStart[name] = double(bytes);
  processorPerStart[name] = processor / double(state.iterations());
}

void EmptyStore(benchmark::State& state) {
  Start(state, "EmptyStore", {});
}
void UsedStore(benchmark::State& state) {
  Start(state, "UsedStore", ProgramValues());
}
void FirstRunOnOneMegabyteInOneKey(benchmark::State& state) {
  Start(state, "FirstRunOnOneMegabyteInOneKey", kHeader + ValuesInOneKey(kOneMegabyte));
}
void OneMegabyteInOneKey(benchmark::State& state) {
  Start(state, "OneMegabyteInOneKey", ProgramValues() + ValuesInOneKey(kOneMegabyte));
}
void OneMegabyteWrappedBinary(benchmark::State& state) {
  Start(state, "OneMegabyteWrappedBinary", ProgramValues() + WrappedBinary(kOneMegabyte));
}
void OneMegabyteDeepKeys(benchmark::State& state) {
  Start(state, "OneMegabyteDeepKeys", ProgramValues() + DeepKeys(kOneMegabyte));
}
void FiftyFiveMegabytes(benchmark::State& state) {
  Start(state, "FiftyFiveMegabytes", ProgramValues() + Mixed(kLargeStore));
}

// Closing the main window, which writes its values once, in this process: the close alone is
// timed. Closing on a store of 20,000 values in one key once took more than a minute.
void Close(benchmark::State& state, const QByteArray& store) {
  for (auto _ : state) {
    state.PauseTiming();
    TFreshEnvironment environment(store);
    auto main = std::make_unique<TKestrelMain>(QStringList{"kestrel"});
    main->FormCreate();
    main->FinishStart();
    state.ResumeTiming();
    main->close();
    state.PauseTiming();
    main.reset();
    state.ResumeTiming();
  }
}
void CloseOnUsedStore(benchmark::State& state) {
  Close(state, ProgramValues());
}
void CloseOnOneMegabyteInOneKey(benchmark::State& state) {
  Close(state, ProgramValues() + ValuesInOneKey(kOneMegabyte));
}
void CloseOnFiftyFiveMegabytes(benchmark::State& state) {
  Close(state, ProgramValues() + Mixed(kLargeStore));
}

BENCHMARK(EmptyStore)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(UsedStore)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(FirstRunOnOneMegabyteInOneKey)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
BENCHMARK(OneMegabyteInOneKey)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(OneMegabyteWrappedBinary)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(OneMegabyteDeepKeys)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(FiftyFiveMegabytes)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(CloseOnUsedStore)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(CloseOnOneMegabyteInOneKey)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(CloseOnFiftyFiveMegabytes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Messages the start may give are written, not shown.
  qputenv("KESTREL_MESSAGE_LOG", "/dev/null");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  bench::TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // The real time of a start and the processor time the viewer used in it: on a machine shared
  // with other work the real time also counts waiting for a processor, which the other leaves out.
  const auto ratio = [&](const char* name, const char* reference) {
    const double subject = reporter.RealTime(name), base = reporter.RealTime(reference);
    if (subject <= 0 || base <= 0 || processorPerStart[reference] <= 0) return;
    const double real = subject / base;
    const double cpu = processorPerStart[name] / processorPerStart[reference];
    std::printf("ratio %s / %s: real %.2f, cpu %.2f (target <= 2.00)%s\n", name, reference, real,
                cpu, std::min(real, cpu) <= 2.0 ? "" : "  MISSED");
  };
  ratio("FirstRunOnOneMegabyteInOneKey", "EmptyStore");
  ratio("OneMegabyteInOneKey", "EmptyStore");
  ratio("OneMegabyteWrappedBinary", "EmptyStore");
  ratio("OneMegabyteDeepKeys", "EmptyStore");
  ratio("OneMegabyteInOneKey", "UsedStore");
  ratio("OneMegabyteWrappedBinary", "UsedStore");
  ratio("OneMegabyteDeepKeys", "UsedStore");
  // Full reads of the store: what a start reads beyond the start on the store it grew from, over
  // what it grew by.
  const auto reads = [](const char* name, const char* reference, qint64 grownBy) {
    if (!readsPerStart.count(name) || !readsPerStart.count(reference)) return;
    const double count = (readsPerStart[name] - readsPerStart[reference]) / double(grownBy);
    std::printf("full reads per start, %s: %.2f (target <= 3)%s\n", name, count,
                count <= 3 ? "" : "  MISSED");
  };
  reads("OneMegabyteInOneKey", "UsedStore", ValuesInOneKey(kOneMegabyte).size());
  reads("OneMegabyteWrappedBinary", "UsedStore", WrappedBinary(kOneMegabyte).size());
  reads("OneMegabyteDeepKeys", "UsedStore", DeepKeys(kOneMegabyte).size());
  reads("FiftyFiveMegabytes", "UsedStore", Mixed(kLargeStore).size());
  const double large = reporter.RealTime("FiftyFiveMegabytes");
  if (large > 0)
    std::printf("start on a 55 MB store: real %.2f s, cpu %.2f s (target <= 3 s)%s\n", large / 1e3,
                processorPerStart["FiftyFiveMegabytes"],
                std::min(large / 1e3, processorPerStart["FiftyFiveMegabytes"]) <= 3 ? ""
                                                                                    : "  MISSED");
  reporter.PrintRatios({{"CloseOnOneMegabyteInOneKey", "CloseOnUsedStore", 2.0}});
  const double close = reporter.RealTime("CloseOnFiftyFiveMegabytes");
  if (close > 0)
    std::printf("close on a 55 MB store: real %.2f s (target <= 3 s)%s\n", close / 1e3,
                close / 1e3 <= 3 ? "" : "  MISSED");
  benchmark::Shutdown();
  return 0;
}
