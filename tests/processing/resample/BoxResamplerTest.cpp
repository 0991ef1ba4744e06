// The box resampler of the Resample window and the choice of its sample rates: sizes worked by
// hand, flat pictures staying flat, stopping part-way, large pictures whose grid positions pass
// 32 bits, and rates too low for an enlargement.

#include "processing/resample/BoxResampler.h"

#include "imaging/core/Bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

using TBitmapPtr = std::unique_ptr<TBitmap>;

TBitmapPtr Grey(const std::vector<std::vector<int>>& rows) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), pf24bit, {});
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x)
      std::memset(bitmap->ScanLine(static_cast<int>(y)) + 3 * x, rows[y][x], 3);
  return bitmap;
}

std::vector<int> Blues(const TBitmap& bitmap, int row) {
  std::vector<int> blues;
  for (int x = 0; x < bitmap.Width(); ++x)
    blues.push_back(bitmap.ScanLine(row)[3 * x]);
  return blues;
}

TBitmapPtr Resampled(const TBitmap& source, int width, int height, TSampleRates rates) {
  auto destination = std::make_unique<TBitmap>();
  BoxResample(source, *destination, {width, height, rates, clWhite, false});
  return destination;
}

TEST(SampleRates, FollowTheRatioAtItsBoundaries) {
  struct Row {
    int New;
    TSampleRates Speed, Quality;
  };
  // A picture 100 wide (and less high, so its width decides), made New wide.
  const Row rows[] = {{1001, {1, 1}, {1, 1}}, {1000, {10, 10}, {11, 11}}, {150, {2, 2}, {3, 3}},
                      {101, {2, 2}, {3, 3}},  {100, {1, 1}, {2, 2}},      {99, {2, 2}, {2, 3}},
                      {93, {2, 2}, {2, 3}},   {92, {1, 3}, {2, 3}},       {90, {1, 3}, {2, 3}},
                      {81, {1, 3}, {2, 3}},   {80, {1, 2}, {2, 3}},       {52, {1, 2}, {2, 3}},
                      {51, {1, 1}, {2, 3}},   {50, {1, 1}, {1, 3}},       {49, {1, 1}, {1, 3}},
                      {48, {1, 2}, {1, 3}},   {1, {1, 2}, {1, 3}}};
  for (const Row& r : rows) {
    EXPECT_EQ(ChooseSampleRates(100, 80, r.New, 1, false), r.Speed) << r.New;
    EXPECT_EQ(ChooseSampleRates(100, 80, r.New, 1, true), r.Quality) << r.New;
  }
  // The height decides a picture higher than wide.
  EXPECT_EQ(ChooseSampleRates(480, 640, 1, 1280, false), (TSampleRates{2, 2}));
  EXPECT_EQ(ChooseSampleRates(0, 0, 10, 10, true), (TSampleRates{1, 1}));
}

TEST(BoxResampler, WorkedByHand) {
  // Half of 6 x 2: the two rows' means 4, 12, ... 44 are walked across; the first and last
  // pixels sit on the first and last source pixels, the middle one takes the three between.
  const TBitmapPtr half =
      Resampled(*Grey({{0, 8, 16, 24, 32, 40}, {8, 16, 24, 32, 40, 48}}), 3, 1, {1, 1});
  EXPECT_EQ(Blues(*half, 0), (std::vector<int>{7, 28, 44}));
  // Twice 2 x 1 on a grid of two samples a pixel: shifted left a pixel, the third pixel mixes.
  EXPECT_EQ(Blues(*Resampled(*Grey({{30, 90}}), 4, 1, {2, 2}), 0),
            (std::vector<int>{30, 30, 70, 90}));
}

TEST(BoxResampler, FlatPicturesStayFlat) {
  struct Case {
    int Width, Height, NewWidth, NewHeight;
    TSampleRates Rates;
  };
  const Case cases[] = {{40, 30, 20, 15, {1, 1}}, {40, 30, 20, 15, {1, 3}},
                        {40, 30, 80, 60, {2, 2}}, {40, 30, 80, 60, {3, 3}},
                        {40, 30, 39, 29, {2, 3}}, {40, 30, 3, 1, {1, 2}},
                        {7, 5, 70, 50, {10, 10}}, {1, 50, 10, 500, {10, 10}}};
  for (const Case& c : cases) {
    TBitmap flat;
    flat.NewImage(c.Width, c.Height, pf24bit, {});
    for (int y = 0; y < c.Height; ++y)
      for (int x = 0; x < c.Width; ++x)
        std::memcpy(flat.ScanLine(y) + 3 * x, "\x11\x77\xC3", 3);
    const TBitmapPtr out = Resampled(flat, c.NewWidth, c.NewHeight, c.Rates);
    for (int y = 0; y < c.NewHeight; ++y)
      for (int x = 0; x < c.NewWidth; ++x)
        ASSERT_EQ(out->PixelColor(x, y), flat.PixelColor(0, 0))
            << c.NewWidth << "x" << c.NewHeight << " at " << x << "," << y;
  }
}

TEST(BoxResampler, StopsWithTheRowItIsMaking) {
  // Four rows into two: the first destination row gathers grid rows 0 and 1. Stopped at once,
  // it is handed out after grid row 0, as the mean of that row alone, and nothing follows.
  const TBitmapPtr source = Grey({{10, 20, 30}, {50, 60, 70}, {0, 0, 0}, {0, 0, 0}});
  TBoxResampler resampler(*source, {3, 2, {1, 1}, clWhite, false});
  std::vector<std::pair<int, std::vector<int>>> rows;
  const std::atomic<bool> stop{true};
  EXPECT_FALSE(resampler.Run(
      [&](int row, const uint8_t* p) {
        rows.push_back({row, {p[0], p[3], p[6]}});
      },
      [](int) {}, stop));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].first, 0);
  EXPECT_EQ(rows[0].second, (std::vector<int>{10, 20, 30}));
}

TEST(BoxResampler, ProgressAndRowsAddUpToTheWholeRun) {
  TBitmap source;
  source.NewImage(50, 90, pf24bit, {});
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 150; ++x)
      source.ScanLine(y)[x] = static_cast<uint8_t>(x * 7 + y * 13);
  const TBoxTarget target{23, 41, {1, 3}, clWhite, false};
  TBitmap whole;
  BoxResample(source, whole, target);
  TBitmap pieced;
  PrepareBoxDestination(pieced, target);
  std::vector<int> percents;
  int lastRow = -1;
  const std::atomic<bool> never{false};
  EXPECT_TRUE(TBoxResampler(source, target)
                  .Run(
                      [&](int row, const uint8_t* p) {
                        EXPECT_GE(row, lastRow); // rows come in order, a part-made one again
                        lastRow = row;
                        std::memcpy(pieced.ScanLine(row), p, 3 * 23);
                      },
                      [&](int percent) { percents.push_back(percent); }, never));
  ASSERT_EQ(percents.size(), 20u);
  EXPECT_EQ(percents.front(), 5);
  EXPECT_EQ(percents.back(), 100);
  for (int y = 0; y < 41; ++y)
    EXPECT_EQ(std::memcmp(pieced.ScanLine(y), whole.ScanLine(y), 3 * 23), 0) << y;
}

TEST(BoxResampler, GridPositionsPast32Bits) {
  // 20000 pixels at two samples each, twice as wide: the walk's products pass 2^32.
  std::vector<int> ramp;
  for (int x = 0; x < 20000; ++x)
    ramp.push_back(x * 255 / 19999);
  const std::vector<int> out = Blues(*Resampled(*Grey({ramp}), 40000, 1, {2, 2}), 0);
  EXPECT_EQ(out.front(), 0);
  EXPECT_EQ(out.back(), 255);
  for (size_t x = 1; x < out.size(); ++x)
    ASSERT_GE(out[x], out[x - 1]) << x;
}

TEST(BoxResampler, RatesTooLowLeaveTheBackgroundAndKeepColours) {
  // Four pixels forty wide with one sample a pixel: the walk's bytes reach about every third
  // destination pixel; the rest keep the background, and no reached pixel has its channels
  // shifted.
  TBitmap source;
  source.NewImage(4, 1, pf24bit, {});
  for (int x = 0; x < 4; ++x)
    std::memcpy(source.ScanLine(0) + 3 * x, "\x0A\x14\x1E", 3);
  TBitmap out;
  BoxResample(source, out, {40, 1, {1, 1}, clBlack, false});
  int reached = 0;
  for (int x = 0; x < 40; ++x) {
    const TPixelColor c = out.PixelColor(x, 0);
    EXPECT_TRUE(c == 0 || c == 0x1E140A) << x << ": " << std::hex << c;
    reached += c != 0;
  }
  EXPECT_EQ(reached, 12);
}

} // namespace
} // namespace kestrel
