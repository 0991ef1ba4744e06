#include "app/rotate/Rotator.h"

#include "processing/rotate/Rotation.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

namespace kestrel {

TRotator::TRotator(QObject* parent) : QObject(parent), Run(this) {}

TRotator::~TRotator() {
  Abandon();
}

void TRotator::Start(std::shared_ptr<const TBitmap> source, double degrees, TColor background,
                     TBusyClaim claim) {
  Run.Start([this, source = std::move(source), degrees,
             background](uint64_t run) { Body(*source, degrees, background, run); },
            std::move(claim));
}

void TRotator::Abandon() {
  Run.Abandon();
}

void TRotator::Body(const TBitmap& source, double degrees, TColor background, uint64_t run) {
  bool completed = false;
  std::string error;
  try {
    const TRotation rotation(source, degrees, background);
    const size_t rowBytes = static_cast<size_t>(rotation.Width()) * rotation.BytesPerPixel();
    int first = 0;
    for (; first < rotation.Height() && !Run.Stopping(); first += kBandRows) {
      auto band = std::make_shared<TRotatedBand>();
      band->FirstRow = first;
      band->Rows = std::min(kBandRows, rotation.Height() - first);
      band->RowBytes = rowBytes;
      band->Pixels.resize(rowBytes * band->Rows);
      rotation.Rows(first, band->Rows, band->Pixels.data(), static_cast<ptrdiff_t>(rowBytes));
      Run.Post(run, [this, band] {
        if (OnRows) OnRows(*band);
      });
    }
    completed = first >= rotation.Height();
  } catch (const std::bad_alloc&) {
    error = "Out of memory";
  } catch (const std::exception& e) {
    error = e.what();
  }
  Run.PostEnd(run, [this, completed, error] {
    if (OnTerminate) OnTerminate(completed, error);
  });
}

} // namespace kestrel
