// The undo snapshot of a 24-megapixel true-colour picture (6000 x 4000, 72 MB) and its restore,
// against one write() and one read() of the same number of bytes in the same folder: the file
// the snapshot goes to stays open, as the undo file does, and the read fills fresh memory, as
// the restore does.

#include "../RatioReporter.h"

#include "app/undo/UndoFile.h"
#include "app/undo/UndoStore.h"
#include "imaging/core/Bitmap.h"

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace kestrel {
namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

std::unique_ptr<TBitmap> Picture() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(kWidth, kHeight, pf24bit, {});
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < 3 * kWidth; ++x)
      row[x] = static_cast<uint8_t>(x * 7 + y * 13);
  }
  return bitmap;
}

struct TFolder {
  QTemporaryDir Dir{QDir::currentPath() + "/bench-undo-XXXXXX"};
  std::unique_ptr<TBitmap> Bitmap = Picture();
  size_t Bytes() const { return Bitmap->Storage().ByteCount(); }
};

TFolder& Shared() {
  static TFolder folder;
  return folder;
}

void UndoSnapshot(benchmark::State& state) {
  TFolder& shared = Shared(); // the picture is made before the timing
  TUndoStore store(OpenUndoFile(shared.Dir.path()));
  for (auto _ : state)
    store.Write(*shared.Bitmap);
  store.Remove();
}

void OneWrite(benchmark::State& state) {
  TFolder& shared = Shared();
  const std::string path = shared.Dir.filePath("raw.dat").toStdString();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  const uint8_t* bytes = shared.Bitmap->Storage().Bits();
  for (auto _ : state)
    if (::pwrite(fd, bytes, shared.Bytes(), 0) != static_cast<ssize_t>(shared.Bytes()))
      state.SkipWithError("write failed");
  ::close(fd);
}

void UndoRestore(benchmark::State& state) {
  TUndoStore store(OpenUndoFile(Shared().Dir.path()));
  store.Write(*Shared().Bitmap);
  for (auto _ : state)
    benchmark::DoNotOptimize(store.Read());
  store.Remove();
}

void OneRead(benchmark::State& state) {
  const std::string path = Shared().Dir.filePath("raw.dat").toStdString();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  const size_t bytes = Shared().Bytes();
  if (::pwrite(fd, Shared().Bitmap->Storage().Bits(), bytes, 0) != static_cast<ssize_t>(bytes))
    state.SkipWithError("write failed");
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> memory(new uint8_t[bytes]);
    if (::pread(fd, memory.get(), bytes, 0) != static_cast<ssize_t>(bytes))
      state.SkipWithError("read failed");
    benchmark::DoNotOptimize(memory.get());
  }
  ::close(fd);
}

// Several rounds each, so neither side is timed on a first write that lays out a new file alone.
BENCHMARK(UndoSnapshot)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(OneWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(UndoRestore)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(OneRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  return kestrel::bench::RunWithRatios(
      argc, argv, {{"UndoSnapshot", "OneWrite", 1.3}, {"UndoRestore", "OneRead", 1.3}});
}
