#pragma once
// The ditherers' common walk: rows are processed in serpentine order (even rows left to right, odd
// rows right to left) and each pixel is mapped through a colour lookup. The base engine maps to the
// nearest colour without diffusing any error; the subclasses add the diffused error first.

#include "processing/colour/ColorLookup.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kestrel {

class TDitherEngine {
public:
  // The lookup is not owned and must outlive the engine.
  TDitherEngine(int width, TColorLookup& lookup);
  virtual ~TDitherEngine() = default;
  TDitherEngine(const TDitherEngine&) = delete;
  TDitherEngine& operator=(const TDitherEngine&) = delete;

  // Maps the pixel at the current column (with this ditherer's error added) and moves to the next
  // column of the walk. Called with the column outside the row, it only maps the colour.
  virtual TMappedColor DitherPixel(uint8_t red, uint8_t green, uint8_t blue);
  // Ends a row: reverses the direction and moves to the first column of the next row.
  virtual void AdvanceLine();
  void AdvanceColumn() { column_ += direction_; }

  // One whole row: from the current column along the walk, dithers every pixel of the 24-bit
  // blue-green-red row and stores its index at its column of indices; then AdvanceLine.
  virtual void DitherRow(const uint8_t* bgr, uint8_t* indices);

  int Width() const { return width_; }
  int Column() const { return column_; }
  int Direction() const { return direction_; }
  // The error-limit table at error (-255..255; further out it holds its end values).
  int ErrorLimit(int error) const { return limit_[std::clamp(error, -255, 255) + 255]; }

protected:
  // Limits: the identity below a, half slope from a to c, flat beyond.
  TDitherEngine(int width, TColorLookup& lookup, int limitA, int limitC);

  TColorLookup& Lookup() { return *lookup_; }
  bool InRow() const { return column_ >= 0 && column_ < width_; }
  static uint8_t Clamp255(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

  template <class Lookup>
  TMappedColor MapAndAdvance(Lookup& lookup, uint8_t red, uint8_t green, uint8_t blue) {
    TMappedColor m = lookup.MapColor(red, green, blue);
    AdvanceColumn();
    return m;
  }

  // DitherRow for a ditherer whose pixel step is self.Step(lookup, red, green, blue): the step is
  // instantiated for the fast lookup so that the common case runs without virtual calls per pixel.
  template <class Self> static void WalkRow(Self& self, const uint8_t* bgr, uint8_t* indices) {
    if (auto* fast = dynamic_cast<TFastColorLookup*>(self.lookup_))
      WalkRowWith(self, *fast, bgr, indices);
    else
      WalkRowWith(self, *self.lookup_, bgr, indices);
    self.AdvanceLine();
  }

private:
  template <class Lookup>
  TMappedColor Step(Lookup& lookup, uint8_t red, uint8_t green, uint8_t blue) {
    return MapAndAdvance(lookup, red, green, blue);
  }

  template <class Self, class Lookup>
  static void WalkRowWith(Self& self, Lookup& lookup, const uint8_t* bgr, uint8_t* indices) {
    for (int x = self.column_; x >= 0 && x < self.width_; x = self.column_) {
      const uint8_t* p = bgr + 3 * x;
      indices[x] = static_cast<uint8_t>(self.Step(lookup, p[2], p[1], p[0]).Index);
    }
  }

  TColorLookup* lookup_;
  int width_;
  int direction_ = 1;
  int column_ = 0;
  std::array<int16_t, 511> limit_;
};

} // namespace kestrel
