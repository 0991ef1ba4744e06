// The animation painter on a 500 x 500 animation of 10 full frames of 256 colours, each restored
// to the background or kept in turn: composing and drawing one frame (the painter's step on the
// image's own bitmap, then the viewer's redraw of what changed into its copy) against giflib's
// DGifSlurp of the whole file in the same run (target: at most 1.0; the frame's delay is 80 ms).
// Then the no-drift check on the real clock: 100 passes of 10 frames of 100 ms (delay 10 at
// speed 120), whose total must stay within 1 % of 100 s.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Stream.h"
#include "imaging/gif/GIFClock.h"
#include "imaging/gif/GIFFrameCoder.h"
#include "imaging/gif/GIFImage.h"

#include "../../tests/imaging/gif/GifReference.h"
#include "../RatioReporter.h"

#include <QCoreApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>

using namespace kestrel;

namespace {

constexpr int kSide = 500;
constexpr int kFrames = 10;

void Word(std::vector<uint8_t>& out, int value) {
  out.push_back(uint8_t(value & 0xFF));
  out.push_back(uint8_t(value >> 8));
}

// Frame f: waves of 256 colours moving with f, with grain.
std::vector<uint8_t> FramePixels(int f) {
  std::vector<uint8_t> p(size_t(kSide) * kSide);
  uint32_t state = uint32_t(f + 1);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      state = state * 1664525u + 1013904223u;
      const double v = 128 + 80 * std::sin((x + 9 * f) / 37.0) * std::cos((y - 5 * f) / 53.0) +
                       double(state >> 29) - 4;
      p[size_t(y) * kSide + x] = uint8_t(std::clamp(v, 0.0, 255.0));
    }
  return p;
}

// The animation as a file: a grey table, a loop extension, and per frame a control block (delay,
// disposal 2 on even frames and 1 on odd ones) and the image.
std::vector<uint8_t> AnimationFile(int delay, int loops) {
  std::vector<uint8_t> file{'G', 'I', 'F', '8', '9', 'a'};
  Word(file, kSide);
  Word(file, kSide);
  file.insert(file.end(), {0xF7, 0, 0});
  for (int i = 0; i < 256; ++i)
    file.insert(file.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  const std::string loop = "NETSCAPE2.0";
  file.insert(file.end(), {0x21, 0xFF, 11});
  file.insert(file.end(), loop.begin(), loop.end());
  file.insert(file.end(), {3, 1});
  Word(file, loops);
  file.push_back(0);
  for (int f = 0; f < kFrames; ++f) {
    file.insert(file.end(), {0x21, 0xF9, 4, uint8_t((f % 2 ? 1 : 2) << 2)});
    Word(file, delay);
    file.insert(file.end(), {0, 0, 0x2C});
    Word(file, 0);
    Word(file, 0);
    Word(file, kSide);
    Word(file, kSide);
    file.push_back(0);
    TMemoryStream data;
    const std::vector<uint8_t> pixels = FramePixels(f);
    EncodeGIFFrame(data, 8, 256, pixels.data(), false, kSide, kSide, nullptr);
    file.insert(file.end(), data.Bytes().begin(), data.Bytes().end());
  }
  file.push_back(0x3B);
  return file;
}

const std::vector<uint8_t>& File() {
  static const std::vector<uint8_t> file = AnimationFile(8, 0);
  return file;
}

void LoadAnimation(TGIFImage& image, const std::vector<uint8_t>& file) {
  TMemoryStream in(file);
  image.LoadFromStream(in);
  image.SetDrawOptions(gdAsync | gdAnimate | gdLoop | gdClearOnPass);
}

// One frame: the painter composes it on the image's own bitmap, and the view's copy takes the
// part that changed, as the viewer does.
void ComposeAndDrawFrame(benchmark::State& state) {
  auto clock = std::make_shared<TGIFVirtualClock>();
  TGIFClock::SetDefault(clock);
  TGIFImage image;
  LoadAnimation(image, File());
  TBitmap view(kSide, kSide, pfDevice);
  const TRect whole{0, 0, kSide, kSide};
  TRect changed;
  image.OnFramePainted = [&](TGIFImage&, const TRect& area) { changed = area; };
  image.Draw(view.Canvas(), whole);
  // Every frame rendered once, as after the first pass.
  clock->Advance(kFrames * 96 * 1000);
  for (auto _ : state) {
    clock->Advance(96 * 1000);
    image.DrawArea(view.Canvas(), whole, changed);
  }
  if (!image.Animating()) state.SkipWithError("the animation stopped");
  TGIFClock::SetDefault(nullptr);
}

void SlurpGiflib(benchmark::State& state) {
  for (auto _ : state) {
    gifref::MemoryInput input{&File(), 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, gifref::ReadFromMemory, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount != kFrames)
      state.SkipWithError("giflib refused the file");
    benchmark::DoNotOptimize(gif->SavedImages);
    DGifCloseFile(gif, &error);
  }
}

BENCHMARK(ComposeAndDrawFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(SlurpGiflib)->Unit(benchmark::kMillisecond);

// 100 passes on the real clock: the time from the first frame to the last, against 999 waits.
void CheckDrift(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  TGIFImage image;
  LoadAnimation(image, AnimationFile(10, 99));
  image.SetAnimationSpeed(120);
  TBitmap view(kSide, kSide, pfDevice);
  int frames = 0;
  image.OnAfterPaint = [&](TGIFPainter&) { ++frames; };
  image.OnEndPaint = [&](TGIFPainter&) { QCoreApplication::quit(); };
  const auto start = std::chrono::steady_clock::now();
  image.Draw(view.Canvas(), {0, 0, kSide, kSide});
  application.exec();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double expected = (frames - 1) * 0.1;
  const double off = 100 * (seconds - expected) / expected;
  std::printf("drift: %d frames in %.3f s, expected %.3f s: %+.3f %% (target within 1 %%)%s\n",
              frames, seconds, expected, off,
              std::abs(off) <= 1 && frames == 1000 ? "" : "  MISSED");
}

} // namespace

int main(int argc, char** argv) {
  bench::RunWithRatios(argc, argv, {{"ComposeAndDrawFrame", "SlurpGiflib", 1.0}});
  CheckDrift(argc, argv);
  return 0;
}
