#include "processing/colour/DitherEngine.h"

namespace kestrel {

TDitherEngine::TDitherEngine(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup, 256, 256) {}

TDitherEngine::TDitherEngine(int width, TColorLookup& lookup, int limitA, int limitC)
    : lookup_(&lookup), width_(std::max(width, 0)) {
  // Large errors are damped so that one wrong pixel cannot smear across its neighbours.
  for (int i = 0; i <= 255; ++i) {
    int v = i < limitA   ? i
            : i < limitC ? limitA + (i - limitA) / 2
                         : limitA + (limitC - limitA) / 2;
    limit_[255 + i] = static_cast<int16_t>(v);
    limit_[255 - i] = static_cast<int16_t>(-v);
  }
}

TMappedColor TDitherEngine::DitherPixel(uint8_t red, uint8_t green, uint8_t blue) {
  if (!InRow()) return Lookup().MapColor(red, green, blue);
  return Step(Lookup(), red, green, blue);
}

void TDitherEngine::AdvanceLine() {
  direction_ = -direction_;
  column_ = direction_ < 0 ? width_ - 1 : 0;
}

void TDitherEngine::DitherRow(const uint8_t* bgr, uint8_t* indices) {
  WalkRow(*this, bgr, indices);
}

} // namespace kestrel
