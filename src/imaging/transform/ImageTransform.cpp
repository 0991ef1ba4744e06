#include "imaging/transform/ImageTransform.h"

#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"

#include <algorithm>

namespace kestrel {

void TImageTransform::Apply(TDibGraphic& graphic) {
  TDibGraphic result;
  ApplyOnDest(graphic, result);
  graphic.Assign(&result);
}

void TImageTransform::ApplyOnDest(const TDibGraphic&, TDibGraphic&) {
  throw EZeduziziError(
      formatMessage("Method %s not implemented for %s class", "ApplyOnDest", ClassName()));
}

void TImageTransform::ReportProgress(int64_t current, int64_t minimum, int64_t maximum) {
  if (!OnProgress) return;
  const int64_t range = maximum - minimum;
  const int64_t percent =
      range > 0 ? std::clamp<int64_t>((current - minimum) * 100 / range, 0, 100) : 0;
  if (percent == lastPercent_) return;
  lastPercent_ = static_cast<uint8_t>(percent);
  OnProgress(*this, static_cast<int>(percent));
}

} // namespace kestrel
