#include "processing/colour/FloydSteinbergDitherer.h"

namespace kestrel {

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup, 16, 48), errors_(3 * (static_cast<size_t>(Width()) + 2), 0) {}

TMappedColor TFloydSteinbergDitherer::DitherPixel(uint8_t red, uint8_t green, uint8_t blue) {
  if (!InRow()) return TDitherEngine::DitherPixel(red, green, blue);
  return Step(Lookup(), red, green, blue);
}

void TFloydSteinbergDitherer::AdvanceLine() {
  for (int c = 0; c < 3; ++c) {
    errors_[3 * position_ + c] = belowBehind_[c];
    current_[c] = belowBehind_[c] = below_[c] = 0;
  }
  TDitherEngine::AdvanceLine();
  position_ = Direction() > 0 ? 0 : Width() + 1;
}

} // namespace kestrel
