// Reading a 4000 x 3000 true-colour TIFF (uncompressed, Packbits, Deflate) through TTiffGraphic,
// against a bare libtiff loop that decodes every strip into one buffer of the picture's size.
// Both read the same bytes from memory, without memory mapping.

#include "../RatioReporter.h"

#include "imaging/core/Stream.h"
#include "imaging/tiff/TiffGraphic.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace kestrel {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A photograph-like picture: smooth gradients with a little noise, so the compressed kinds have
// work to do.
std::vector<uint8_t> EncodedPicture(TTiffCompression kind) {
  TTiffGraphic picture;
  picture.NewImage(kWidth, kHeight, ifTrueColor, nullptr, 300, 300);
  uint32_t noise = 12345;
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245 + 12345;
      const int n = static_cast<int>(noise >> 29);
      row[3 * x] = static_cast<uint8_t>(x / 16 + n);
      row[3 * x + 1] = static_cast<uint8_t>(y / 12 + n);
      row[3 * x + 2] = static_cast<uint8_t>((x + y) / 28);
    }
  }
  picture.SetCompression(kind);
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return stream.Bytes();
}

const std::vector<uint8_t>& Encoded(TTiffCompression kind) {
  static std::map<int, std::vector<uint8_t>> files;
  auto& file = files[kind];
  if (file.empty()) file = EncodedPicture(kind);
  return file;
}

void ReadThroughOurClass(benchmark::State& state, TTiffCompression kind) {
  const std::vector<uint8_t>& bytes = Encoded(kind);
  for (auto _ : state) {
    TSpanStream stream(bytes.data(), bytes.size());
    TTiffGraphic picture;
    picture.LoadFromStream(stream);
    benchmark::DoNotOptimize(picture.Bits());
  }
}

// The reference: libtiff over the bytes in memory, nothing but TIFFReadEncodedStrip.
struct MemoryFile {
  const std::vector<uint8_t>* Bytes;
  toff_t Position = 0;
};

tmsize_t ReadBytes(thandle_t h, void* buffer, tmsize_t size) {
  auto* f = static_cast<MemoryFile*>(h);
  const tmsize_t n = std::min<tmsize_t>(
      size,
      static_cast<tmsize_t>(f->Bytes->size() - std::min<toff_t>(f->Position, f->Bytes->size())));
  std::memcpy(buffer, f->Bytes->data() + f->Position, static_cast<size_t>(n));
  f->Position += static_cast<toff_t>(n);
  return n;
}
tmsize_t WriteNothing(thandle_t, void*, tmsize_t) {
  return 0;
}
toff_t SeekBytes(thandle_t h, toff_t offset, int whence) {
  auto* f = static_cast<MemoryFile*>(h);
  f->Position = whence == SEEK_SET   ? offset
                : whence == SEEK_CUR ? f->Position + offset
                                     : f->Bytes->size() + offset;
  return f->Position;
}
int CloseNothing(thandle_t) {
  return 0;
}
toff_t SizeOf(thandle_t h) {
  return static_cast<MemoryFile*>(h)->Bytes->size();
}
int MapNothing(thandle_t, void**, toff_t*) {
  return 0;
}
void UnmapNothing(thandle_t, void*, toff_t) {}

void ReadWithBareLibtiff(benchmark::State& state, TTiffCompression kind) {
  const std::vector<uint8_t>& bytes = Encoded(kind);
  for (auto _ : state) {
    MemoryFile file{&bytes};
    TIFF* tif = TIFFClientOpen("", "r", &file, ReadBytes, WriteNothing, SeekBytes, CloseNothing,
                               SizeOf, MapNothing, UnmapNothing);
    const tmsize_t stripSize = TIFFStripSize(tif);
    const uint32_t strips = TIFFNumberOfStrips(tif);
    auto pixels = std::make_unique_for_overwrite<uint8_t[]>(size_t(kWidth) * kHeight * 3);
    for (uint32_t s = 0; s < strips; ++s)
      TIFFReadEncodedStrip(tif, s, pixels.get() + size_t(s) * stripSize, -1);
    benchmark::DoNotOptimize(pixels.get());
    TIFFClose(tif);
  }
}

const char* const kNames[] = {"none", "packbits", "deflate"};
const TTiffCompression kKinds[] = {tcNone, tcPackbits, tcZLib};

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  using namespace kestrel;
  std::vector<bench::TRatio> ratios;
  for (int i = 0; i < 3; ++i) {
    const std::string ours = std::string("TiffRead/TTiffGraphic/") + kNames[i];
    const std::string reference = std::string("TiffRead/libtiff/") + kNames[i];
    benchmark::RegisterBenchmark(ours.c_str(), ReadThroughOurClass, kKinds[i])
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(reference.c_str(), ReadWithBareLibtiff, kKinds[i])
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    ratios.push_back({ours, reference, 1.15});
  }
  return bench::RunWithRatios(argc, argv, ratios);
}
