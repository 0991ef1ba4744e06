#include "app/resample/Resampler.h"

#include <QThread>

#include <cstring>
#include <exception>
#include <utility>

namespace kestrel {

TResampler::TResampler(QObject* parent) : QObject(parent), Run(this) {}

TResampler::~TResampler() {
  Abandon();
}

void TResampler::Start(TBusyClaim claim, const TBitmap& source, const TBoxTarget& target) {
  // The thread's own copy of the source (its pixels shared until the window writes its own).
  auto copy = std::make_shared<TBitmap>();
  copy->Assign(&source);
  // The claim is held on the window's thread until the run's end reaches it: the flag is free
  // only once the last rows are in the view.
  Run.Start([this, copy, target](uint64_t run) { Body(*copy, target, run); }, std::move(claim),
            QThread::LowPriority);
}

void TResampler::Stop() {
  Run.Stop();
}

void TResampler::Abandon() {
  Run.Abandon();
}

void TResampler::Post(uint64_t run, std::function<void()> call) {
  Run.Post(run, std::move(call));
}

void TResampler::Body(const TBitmap& source, const TBoxTarget& target, uint64_t run) {
  const size_t rowBytes = 3 * static_cast<size_t>(target.Width);
  auto band = std::make_shared<TResampleBand>();
  // Rows arrive in order; a row handed out part-made comes again, and replaces itself.
  const auto collect = [&](int row, const uint8_t* pixels) {
    if (band->Rows > 0 && row != band->FirstRow + band->Rows - 1 &&
        row != band->FirstRow + band->Rows) {
      Post(run, [this, band] { Deliver(*band); });
      band = std::make_shared<TResampleBand>();
    }
    if (band->Rows == 0) band->FirstRow = row;
    if (row == band->FirstRow + band->Rows) {
      ++band->Rows;
      band->Pixels.resize(rowBytes * band->Rows);
    }
    std::memcpy(band->Pixels.data() + rowBytes * (band->Rows - 1), pixels, rowBytes);
  };
  // The rows so far go out; the last of them may be part-made, so the next band starts with it.
  const auto flush = [&] {
    if (band->Rows == 0) return;
    Post(run, [this, band] { Deliver(*band); });
    auto next = std::make_shared<TResampleBand>();
    next->FirstRow = band->FirstRow + band->Rows - 1;
    next->Rows = 1;
    next->Pixels.assign(band->Pixels.end() - static_cast<ptrdiff_t>(rowBytes), band->Pixels.end());
    band = std::move(next);
  };
  bool completed = false;
  std::string error;
  try {
    TBoxResampler resampler(source, target);
    completed = resampler.Run(
        collect,
        [&](int percent) {
          flush();
          Post(run, [this, percent] {
            if (OnProgress) OnProgress(percent);
          });
        },
        Run.Stopping());
    if (band->Rows > 0) Post(run, [this, band] { Deliver(*band); });
  } catch (const std::exception& e) {
    error = e.what();
  }
  Run.PostEnd(run, [this, completed, error] {
    if (OnTerminate) OnTerminate(completed, error);
  });
}

void TResampler::Deliver(const TResampleBand& band) {
  if (OnRows) OnRows(band);
}

} // namespace kestrel
