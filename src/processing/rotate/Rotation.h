#pragma once
// Turning a device bitmap by any angle, nearest neighbour by inverse mapping. Destination pixel
// (x, y) takes source pixel
//   sx = round(((x c + y s) 2 + ox) / 2),  sy = round(((y c - x s) 2 + oy) / 2)
// (c, s the cosine and sine of the angle, round to nearest with halves to even), or the background
// where that lies outside the source. The destination is round(|c| W + |s| H) x
// round(|s| W + |c| H), the centres of both meet, and positive angles turn clockwise on the screen.
//
// Rows are walked with fixed-point source coordinates (one addition per pixel), and each pixel's
// coordinates are the walk's start plus x steps, never a sum that drifts. Where a coordinate falls
// so near a half that the fixed-point value could round the other way, the formula above decides,
// so the result is exactly the formula's, whatever the tiling or the number of threads.

#include "imaging/core/Bitmap.h"
#include "imaging/core/Color.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel {

// Where a turn takes its pixels from.
struct TRotationGeometry {
  int SourceWidth = 0;
  int SourceHeight = 0;
  int64_t Width = 0; // of the destination
  int64_t Height = 0;
  double Cos = 1;
  double Sin = 0;
  double OffsetX = 0; // ox and oy above
  double OffsetY = 0;
};

// The geometry of turning a width x height picture by degrees.
TRotationGeometry RotationGeometry(int width, int height, double degrees);

struct TSourcePixel {
  int64_t X;
  int64_t Y;
};
// The source pixel of destination pixel (x, y) by the formula; it may lie outside the source.
TSourcePixel SourceOf(const TRotationGeometry& geometry, int64_t x, int64_t y);

// A turn of one source bitmap (8, 15, 16, 24 or 32 bits per pixel) into rows of the same format.
class TRotation {
public:
  // source must outlive this object and stay unchanged while rows are made. Raises
  // EInvalidGraphic for an empty source or one of fewer than 8 bits per pixel, and when the
  // destination would pass the size limits.
  TRotation(const TBitmap& source, double degrees, TColor background);

  const TRotationGeometry& Geometry() const { return geometry_; }
  int Width() const { return static_cast<int>(geometry_.Width); }
  int Height() const { return static_cast<int>(geometry_.Height); }
  int BytesPerPixel() const { return bytes_; }
  // The background as one pixel of the source's format.
  const std::vector<uint8_t>& BackgroundPixel() const { return background_; }

  // Makes destination rows first .. first + count - 1 into out, rows stride bytes apart, with
  // threads threads (0: two for a large band where the machine has them).
  void Rows(int first, int count, uint8_t* out, ptrdiff_t stride, int threads = 0) const;

  // destination becomes the whole turned picture, in the source's format and palette.
  void Render(TBitmap& destination, int threads = 0) const;
  // destination becomes the turned picture's size, format and palette, all background: what is
  // shown while the rows are made.
  void Blank(TBitmap& destination) const;

private:
  void NewDestination(TBitmap& destination) const;
  void RowsOnOneThread(int first, int count, uint8_t* out, ptrdiff_t stride) const;
  template <int Bytes> void Row(int64_t y, int64_t xBegin, int64_t xEnd, uint8_t* out) const;
  // Columns xBegin .. xEnd - 1 of row y; unchecked, every source pixel must lie inside.
  template <int Bytes, bool Checked>
  void Walk(int64_t y, int64_t xBegin, int64_t xEnd, uint8_t* out) const;

  const TBitmap& source_;
  TRotationGeometry geometry_;
  int bytes_ = 0;
  std::vector<uint8_t> background_;
  int64_t stepX_ = 0; // of the source coordinates along a row, in 32.32 fixed point
  int64_t stepY_ = 0;
  uint32_t margin_ = 0;
  bool wideReads_ = false;
};

// destination becomes source turned by degrees on background (see TRotation).
void RotateBitmap(const TBitmap& source, TBitmap& destination, double degrees, TColor background,
                  int threads = 0);

} // namespace kestrel
