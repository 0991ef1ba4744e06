// The viewer's display of a 6000 x 4000 24-bit bitmap file.
//
// Loading: reading the file and building the view copy, in Fit to Window (fitted into a
// 1000 x 800 area), at 1:1 and at 1:8, against the bare read of the same file by the bitmap
// reader. Target: the view copy adds at most 30 % (ratio <= 1.30).
//
// Painting: one repaint of a 1000 x 800 viewport scrolled to the middle of the picture, at 1:1 and
// at 4:1, for the 6000 x 4000 picture and for one of 12000 x 8000. Target: at most 2 ms, and the
// same for both sizes (ratio of the large to the small <= 1.15). The in-run reference is a plain
// copy of a ready 1000 x 800 screen image onto the viewport.

#include "RatioReporter.h"

#include "app/view/PictureLoader.h"
#include "app/view/ViewCopy.h"
#include "app/view/ViewGeometry.h"
#include "app/view/ViewPainter.h"
#include "imaging/core/Bitmap.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <memory>
#include <utility>

using namespace kestrel;

namespace {

constexpr int kWidth = 6000, kHeight = 4000;
constexpr int kViewportWidth = 1000, kViewportHeight = 800;

std::unique_ptr<TBitmap> MakePicture(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, pf24bit, {});
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int i = 0; i < 3 * width; ++i)
      row[i] = static_cast<uint8_t>(i * 7 + y * 3);
  }
  return bitmap;
}

// The picture file, written once for the run and removed at exit.
const QString& PictureFile() {
  static const QString path = [] {
    const QString name = QDir::tempPath() + "/kestrel-bench-view.bmp";
    MakePicture(kWidth, kHeight)->SaveToFile(QFile::encodeName(name).toStdString());
    std::atexit([] { QFile::remove(QDir::tempPath() + "/kestrel-bench-view.bmp"); });
    return name;
  }();
  return path;
}

TLoadRequest Request() {
  TLoadRequest request;
  request.Path = PictureFile();
  request.ScreenDepth = 32;
  return request;
}

void BareRead(benchmark::State& state) {
  const std::string name = QFile::encodeName(PictureFile()).toStdString();
  for (auto _ : state) {
    TBitmap bitmap;
    bitmap.LoadFromFile(name);
    benchmark::DoNotOptimize(std::as_const(bitmap).ScanLine(0));
  }
}

// Load and build at a scale index of the scale list.
void LoadAndBuild(benchmark::State& state, int reduction) {
  for (auto _ : state) {
    TLoadResult result = LoadPictureFile(Request());
    TBitmap view;
    TViewCopyState copyState;
    TViewCopySettings settings;
    settings.Reduction = reduction;
    settings.Forced = true;
    BuildViewCopy(view, *result.Read.Graphic, settings, copyState);
    benchmark::DoNotOptimize(std::as_const(view).ScanLine(0));
  }
}

void LoadView1to1(benchmark::State& state) {
  LoadAndBuild(state, 1);
}

void LoadView1to8(benchmark::State& state) {
  LoadAndBuild(state, 8);
}

void LoadViewFitToWindow(benchmark::State& state) {
  for (auto _ : state) {
    TLoadResult result = LoadPictureFile(Request());
    TGraphic& graphic = *result.Read.Graphic;
    const auto size =
        FitSize(kViewportWidth, kViewportHeight, kFrameMargin, graphic.Width(), graphic.Height());
    TBitmap view;
    TViewCopyState copyState;
    FitViewCopy(view, graphic, *size, clBlack, {}, true, copyState);
    benchmark::DoNotOptimize(std::as_const(view).ScanLine(0));
  }
}

const TBitmap& View(int width) {
  static std::unique_ptr<TBitmap> small, large;
  std::unique_ptr<TBitmap>& view = width == kWidth ? small : large;
  if (!view) view = MakePicture(width, width * 2 / 3);
  return *view;
}

// One repaint of the viewport scrolled to the middle of the magnified copy.
void Repaint(benchmark::State& state, int width, int magnification) {
  const TBitmap& view = View(width);
  QImage screen(kViewportWidth, kViewportHeight, QImage::Format_ARGB32_Premultiplied);
  const TPoint position{-(view.Width() * magnification - kViewportWidth) / 2,
                        -(view.Height() * magnification - kViewportHeight) / 2};
  for (auto _ : state) {
    QPainter painter(&screen);
    // The painter works in paint box coordinates, as on the widget.
    painter.translate(position.X, position.Y);
    PaintVisible(painter, view, magnification, position, {kViewportWidth, kViewportHeight});
    painter.end();
    benchmark::DoNotOptimize(screen.constBits());
  }
}

void Repaint6000At1(benchmark::State& state) {
  Repaint(state, kWidth, 1);
}
void Repaint12000At1(benchmark::State& state) {
  Repaint(state, 2 * kWidth, 1);
}
void Repaint6000At4(benchmark::State& state) {
  Repaint(state, kWidth, 4);
}
void Repaint12000At4(benchmark::State& state) {
  Repaint(state, 2 * kWidth, 4);
}

void ScreenCopyReference(benchmark::State& state) {
  QImage ready(kViewportWidth, kViewportHeight, QImage::Format_RGB32);
  ready.fill(Qt::darkCyan);
  QImage screen(kViewportWidth, kViewportHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&screen);
    painter.drawImage(0, 0, ready);
    painter.end();
    benchmark::DoNotOptimize(screen.constBits());
  }
}

BENCHMARK(BareRead)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadViewFitToWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadView1to1)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadView1to8)->Unit(benchmark::kMillisecond);
BENCHMARK(ScreenCopyReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(Repaint6000At1)->Unit(benchmark::kMicrosecond);
BENCHMARK(Repaint12000At1)->Unit(benchmark::kMicrosecond);
BENCHMARK(Repaint6000At4)->Unit(benchmark::kMicrosecond);
BENCHMARK(Repaint12000At4)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  return kestrel::bench::RunWithRatios(argc, argv,
                                       {{"LoadViewFitToWindow", "BareRead", 1.30},
                                        {"LoadView1to1", "BareRead", 1.30},
                                        {"LoadView1to8", "BareRead", 1.30},
                                        {"Repaint12000At1", "Repaint6000At1", 1.15},
                                        {"Repaint12000At4", "Repaint6000At4", 1.15},
                                        {"Repaint6000At1", "ScreenCopyReference", 10.0},
                                        {"Repaint6000At4", "ScreenCopyReference", 10.0}});
}
