// The filtered stretch: its refusals, a few sizes worked by hand, the properties every kernel must
// have, agreement with a plain floating-point rendering of the same filter, and the same pixels
// whatever the number of threads.

#include "processing/resample/FilteredStretch.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {
namespace {

using F = TResampleFilter;
constexpr F kAllFilters[] = {F::Box,     F::Triangle, F::Hermite, F::Bell,
                             F::BSpline, F::Lanczos3, F::Mitchell};

using TBitmapPtr = std::unique_ptr<TBitmap>;

TBitmapPtr Bitmap24(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(width, height, pf24bit, {});
  return bitmap;
}

// Grey rows: every row holds the same levels.
TBitmapPtr GreyRows(const std::vector<int>& levels, int height = 2) {
  TBitmapPtr bitmap = Bitmap24(static_cast<int>(levels.size()), height);
  for (int y = 0; y < height; ++y)
    for (size_t x = 0; x < levels.size(); ++x)
      for (int c = 0; c < 3; ++c)
        bitmap->ScanLine(y)[3 * x + c] = static_cast<uint8_t>(levels[x]);
  return bitmap;
}

// Pseudo-random bytes from low to high, the same on every run.
TBitmapPtr Noise(int width, int height, uint32_t seed = 1, int low = 0, int high = 255) {
  TBitmapPtr bitmap = Bitmap24(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 3 * width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      bitmap->ScanLine(y)[x] = static_cast<uint8_t>(low + (seed >> 24) * (high - low) / 255);
    }
  return bitmap;
}

TBitmapPtr Stretched(const TBitmap& source, int width, int height, F filter, int threads = 0) {
  auto destination = std::make_unique<TBitmap>(width, height);
  FilteredStretch(source, *destination, filter, threads);
  return destination;
}

std::vector<int> Row0(const TBitmap& bitmap, int channel = 0) {
  std::vector<int> levels;
  for (int x = 0; x < bitmap.Width(); ++x)
    levels.push_back(bitmap.ScanLine(0)[3 * x + channel]);
  return levels;
}

std::vector<uint8_t> Bytes(const TBitmap& bitmap) {
  std::vector<uint8_t> bytes;
  for (int y = 0; y < bitmap.Height(); ++y)
    bytes.insert(bytes.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + 3 * bitmap.Width());
  return bytes;
}

double Mean(const TBitmap& bitmap) {
  const std::vector<uint8_t> bytes = Bytes(bitmap);
  double sum = 0;
  for (uint8_t b : bytes)
    sum += b;
  return sum / static_cast<double>(bytes.size());
}

std::string FailureOf(const TBitmap& source, int width, int height) {
  try {
    Stretched(source, width, height, F::Triangle);
  } catch (const Exception& e) {
    return e.what();
  }
  return "none";
}

TEST(FilteredStretch, RefusesTooSmallBitmaps) {
  EXPECT_EQ(FailureOf(*Bitmap24(10, 10), 1, 10), "Destination bitmap too small");
  EXPECT_EQ(FailureOf(*Bitmap24(10, 10), 10, 1), "Destination bitmap too small");
  TBitmap flat(10, 0);
  EXPECT_EQ(FailureOf(flat, 10, 10), "Source bitmap too small");
  // A single pixel is a source, and two is the least a destination may be.
  EXPECT_EQ(FailureOf(*Bitmap24(1, 1), 2, 2), "none");
}

TEST(FilteredStretch, KernelsAtTheirEdges) {
  EXPECT_EQ(FilterInfo(F::Box).Kernel(0.5), 1.0);
  EXPECT_EQ(FilterInfo(F::Box).Kernel(-0.5), 0.0);
  for (F filter : kAllFilters) {
    const TResampleFilterInfo& info = FilterInfo(filter);
    EXPECT_EQ(info.Kernel(info.Support * 1.0001), 0.0) << info.Name;
    EXPECT_NEAR(info.Kernel(0.3), info.Kernel(-0.3), 1e-12) << info.Name;
  }
  EXPECT_STREQ(FilterInfo(F::BSpline).Name, "B-Spline");
}

TEST(FilteredStretch, WorkedByHand) {
  // 4 to 2 with Triangle is a reduction to a third: the kernel is widened three times, and the
  // runs reach past both ends, mirrored about the first pixel and the last edge:
  // (3a + 4b + 2c) / 9 and (b + 3c + 5d) / 9.
  EXPECT_EQ(Row0(*Stretched(*GreyRows({0, 90, 180, 255}), 2, 2, F::Triangle)),
            (std::vector<int>{80, 212}));
  // 2 to 3 puts the middle pixel half-way, rounded up.
  EXPECT_EQ(Row0(*Stretched(*GreyRows({10, 21}), 3, 2, F::Triangle)),
            (std::vector<int>{10, 16, 21}));
  // Box takes the left-hand pixel at exactly half-way (it is 1 at +0.5, 0 at -0.5).
  EXPECT_EQ(Row0(*Stretched(*GreyRows({10, 21}), 4, 2, F::Box)),
            (std::vector<int>{10, 10, 21, 21}));
  EXPECT_EQ(Row0(*Stretched(*GreyRows({10, 21, 40}), 5, 2, F::Box)),
            (std::vector<int>{10, 10, 21, 21, 40}));
}

TEST(FilteredStretch, OvershootAtAHardEdgeIsClamped) {
  // Lanczos rings on both sides of a black/white edge: below 0 next to it on the black side,
  // above 255 on the white. Those pixels are 0 and 255, never wrapped round.
  const TBitmapPtr edge = GreyRows({0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255});
  for (F filter : {F::Lanczos3, F::Mitchell}) {
    const std::vector<int> row = Row0(*Stretched(*edge, 56, 2, filter));
    for (int x = 0; x < 56; ++x) {
      if (x < 25) {
        EXPECT_LT(row[x], 20) << x;
      }
      if (x >= 31) {
        EXPECT_GT(row[x], 235) << x;
      }
    }
  }
  const std::vector<int> lanczos = Row0(*Stretched(*edge, 56, 2, F::Lanczos3));
  EXPECT_EQ(lanczos[24], 0);
  EXPECT_EQ(lanczos[31], 255);
}

TEST(FilteredStretch, SameSizeBoxGivesTheSource) {
  const TBitmapPtr source = Noise(37, 23);
  EXPECT_EQ(Bytes(*Stretched(*source, 37, 23, F::Box)), Bytes(*source));
}

struct Sizes {
  int SourceWidth, SourceHeight, Width, Height;
};
// Enlargements, reductions past and above the widening point, one-pixel sources and odd shapes.
constexpr Sizes kSizes[] = {{97, 61, 250, 140}, {97, 61, 13, 9}, {97, 61, 70, 50},
                            {97, 61, 40, 170},  {1, 1, 5, 3},    {1, 40, 6, 9},
                            {50, 1, 17, 4},     {300, 200, 3, 2}};

TEST(FilteredStretch, EveryKernelKeepsFlatAreasAndTheMean) {
  for (F filter : kAllFilters)
    for (const Sizes& s : kSizes) {
      TBitmapPtr flat = Bitmap24(s.SourceWidth, s.SourceHeight);
      flat->Canvas().Brush.Color = 0x2A7FD3;
      flat->Canvas().FillRect({0, 0, s.SourceWidth, s.SourceHeight});
      const TBitmapPtr out = Stretched(*flat, s.Width, s.Height, filter);
      for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < s.Width; ++x)
          ASSERT_EQ(out->PixelColor(x, y), flat->PixelColor(0, 0))
              << FilterInfo(filter).Name << " " << s.Width << "x" << s.Height << " at " << x << ","
              << y;
      if (s.SourceWidth * s.SourceHeight < 1000) continue;
      const TBitmapPtr noise = Noise(s.SourceWidth, s.SourceHeight);
      EXPECT_NEAR(Mean(*Stretched(*noise, s.Width, s.Height, filter)), Mean(*noise), 1.0)
          << FilterInfo(filter).Name << " " << s.Width << "x" << s.Height;
    }
}

// The same filter in plain floating point, along the rows then down the columns, without the
// rounding in between: the fixed-point stretch is within a level of it (two for the kernels with
// negative lobes, whose intermediate rounding is weighted by more than 1 in all). The levels stay
// clear of 0 and 255, so that no overshoot is clamped half-way.
std::vector<double> Reference1D(const std::vector<double>& in, int size, F filter) {
  const TResampleFilterInfo& info = FilterInfo(filter);
  const int n = static_cast<int>(in.size());
  const double scale = n == 1 ? static_cast<double>(size) : (size - 1.0) / (n - 1.0);
  std::vector<double> out;
  for (int i = 0; i < size; ++i) {
    const double centre = i / scale;
    const double radius = scale >= 1 ? info.Support : info.Support / scale;
    double sum = 0, total = 0;
    for (int j = static_cast<int>(std::floor(centre - radius));
         j <= static_cast<int>(std::ceil(centre + radius)); ++j) {
      const double w = scale <= 0.55 ? scale * info.Kernel(i - j * scale) : info.Kernel(centre - j);
      int at = j < 0 ? -j : j;
      if (at >= n) at = 2 * n - 1 - at;
      if (at < 0 || at >= n) continue;
      sum += w * in[static_cast<size_t>(at)];
      total += w;
    }
    out.push_back(sum / total);
  }
  return out;
}

TEST(FilteredStretch, AgreesWithFloatingPoint) {
  const TBitmapPtr picture = Noise(41, 29, 7, 40, 215);
  const TBitmap& source = *picture;
  for (F filter : kAllFilters)
    for (const Sizes& s : {Sizes{41, 29, 90, 70}, Sizes{41, 29, 12, 11}, Sizes{41, 29, 30, 60}}) {
      const TBitmapPtr stretched = Stretched(source, s.Width, s.Height, filter);
      const TBitmap& out = *stretched;
      const bool lobes = filter == F::Lanczos3 || filter == F::Mitchell;
      for (int c = 0; c < 3; ++c) {
        std::vector<std::vector<double>> along;
        for (int y = 0; y < 29; ++y) {
          std::vector<double> row;
          for (int x = 0; x < 41; ++x)
            row.push_back(source.ScanLine(y)[3 * x + c]);
          along.push_back(Reference1D(row, s.Width, filter));
        }
        for (int x = 0; x < s.Width; ++x) {
          std::vector<double> column;
          for (int y = 0; y < 29; ++y)
            column.push_back(along[static_cast<size_t>(y)][static_cast<size_t>(x)]);
          const std::vector<double> down = Reference1D(column, s.Height, filter);
          for (int y = 0; y < s.Height; ++y) {
            const double expected = std::clamp(down[static_cast<size_t>(y)], 0.0, 255.0);
            ASSERT_NEAR(out.ScanLine(y)[3 * x + c], expected, (lobes ? 2.0 : 1.0) + 1e-9)
                << FilterInfo(filter).Name << " " << s.Width << "x" << s.Height << " at " << x
                << "," << y;
          }
        }
      }
    }
}

TEST(FilteredStretch, ThreadsGiveTheSamePixels) {
  const TBitmapPtr picture = Noise(301, 203, 3);
  const TBitmap& source = *picture;
  for (F filter : {F::Triangle, F::Lanczos3})
    for (const Sizes& s :
         {Sizes{301, 203, 75, 50}, Sizes{301, 203, 640, 420}, Sizes{301, 203, 150, 400}}) {
      const std::vector<uint8_t> one = Bytes(*Stretched(source, s.Width, s.Height, filter, 1));
      EXPECT_EQ(Bytes(*Stretched(source, s.Width, s.Height, filter, 2)), one);
      EXPECT_EQ(Bytes(*Stretched(source, s.Width, s.Height, filter, 3)), one);
    }
}

TEST(FilteredStretch, ReadsAnyFormatAndLeavesTheSource) {
  TBitmap grey(20, 10, pf8bit);
  grey.Canvas().Brush.Color = 0x404040;
  grey.Canvas().FillRect({0, 0, 20, 10});
  const std::vector<uint8_t> before(grey.ScanLine(0), grey.ScanLine(0) + 20);
  TBitmap out(7, 5, pf1bit);
  FilteredStretch(grey, out, F::Bell);
  EXPECT_EQ(out.PixelFormat(), pf24bit);
  EXPECT_EQ(out.Width(), 7);
  EXPECT_EQ(out.PixelColor(3, 2), grey.PixelColor(0, 0));
  EXPECT_EQ(grey.PixelFormat(), pf8bit);
  EXPECT_EQ(std::vector<uint8_t>(grey.ScanLine(0), grey.ScanLine(0) + 20), before);
  // A bitmap stretched into itself (to its own size: B-Spline smooths it) reads its old pixels.
  TBitmapPtr self = Noise(30, 20);
  const std::vector<uint8_t> expected = Bytes(*Stretched(*self, 30, 20, F::BSpline));
  ASSERT_NE(expected, Bytes(*self));
  FilteredStretch(*self, *self, F::BSpline);
  EXPECT_EQ(Bytes(*self), expected);
}

} // namespace
} // namespace kestrel
