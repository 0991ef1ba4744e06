// A pen stroke of 100 moves as the editing tools draw it: each move draws its segment on the
// overlay and paints only the rectangle it touched, magnified by the zoom. On a 24-megapixel
// picture it must cost what it costs on a 1-megapixel one (the reference), at zoom 1 and 16.

#include "../RatioReporter.h"

#include "app/editing/PictureEditor.h"
#include "app/view/ImageKind.h"
#include "app/view/ViewPainter.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <cmath>
#include <memory>

namespace kestrel {
namespace {

class TBenchHost : public TEditHost {
public:
  TBenchHost(int width, int height, int zoom)
      : zoom_(zoom), screen_(1000, 700, QImage::Format_RGB32) {
    view_.NewImage(width, height, pf24bit, {});
    view_.Canvas().Brush.Color = clWhite;
    view_.Canvas().FillRect({0, 0, width, height});
  }
  TBitmap& ViewBitmap() override { return view_; }
  TBitmap& CropBitmap() override { return crop_; }
  TBitmap& OverlayBitmap() override { return overlay_; }
  int ImageKind() const override { return ikBmp; }
  void SetImageKind(int) override {}
  void SetModified() override {}
  void ShownReplaced() override {}
  void ShownEdited() override {}
  // The paint of the touched rectangle, as the view does it.
  void Repaint(const TRect& area) override {
    QPainter painter(&screen_);
    painter.translate(-area.Left * zoom_, -area.Top * zoom_);
    PaintVisible(painter, overlay_, zoom_, {-area.Left * zoom_, -area.Top * zoom_},
                 {area.Width() * zoom_, area.Height() * zoom_});
  }
  int Zoom() const override { return zoom_; }

private:
  int zoom_;
  QImage screen_;
  TBitmap view_, crop_, overlay_;
};

void PenStroke(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const int zoom = static_cast<int>(state.range(2));
  TBenchHost host(width, height, zoom);
  TPictureEditor editor(host);
  editor.Settings.PenStep = 2; // 4 pixels wide
  editor.SelectTool(TEditTool::Pen);
  // The press gives the overlay its own copy of the picture once; the moves are what is timed.
  editor.MouseDown({550, 300}, true);
  std::array<TPoint, 100> path;
  // Round a circle in steps of about 9 pixels, as a hand moves.
  for (int i = 0; i < 100; ++i)
    path[static_cast<size_t>(i)] = {400 + static_cast<int>(150 * std::cos(i * 0.0628)),
                                    300 + static_cast<int>(150 * std::sin(i * 0.0628))};
  for (auto _ : state)
    for (const TPoint& p : path)
      editor.MouseMove(p);
  state.SetItemsProcessed(state.iterations() * 100);
}

// 24 megapixels (6000 x 4000) against 1 megapixel (1200 x 840), at zoom 1 and 16.
BENCHMARK(PenStroke)
    ->Name("PenStroke24MPZoom1")
    ->Args({6000, 4000, 1})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(PenStroke)
    ->Name("PenStroke1MPZoom1")
    ->Args({1200, 840, 1})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(PenStroke)
    ->Name("PenStroke24MPZoom16")
    ->Args({6000, 4000, 16})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(PenStroke)
    ->Name("PenStroke1MPZoom16")
    ->Args({1200, 840, 16})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  return kestrel::bench::RunWithRatios(argc, argv,
                                       {{"PenStroke24MPZoom1", "PenStroke1MPZoom1", 1.5},
                                        {"PenStroke24MPZoom16", "PenStroke1MPZoom16", 1.5}});
}
