#pragma once
// TResampler: runs the box resampler on a thread of its own at low priority. The thread reads its
// own copy of the source and hands the destination rows it makes to this object's thread (the
// window's) in bands, with the progress, through queued calls; it never touches a bitmap that is
// shown and never waits for the window, so the window may stop it and wait for its end at any
// time. A run holds the not-busy flag from its start until its end has reached the window (or it
// is abandoned), however it ends.

#include "app/worker/WorkerRun.h"
#include "imaging/core/Bitmap.h"
#include "processing/busy/BusyFlag.h"
#include "processing/resample/BoxResampler.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QThread;

namespace kestrel {

// Destination rows FirstRow .. FirstRow + Rows - 1, each 3 x width bytes (blue, green, red).
struct TResampleBand {
  int FirstRow = 0;
  int Rows = 0;
  std::vector<uint8_t> Pixels;
};

class TResampler : public QObject {
public:
  explicit TResampler(QObject* parent = nullptr);
  ~TResampler() override; // abandons a run

  // Handlers, called on this object's thread while a run is delivered.
  std::function<void(const TResampleBand& band)> OnRows;
  std::function<void(int percent)> OnProgress; // after the rows made so far
  // The run has ended: completed (true) or stopped (false); error is empty unless it failed.
  std::function<void(bool completed, const std::string& error)> OnTerminate;

  // Starts a run over source (24 bits per pixel, not empty) with the claim of the not-busy flag,
  // which the run keeps until it ends.
  void Start(TBusyClaim claim, const TBitmap& source, const TBoxTarget& target);
  bool Running() const { return Run.Running(); }
  // Asks the run to end: the rows it made are delivered and OnTerminate follows.
  void Stop();
  // Ends the run now and waits for its thread; nothing more of it is delivered (OnTerminate
  // neither).
  void Abandon();

private:
  void Body(const TBitmap& source, const TBoxTarget& target, uint64_t run);
  void Post(uint64_t run, std::function<void()> call);
  void Deliver(const TResampleBand& band);

  TWorkerRun Run;
};

} // namespace kestrel
