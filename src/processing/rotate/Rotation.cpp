#include "processing/rotate/Rotation.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <numbers>
#include <system_error>
#include <thread>

namespace kestrel {

namespace {

// Source coordinates in 32.32 fixed point.
constexpr int kFractionBits = 32;
constexpr double kFixedOne = 4294967296.0;
constexpr int64_t kFixedHalf = int64_t(1) << (kFractionBits - 1);
// Destination columns walked for one row before the next row is begun: the source pixels a strip
// reads lie in a narrow slanted band, which stays in the cache for the strip's next rows.
constexpr int64_t kStripWidth = 1024;
// Below this many destination pixels a second thread costs more than it saves.
constexpr int64_t kThreadedPixels = 1 << 16;

int64_t Fixed(double value) {
  return std::llround(value * kFixedOne);
}

std::vector<uint8_t> BackgroundOf(const TBitmap& source, TColor background, int bytes) {
  // A palette picture takes the nearest of its own entries, never an index past them.
  const TPalette& palette = source.OwnPalette();
  if (source.BitsPerPixel() == 8 && palette.Count() > 0)
    return {static_cast<uint8_t>(palette.NearestIndex(background))};
  // Direct colour in the format's own encoding.
  TBitmap pixel;
  pixel.NewImage(1, 1, source.PixelFormat(), source.OwnPalette());
  pixel.Canvas().Brush.Color = background;
  pixel.Canvas().FillRect({0, 0, 1, 1});
  const uint8_t* bits = pixel.ScanLine(0);
  return std::vector<uint8_t>(bits, bits + bytes);
}

} // namespace

TRotationGeometry RotationGeometry(int width, int height, double degrees) {
  TRotationGeometry g;
  g.SourceWidth = width;
  g.SourceHeight = height;
  // Whole turns are taken off exactly first, so 360 and -720 turn by nothing at all.
  const double t = std::fmod(degrees, 360.0) * std::numbers::pi / 180.0;
  g.Cos = std::cos(t);
  g.Sin = std::sin(t);
  g.Width =
      static_cast<int64_t>(std::nearbyint(std::fabs(g.Cos) * width + std::fabs(g.Sin) * height));
  g.Height =
      static_cast<int64_t>(std::nearbyint(std::fabs(g.Sin) * width + std::fabs(g.Cos) * height));
  g.OffsetX = width - g.Width * g.Cos - g.Height * g.Sin;
  g.OffsetY = height - g.Height * g.Cos + g.Width * g.Sin;
  return g;
}

TSourcePixel SourceOf(const TRotationGeometry& g, int64_t x, int64_t y) {
  const double fx = static_cast<double>(x), fy = static_cast<double>(y);
  return {static_cast<int64_t>(std::nearbyint(((fx * g.Cos + fy * g.Sin) * 2 + g.OffsetX) * 0.5)),
          static_cast<int64_t>(std::nearbyint(((fy * g.Cos - fx * g.Sin) * 2 + g.OffsetY) * 0.5))};
}

TRotation::TRotation(const TBitmap& source, double degrees, TColor background) : source_(source) {
  if (source.Empty() || source.Width() <= 0 || source.Height() <= 0)
    throw EInvalidGraphic("There is no picture to turn");
  if (source.BitsPerPixel() < 8)
    throw EInvalidGraphic("A picture of fewer than 8 bits per pixel is not turned");
  geometry_ = RotationGeometry(source.Width(), source.Height(), degrees);
  if (!ImageLimits::Fits(geometry_.Width, geometry_.Height, source.BitsPerPixel()))
    throw EInvalidGraphic(formatMessage(
        "The turned picture of %lld x %lld pixels would be beyond the size limit of %lld pixels "
        "a side and %llu MB in all",
        static_cast<long long>(geometry_.Width), static_cast<long long>(geometry_.Height),
        static_cast<long long>(ImageLimits::kMaxDimension),
        static_cast<unsigned long long>(ImageLimits::MaxBytes() >> 20)));
  bytes_ = source.BitsPerPixel() / 8;
  background_ = BackgroundOf(source, background, bytes_);
  stepX_ = Fixed(geometry_.Cos);
  stepY_ = Fixed(-geometry_.Sin);
  // How far the walk may be from the formula, in fixed-point units: the rounding of a row's start
  // and of the steps times the columns walked, and the formula's own rounding, with room to spare.
  margin_ = static_cast<uint32_t>(1024 + geometry_.Width);
  // A four-byte read of the last pixel stays in the source's memory when rows are padded.
  wideReads_ = source.BytesPerLine() > 3 * source.Width();
}

namespace {

// The columns x (of a row, within [begin, end)) whose source coordinate v0 + x d lies in [low,
// high).
struct TColumns {
  int64_t Begin;
  int64_t End;
};

TColumns ColumnsWithin(double v0, double d, double low, double high, int64_t begin, int64_t end) {
  if (std::fabs(d) < 1e-12)
    return v0 >= low && v0 < high ? TColumns{begin, end} : TColumns{begin, begin};
  double a = (low - v0) / d, b = (high - v0) / d;
  if (a > b) std::swap(a, b);
  const double first = std::clamp(std::ceil(a), double(begin), double(end));
  const double last = std::clamp(std::floor(b) + 1, double(begin), double(end));
  return {static_cast<int64_t>(first),
          std::max(static_cast<int64_t>(first), static_cast<int64_t>(last))};
}

TColumns Intersection(TColumns a, TColumns b) {
  const int64_t begin = std::max(a.Begin, b.Begin);
  return {begin, std::max(begin, std::min(a.End, b.End))};
}

// A source coordinate this far (in pixels) inside the picture's edge rounds inside it, and this
// far outside rounds outside, whatever the walk's and the formula's rounding.
constexpr double kEdgeRoom = 0.01;

} // namespace

template <int Bytes, bool Checked>
void TRotation::Walk(int64_t y, int64_t xBegin, int64_t xEnd, uint8_t* out) const {
  const TRotationGeometry& g = geometry_;
  // The walk's start for this row is rounded once; each pixel is then start + x steps, exactly.
  int64_t fx = Fixed(y * g.Sin + g.OffsetX * 0.5) + xBegin * stepX_ + kFixedHalf;
  int64_t fy = Fixed(y * g.Cos + g.OffsetY * 0.5) + xBegin * stepY_ + kFixedHalf;
  // Copies of the members: the stores below may alias anything, so members would be read again
  // for every pixel.
  const int64_t stepX = stepX_, stepY = stepY_;
  const uint32_t margin = margin_;
  const uint64_t width = static_cast<uint64_t>(g.SourceWidth);
  const uint64_t height = static_cast<uint64_t>(g.SourceHeight);
  const uint8_t* bits = source_.ScanLine(0);
  const ptrdiff_t stride = source_.BytesPerLine();
  const uint8_t* fill = background_.data();
  // Three-byte pixels move as four-byte words, but for the last column (whose spare byte would
  // land past the row this call owns) and where a spare byte read could pass the source's memory.
  const int64_t wideEnd = Bytes == 3 && !Checked && wideReads_ ? xEnd - 1 : xBegin;
  out += xBegin * Bytes;
  for (int64_t x = xBegin; x < xEnd; ++x, fx += stepX, fy += stepY, out += Bytes) {
    int64_t sx = fx >> kFractionBits, sy = fy >> kFractionBits;
    // A fraction this near a half could round either way: the formula decides.
    if ((static_cast<uint32_t>(static_cast<uint32_t>(fx) + margin) < 2 * margin) |
        (static_cast<uint32_t>(static_cast<uint32_t>(fy) + margin) < 2 * margin)) [[unlikely]] {
      const TSourcePixel exact = SourceOf(g, x, y);
      sx = exact.X;
      sy = exact.Y;
    }
    if (!Checked || (static_cast<uint64_t>(sx) < width && static_cast<uint64_t>(sy) < height)) {
      const uint8_t* from = bits + sy * stride + sx * Bytes;
      if (x < wideEnd)
        std::memcpy(out, from, 4);
      else
        std::memcpy(out, from, Bytes);
    } else {
      std::memcpy(out, fill, Bytes);
    }
  }
}

template <int Bytes>
void TRotation::Row(int64_t y, int64_t xBegin, int64_t xEnd, uint8_t* out) const {
  const TRotationGeometry& g = geometry_;
  // Where in the row the source lies surely inside, and where surely outside: the columns between
  // are checked one by one.
  const double sx0 = y * g.Sin + g.OffsetX * 0.5, sy0 = y * g.Cos + g.OffsetY * 0.5;
  const double w = g.SourceWidth - 0.5, h = g.SourceHeight - 0.5;
  TColumns inside =
      Intersection(ColumnsWithin(sx0, g.Cos, -0.5 + kEdgeRoom, w - kEdgeRoom, xBegin, xEnd),
                   ColumnsWithin(sy0, -g.Sin, -0.5 + kEdgeRoom, h - kEdgeRoom, xBegin, xEnd));
  TColumns near =
      Intersection(ColumnsWithin(sx0, g.Cos, -0.5 - kEdgeRoom, w + kEdgeRoom, xBegin, xEnd),
                   ColumnsWithin(sy0, -g.Sin, -0.5 - kEdgeRoom, h + kEdgeRoom, xBegin, xEnd));
  if (inside.End > inside.Begin)
    near = {std::min(near.Begin, inside.Begin), std::max(near.End, inside.End)};
  else
    inside = {near.End, near.End};
  for (int64_t x = xBegin; x < near.Begin; ++x)
    std::memcpy(out + x * Bytes, background_.data(), Bytes);
  Walk<Bytes, true>(y, near.Begin, inside.Begin, out);
  Walk<Bytes, false>(y, inside.Begin, inside.End, out);
  Walk<Bytes, true>(y, inside.End, near.End, out);
  for (int64_t x = near.End; x < xEnd; ++x)
    std::memcpy(out + x * Bytes, background_.data(), Bytes);
}

void TRotation::RowsOnOneThread(int first, int count, uint8_t* out, ptrdiff_t stride) const {
  for (int64_t strip = 0; strip < geometry_.Width; strip += kStripWidth) {
    const int64_t end = std::min(strip + kStripWidth, geometry_.Width);
    for (int i = 0; i < count; ++i) {
      uint8_t* row = out + i * stride;
      switch (bytes_) {
      case 1:
        Row<1>(first + i, strip, end, row);
        break;
      case 2:
        Row<2>(first + i, strip, end, row);
        break;
      case 3:
        Row<3>(first + i, strip, end, row);
        break;
      default:
        Row<4>(first + i, strip, end, row);
        break;
      }
    }
  }
}

void TRotation::Rows(int first, int count, uint8_t* out, ptrdiff_t stride, int threads) const {
  if (count <= 0) return;
  if (threads <= 0)
    threads = int64_t(count) * geometry_.Width >= kThreadedPixels
                  ? static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 2u))
                  : 1;
  threads = std::min(threads, count);
  // Each thread makes rows of its own; a row never depends on another, so the result is the same
  // for any split.
  const auto part = [&](int t) {
    const int begin = static_cast<int>(int64_t(count) * t / threads);
    const int end = static_cast<int>(int64_t(count) * (t + 1) / threads);
    RowsOnOneThread(first + begin, end - begin, out + begin * stride, stride);
  };
  std::vector<std::exception_ptr> failures(static_cast<size_t>(threads));
  const auto guarded = [&](int t) {
    try {
      part(t);
    } catch (...) {
      failures[static_cast<size_t>(t)] = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(guarded, t);
    } catch (const std::system_error&) {
      guarded(t); // no thread to be had: this one makes the part
    }
  }
  guarded(0);
  for (std::thread& helper : helpers)
    helper.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

void TRotation::NewDestination(TBitmap& destination) const {
  destination.NewImage(Width(), Height(), source_.PixelFormat(), source_.OwnPalette());
  destination.SetPelsPerMeter(source_.XPelsPerMeter(), source_.YPelsPerMeter());
}

void TRotation::Render(TBitmap& destination, int threads) const {
  // Made aside, so that the source may be the destination.
  TBitmap turned;
  NewDestination(turned);
  Rows(0, Height(), turned.ScanLine(0), turned.BytesPerLine(), threads);
  destination.Assign(&turned);
}

void TRotation::Blank(TBitmap& destination) const {
  TBitmap blank;
  NewDestination(blank);
  uint8_t* first = blank.ScanLine(0);
  for (int x = 0; x < Width(); ++x)
    std::memcpy(first + x * bytes_, background_.data(), static_cast<size_t>(bytes_));
  for (int y = 1; y < Height(); ++y)
    std::memcpy(blank.ScanLine(y), first, static_cast<size_t>(Width()) * bytes_);
  destination.Assign(&blank);
}

void RotateBitmap(const TBitmap& source, TBitmap& destination, double degrees, TColor background,
                  int threads) {
  TRotation(source, degrees, background).Render(destination, threads);
}

} // namespace kestrel
