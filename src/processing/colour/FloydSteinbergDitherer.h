#pragma once
// Floyd-Steinberg error diffusion (7, 3, 5, 1 sixteenths) with one error row per channel and three
// carried values, so a row costs width + 2 entries per channel.

#include "processing/colour/DitherEngine.h"

#include <vector>

namespace kestrel {

class TFloydSteinbergDitherer : public TDitherEngine {
public:
  TFloydSteinbergDitherer(int width, TColorLookup& lookup);

  TMappedColor DitherPixel(uint8_t red, uint8_t green, uint8_t blue) override;
  void AdvanceLine() override;
  void DitherRow(const uint8_t* bgr, uint8_t* indices) override { WalkRow(*this, bgr, indices); }

private:
  friend class TDitherEngine;

  template <class Lookup>
  TMappedColor Step(Lookup& lookup, uint8_t red, uint8_t green, uint8_t blue) {
    int32_t* row = &errors_[3 * position_];
    const uint8_t in[3] = {red, green, blue};
    uint8_t v[3];
    for (int c = 0; c < 3; ++c)
      v[c] = Clamp255(in[c] + ErrorLimit((row[c] + current_[c] + 8) / 16));
    TMappedColor m = MapAndAdvance(lookup, v[0], v[1], v[2]);
    const uint8_t chosen[3] = {m.Red, m.Green, m.Blue};
    for (int c = 0; c < 3; ++c) {
      int e = v[c] - chosen[c];
      // A pixel without error leaves the row and the values carried below untouched.
      if (e != 0) {
        row[c] = belowBehind_[c] + 3 * e;
        belowBehind_[c] = below_[c] + 5 * e;
        below_[c] = e;
        current_[c] = 7 * e;
      } else {
        current_[c] = 0;
      }
    }
    position_ += Direction();
    return m;
  }

  // Per entry three channels (red, green, blue), in sixteenths.
  std::vector<int32_t> errors_;
  int position_ = 0;
  int32_t current_[3] = {};
  int32_t belowBehind_[3] = {};
  int32_t below_[3] = {};
};

} // namespace kestrel
