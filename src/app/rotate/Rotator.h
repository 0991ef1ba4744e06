#pragma once
// TRotator: turns a picture on a thread of its own, a band of rows at a time, and hands each band
// to this object's thread (the window's) through a queued call. The thread turns its own copy of
// the source into bands of its own: it never touches a bitmap that is shown, and never waits for
// the window, so the window may end a run and wait for it at any time.

#include "app/worker/WorkerRun.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Color.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

// Destination rows FirstRow .. FirstRow + Rows - 1, each RowBytes bytes in the source's format.
struct TRotatedBand {
  int FirstRow = 0;
  int Rows = 0;
  size_t RowBytes = 0;
  std::vector<uint8_t> Pixels;
};

class TRotator : public QObject {
public:
  // Rows made between two deliveries: the picture is seen growing at this pace.
  static constexpr int kBandRows = 66;

  explicit TRotator(QObject* parent = nullptr);
  ~TRotator() override; // abandons a run

  // Called on this object's thread while a run is delivered.
  std::function<void(const TRotatedBand& band)> OnRows;
  // The run has ended: every row delivered (true) or not; error is empty unless it failed.
  std::function<void(bool completed, const std::string& error)> OnTerminate;

  // Turns source (8 bits per pixel or more, not empty) by degrees on background, holding the
  // claim of the not-busy flag until the run's end reaches this thread.
  void Start(std::shared_ptr<const TBitmap> source, double degrees, TColor background,
             TBusyClaim claim);
  bool Running() const { return Run.Running(); }
  // Ends the run now and waits for its thread; nothing more of it is delivered (OnTerminate
  // neither).
  void Abandon();

private:
  void Body(const TBitmap& source, double degrees, TColor background, uint64_t run);

  TWorkerRun Run;
};

} // namespace kestrel
