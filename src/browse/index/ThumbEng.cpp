#include "browse/index/ThumbEng.h"

#include <QThread>

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

namespace kestrel {
namespace {

std::atomic<bool> engineFree{true};

// The canvas lock of a bitmap another thread may work on, held for a scope.
class TCanvasLock {
public:
  explicit TCanvasLock(TBitmap& bitmap) : canvas_(bitmap.Canvas()) { canvas_.Lock(); }
  ~TCanvasLock() { canvas_.Unlock(); }
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;

private:
  TCanvas& canvas_;
};

} // namespace

std::shared_ptr<TBitmap> CopyBitmapArea(const TBitmap& bitmap, const TRect& area) {
  auto copy = std::make_shared<TBitmap>();
  copy->NewImage(area.Width(), area.Height(), pf24bit, {});
  for (int y = 0; y < area.Height(); ++y)
    std::memcpy(copy->ScanLine(y), bitmap.ScanLine(area.Top + y) + 3 * area.Left,
                3 * static_cast<size_t>(area.Width()));
  return copy;
}

void PasteBitmapArea(const TBitmap& part, TBitmap& target, TPoint at) {
  const int left = std::max(at.X, 0), right = std::min(at.X + part.Width(), target.Width());
  const int top = std::max(at.Y, 0), bottom = std::min(at.Y + part.Height(), target.Height());
  if (left >= right || top >= bottom || target.PixelFormat() != pf24bit) return;
  for (int y = top; y < bottom; ++y)
    std::memcpy(target.ScanLine(y) + 3 * left, part.ScanLine(y - at.Y) + 3 * (left - at.X),
                3 * static_cast<size_t>(right - left));
}

std::unique_ptr<TThumbEng> TThumbEng::Create() {
  if (engineFree.exchange(false)) return std::unique_ptr<TThumbEng>(new TThumbEng);
  return nullptr;
}

bool TThumbEng::EngineFree() {
  return engineFree;
}

TThumbEng::~TThumbEng() {
  if (thread_) {
    abandoned_ = true;
    stop_ = true;
    thread_->wait();
    delete thread_;
  }
  if (holdsFree_) engineFree = true;
}

void TThumbEng::Start(TBusyClaim claim) {
  finished_ = false;
  stop_ = false;
  if (Target) targetPalette_ = Target->OwnPalette();
  auto held = std::make_shared<TBusyClaim>(std::move(claim));
  thread_ = QThread::create([this, held] {
    // The flag is free again when the body ends, however it ends.
    TBusyClaim claim = std::move(*held);
    Body(claim);
  });
  thread_->start(QThread::LowPriority);
}

void TThumbEng::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(
      this,
      [this, call = std::move(call)] {
        if (!abandoned_) call();
      },
      Qt::QueuedConnection);
}

void TThumbEng::Body(TBusyClaim& claim) {
  TIndexComposer composer(Config, Reader);
  composer.OnPageMade = [this](const TBitmap& page) {
    auto copy = CopyBitmapArea(page, {0, 0, page.Width(), page.Height()});
    Post([this, copy] { PageMade(*copy); });
  };
  composer.OnCellDone = [this, &composer](const TRect& changed) {
    if (changed.IsEmpty()) return;
    auto part = CopyBitmapArea(composer.Page(), changed);
    const TPoint at{changed.Left, changed.Top};
    Post([this, part, at] { CellDone(*part, at); });
  };
  composer.OnMessage = [this](const std::string& message) {
    Post([this, message] {
      if (OnMessage) OnMessage(QString::fromStdString(message));
    });
  };
  int code = icNone;
  std::optional<TPalette> palette;
  try {
    code = composer.Run(stop_);
    if (Config.PalettePage && !composer.Page().OwnPalette().IsNull())
      palette = composer.Page().OwnPalette();
  } catch (const std::bad_alloc&) {
    code = icOutOfMemory; // a copy for the window could not be made
  } catch (const std::exception&) {
    code = icUnknown;
  }
  claim.Release();
  Post([this, code, palette, cells = composer.Cells()]() mutable {
    Ended(code, palette, std::move(cells));
  });
}

void TThumbEng::PageMade(const TBitmap& page) {
  if (!Target) return;
  {
    const TCanvasLock lock(*Target);
    Target->Assign(&page);
    if (targetPalette_) Target->SetPalette(*targetPalette_);
  }
  if (OnProgress) OnProgress();
}

void TThumbEng::CellDone(const TBitmap& part, TPoint at) {
  if (!Target) return;
  {
    const TCanvasLock lock(*Target);
    PasteBitmapArea(part, *Target, at);
  }
  if (OnProgress) OnProgress();
}

void TThumbEng::Ended(int code, const std::optional<TPalette>& palette,
                      std::vector<TIndexCell> cells) {
  // The thread posted this last; it ends right after.
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  cells_ = std::move(cells);
  if (Target && palette) {
    const TCanvasLock lock(*Target);
    Target->SetPalette(*palette);
  }
  finished_ = true;
  // The run is over: another engine may start while this one is still being let go.
  holdsFree_ = false;
  engineFree = true;
  if (OnTerminate) OnTerminate(code);
}

} // namespace kestrel
