#include "app/resample/Resampler.h"

#include <QThread>

#include <cstring>
#include <exception>
#include <utility>

namespace kestrel {

TResampler::TResampler(QObject* parent) : QObject(parent) {}

TResampler::~TResampler() {
  Abandon();
}

void TResampler::Start(TBusyClaim claim, const TBitmap& source, const TBoxTarget& target) {
  Abandon();
  stop_ = false;
  const uint64_t run = ++run_;
  // The thread's own copy of the source (its pixels shared until the window writes its own).
  auto copy = std::make_shared<TBitmap>();
  copy->Assign(&source);
  // Held here, on the window's thread, until the run's end reaches it: the flag is free only once
  // the last rows are in the view.
  claim_.emplace(std::move(claim));
  thread_ = QThread::create([this, copy, target, run] { Body(*copy, target, run); });
  thread_->start(QThread::LowPriority);
}

void TResampler::Stop() {
  stop_ = true;
}

void TResampler::Abandon() {
  if (!thread_) return;
  stop_ = true;
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  claim_.reset();
  ++run_; // what the run posted is dropped when it arrives
}

void TResampler::Post(uint64_t run, std::function<void()> call) {
  QMetaObject::invokeMethod(
      this,
      [this, run, call = std::move(call)] {
        if (run == run_) call();
      },
      Qt::QueuedConnection);
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
        stop_);
    if (band->Rows > 0) Post(run, [this, band] { Deliver(*band); });
  } catch (const std::exception& e) {
    error = e.what();
  }
  Post(run, [this, run, completed, error] { Ended(run, completed, error); });
}

void TResampler::Deliver(const TResampleBand& band) {
  if (OnRows) OnRows(band);
}

void TResampler::Ended(uint64_t run, bool completed, const std::string& error) {
  // The thread posted this last; it ends right after.
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  claim_.reset();
  if (run == run_ && OnTerminate) OnTerminate(completed, error);
}

} // namespace kestrel
