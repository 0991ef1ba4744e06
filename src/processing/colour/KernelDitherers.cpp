#include "processing/colour/KernelDitherers.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr TKernelTap kStucki[] = {{0, 1, 8},  {0, 2, 4}, {1, -2, 2}, {1, -1, 4},
                                  {1, 0, 8},  {1, 1, 4}, {1, 2, 2},  {2, -2, 1},
                                  {2, -1, 2}, {2, 0, 4}, {2, 1, 2},  {2, 2, 1}};
constexpr TKernelTap kSierra[] = {{0, 1, 5}, {0, 2, 3}, {1, -2, 2}, {1, -1, 4}, {1, 0, 5},
                                  {1, 1, 4}, {1, 2, 2}, {2, -1, 2}, {2, 0, 3},  {2, 1, 2}};
constexpr TKernelTap kJaJuNi[] = {{0, 1, 7},  {0, 2, 5}, {1, -2, 3}, {1, -1, 5},
                                  {1, 0, 7},  {1, 1, 5}, {1, 2, 3},  {2, -2, 1},
                                  {2, -1, 3}, {2, 0, 5}, {2, 1, 3},  {2, 2, 1}};
constexpr TKernelTap kSteveArche[] = {{0, 2, 32}, {1, -3, 12}, {1, -1, 26}, {1, 1, 30},
                                      {1, 3, 16}, {2, -2, 12}, {2, 0, 26},  {2, 2, 12},
                                      {3, -3, 5}, {3, -1, 12}, {3, 1, 12},  {3, 3, 5}};
constexpr TKernelTap kBurkes[] = {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4},
                                  {1, 0, 8}, {1, 1, 4}, {1, 2, 2}};

} // namespace

TKernelDitherer::TKernelDitherer(int width, TColorLookup& lookup, int rows, int margin, int divisor,
                                 std::span<const TKernelTap> taps, int limitA, int limitC)
    : TDitherEngine(width, lookup, limitA, limitC),
      rows_(rows, std::vector<int32_t>(3 * (static_cast<size_t>(Width()) + 2 * margin), 0)),
      margin_(margin), divisor_(divisor), taps_(taps), position_(margin) {}

TMappedColor TKernelDitherer::DitherPixel(uint8_t red, uint8_t green, uint8_t blue) {
  if (!InRow()) return TDitherEngine::DitherPixel(red, green, blue);
  return Step(Lookup(), red, green, blue);
}

void TKernelDitherer::AdvanceLine() {
  std::fill(rows_[0].begin(), rows_[0].end(), 0);
  std::rotate(rows_.begin(), rows_.begin() + 1, rows_.end());
  TDitherEngine::AdvanceLine();
  position_ = Column() + margin_;
}

T5by3Ditherer::T5by3Ditherer(int width, TColorLookup& lookup, int divisor,
                             std::span<const TKernelTap> taps)
    : TKernelDitherer(width, lookup, 3, 2, divisor, taps, 8, 32) {}

TStuckiDitherer::TStuckiDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 42, kStucki) {}

TSierraDitherer::TSierraDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 32, kSierra) {}

TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 48, kJaJuNi) {}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 4, 3, 200, kSteveArche, 8, 16) {}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 2, 2, 32, kBurkes, 16, 48) {}

} // namespace kestrel
