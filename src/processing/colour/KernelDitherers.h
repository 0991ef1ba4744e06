#pragma once
// Error diffusion over a kernel of several rows: each pixel takes the rounded error of its entry,
// and spreads its own error, times the kernel's weights, to the pixels ahead in its row and to the
// rows below. Positions are along the scan direction, so the kernel mirrors on right-to-left rows.

#include "processing/colour/DitherEngine.h"

#include <span>
#include <vector>

namespace kestrel {

// One kernel weight: rows below the current one (0 = this row), position along the scan direction.
struct TKernelTap {
  int Row;
  int Offset;
  int Weight;
};

class TKernelDitherer : public TDitherEngine {
public:
  TMappedColor DitherPixel(uint8_t red, uint8_t green, uint8_t blue) override;
  void AdvanceLine() override;
  void DitherRow(const uint8_t* bgr, uint8_t* indices) override { WalkRow(*this, bgr, indices); }

protected:
  // rows: error rows kept; margin: entries beyond each end of a row (the kernel's reach).
  TKernelDitherer(int width, TColorLookup& lookup, int rows, int margin, int divisor,
                  std::span<const TKernelTap> taps, int limitA, int limitC);

private:
  friend class TDitherEngine;

  template <class Lookup>
  TMappedColor Step(Lookup& lookup, uint8_t red, uint8_t green, uint8_t blue) {
    const int32_t* entry = &rows_[0][3 * position_];
    const uint8_t in[3] = {red, green, blue};
    uint8_t v[3];
    for (int c = 0; c < 3; ++c)
      v[c] = Clamp255(in[c] + ErrorLimit((entry[c] + divisor_ / 2) / divisor_));
    TMappedColor m = MapAndAdvance(lookup, v[0], v[1], v[2]);
    const int e[3] = {v[0] - m.Red, v[1] - m.Green, v[2] - m.Blue};
    if (e[0] != 0 || e[1] != 0 || e[2] != 0) {
      int direction = Direction();
      for (const TKernelTap& tap : taps_) {
        int32_t* target = &rows_[tap.Row][3 * (position_ + direction * tap.Offset)];
        for (int c = 0; c < 3; ++c)
          target[c] += e[c] * tap.Weight;
      }
    }
    position_ += Direction();
    return m;
  }

  // rows_[0] is the current row; per entry three channels (red, green, blue).
  std::vector<std::vector<int32_t>> rows_;
  int margin_;
  int divisor_;
  std::span<const TKernelTap> taps_;
  int position_;
};

// The kernels five entries wide and three rows deep.
class T5by3Ditherer : public TKernelDitherer {
protected:
  T5by3Ditherer(int width, TColorLookup& lookup, int divisor, std::span<const TKernelTap> taps);
};

class TStuckiDitherer : public T5by3Ditherer {
public:
  TStuckiDitherer(int width, TColorLookup& lookup);
};

class TSierraDitherer : public T5by3Ditherer {
public:
  TSierraDitherer(int width, TColorLookup& lookup);
};

class TJaJuNiDitherer : public T5by3Ditherer {
public:
  TJaJuNiDitherer(int width, TColorLookup& lookup);
};

class TSteveArcheDitherer : public TKernelDitherer {
public:
  TSteveArcheDitherer(int width, TColorLookup& lookup);
};

class TBurkesDitherer : public TKernelDitherer {
public:
  TBurkesDitherer(int width, TColorLookup& lookup);
};

} // namespace kestrel
