#include "processing/colour/FixedPalettes.h"
#include "processing/colour/FloydSteinbergDitherer.h"
#include "processing/colour/KernelDitherers.h"
#include "processing/colour/PaletteReduction.h"

#include "PaletteTestSupport.h"
#include "imaging/core/DefaultPalettes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

using namespace kestrel;

namespace {

struct Picture {
  int width, height;
  std::vector<uint8_t> bgr;
  const uint8_t* Row(int y) const { return bgr.data() + 3 * width * y; }
};

Picture Grey(int width, int height, int level) {
  return {width, height, std::vector<uint8_t>(3 * width * height, static_cast<uint8_t>(level))};
}

// A smooth colour gradient with a step in it, small enough to follow by hand if a test fails.
Picture Gradient(int width, int height) {
  Picture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      p.bgr.push_back(static_cast<uint8_t>(255 - 15 * x - 10 * y));
      p.bgr.push_back(static_cast<uint8_t>(30 * y + x + (x > width / 2 ? 40 : 0)));
      p.bgr.push_back(static_cast<uint8_t>(20 * x + 3 * y));
    }
  return p;
}

using Indices = std::vector<std::vector<int>>;

Indices RunRows(TDitherEngine& ditherer, const Picture& p) {
  Indices out;
  for (int y = 0; y < p.height; ++y) {
    std::vector<uint8_t> row(p.width, 0xEE);
    ditherer.DitherRow(p.Row(y), row.data());
    out.emplace_back(row.begin(), row.end());
  }
  return out;
}

// The same walk through the per-pixel interface, following the engine's column.
Indices RunPixels(TDitherEngine& ditherer, const Picture& p) {
  Indices out;
  for (int y = 0; y < p.height; ++y) {
    std::vector<int> row(p.width, -1);
    while (ditherer.Column() >= 0 && ditherer.Column() < p.width) {
      int x = ditherer.Column();
      const uint8_t* px = p.Row(y) + 3 * x;
      row[x] = ditherer.DitherPixel(px[2], px[1], px[0]).Index;
    }
    ditherer.AdvanceLine();
    out.push_back(row);
  }
  return out;
}

// ---- Independent model of the diffusion rules ---------------------------------------------------

int ModelLimit(int i, int a, int c) {
  int m = std::abs(i);
  int v = m < a ? m : m < c ? a + (m - a) / 2 : a + (c - a) / 2;
  return i < 0 ? -v : v;
}

// What a ditherer adds to a pixel and does with its error; the walk itself is common.
struct ModelRules {
  std::function<void(bool leftToRight)> startRow = [](bool) {};
  std::function<int(int channel, int x, int y)> error = [](int, int, int) { return 0; };
  std::function<void(int x, int y, int dir, const int e[3])> spread = [](int, int, int,
                                                                         const int*) {};
  std::function<void()> endRow = [] {};
};

// Rows top to bottom, even rows left to right and odd rows right to left.
Indices ModelWalk(TColorLookup& lookup, const Picture& p, const ModelRules& rules) {
  Indices out(p.height, std::vector<int>(p.width));
  for (int y = 0; y < p.height; ++y) {
    int dir = y % 2 == 0 ? 1 : -1;
    rules.startRow(dir > 0);
    for (int i = 0; i < p.width; ++i) {
      int x = dir > 0 ? i : p.width - 1 - i;
      const uint8_t* px = p.Row(y) + 3 * x;
      int in[3] = {px[2], px[1], px[0]}, v[3];
      for (int c = 0; c < 3; ++c)
        v[c] = std::clamp(in[c] + rules.error(c, x, y), 0, 255);
      TMappedColor m = lookup.MapColor(v[0], v[1], v[2]);
      out[y][x] = m.Index;
      int e[3] = {v[0] - m.Red, v[1] - m.Green, v[2] - m.Blue};
      rules.spread(x, y, dir, e);
    }
    rules.endRow();
  }
  return out;
}

// Weights of a kernel by row below the pixel (0..3) and position -3..+3 along the scan.
struct ModelKernel {
  int divisor, limitA, limitC;
  int weights[4][7];
};

// clang-format off
const ModelKernel kStucki{42, 8, 32, {{0, 0, 0, 0, 8, 4, 0},
                                      {0, 2, 4, 8, 4, 2, 0},
                                      {0, 1, 2, 4, 2, 1, 0}}};
const ModelKernel kSierra{32, 8, 32, {{0, 0, 0, 0, 5, 3, 0},
                                      {0, 2, 4, 5, 4, 2, 0},
                                      {0, 0, 2, 3, 2, 0, 0}}};
const ModelKernel kJarvis{48, 8, 32, {{0, 0, 0, 0, 7, 5, 0},
                                      {0, 3, 5, 7, 5, 3, 0},
                                      {0, 1, 3, 5, 3, 1, 0}}};
const ModelKernel kStevenson{200, 8, 16, {{ 0,  0,  0,  0,  0, 32,  0},
                                          {12,  0, 26,  0, 30,  0, 16},
                                          { 0, 12,  0, 26,  0, 12,  0},
                                          { 5,  0, 12,  0, 12,  0,  5}}};
const ModelKernel kBurkes{32, 16, 48, {{0, 0, 0, 0, 8, 4, 0},
                                       {0, 2, 4, 8, 4, 2, 0}}};
// clang-format on

// Whole-picture error planes per channel, with a margin of 4 around the picture.
Indices KernelModel(const ModelKernel& k, TColorLookup& lookup, const Picture& p) {
  const int pad = 4;
  std::vector<std::vector<int>> plane[3];
  for (auto& rows : plane)
    rows.assign(p.height + pad, std::vector<int>(p.width + 2 * pad));
  ModelRules rules;
  rules.error = [&](int c, int x, int y) {
    return ModelLimit((plane[c][y][x + pad] + k.divisor / 2) / k.divisor, k.limitA, k.limitC);
  };
  rules.spread = [&](int x, int y, int dir, const int e[3]) {
    for (int dy = 0; dy < 4; ++dy)
      for (int dx = -3; dx <= 3; ++dx)
        for (int c = 0; c < 3; ++c)
          plane[c][y + dy][x + dir * dx + pad] += e[c] * k.weights[dy][dx + 3];
  };
  return ModelWalk(lookup, p, rules);
}

// Floyd-Steinberg as the rules state it: one error row R of width + 2 entries, read and written at
// the same position, and the carried current, below-behind and below values.
Indices FloydModel(TColorLookup& lookup, const Picture& p) {
  std::vector<int> r[3];
  for (auto& row : r)
    row.assign(p.width + 2, 0);
  int pos = 0, step = 1, cur[3], behind[3], below[3];
  ModelRules rules;
  rules.startRow = [&](bool leftToRight) {
    pos = leftToRight ? 0 : p.width + 1;
    step = leftToRight ? 1 : -1;
    for (int c = 0; c < 3; ++c)
      cur[c] = behind[c] = below[c] = 0;
  };
  rules.error = [&](int c, int, int) { return ModelLimit((r[c][pos] + cur[c] + 8) / 16, 16, 48); };
  rules.spread = [&](int, int, int, const int e[3]) {
    for (int c = 0; c < 3; ++c) {
      if (e[c] == 0) {
        cur[c] = 0;
        continue;
      }
      r[c][pos] = behind[c] + 3 * e[c];
      behind[c] = below[c] + 5 * e[c];
      below[c] = e[c];
      cur[c] = 7 * e[c];
    }
    pos += step;
  };
  rules.endRow = [&] {
    for (int c = 0; c < 3; ++c)
      r[c][pos] = behind[c];
  };
  return ModelWalk(lookup, p, rules);
}

// A lookup of its own per run: the fast lookup remembers its first callers.
using LookupMaker = std::function<std::unique_ptr<TColorLookup>()>;

const LookupMaker kLookups[] = {
    [] { return std::make_unique<TFastColorLookup>(Of(SystemPalette20())); },
    [] { return std::make_unique<TMonochromeLookup>(); },
    [] { return std::make_unique<TNetscapeColorLookup>(); },
    [] { return std::make_unique<TFastColorLookup>(Of(MakeWindowsGreyPalette())); },
};

Indices Model(int ditherMode, TColorLookup& lookup, const Picture& p) {
  switch (ditherMode) {
  case dmFloydSteinberg:
    return FloydModel(lookup, p);
  case dmStucki:
    return KernelModel(kStucki, lookup, p);
  case dmSierra:
    return KernelModel(kSierra, lookup, p);
  case dmJaJuNi:
    return KernelModel(kJarvis, lookup, p);
  case dmSteveArche:
    return KernelModel(kStevenson, lookup, p);
  case dmBurkes:
    return KernelModel(kBurkes, lookup, p);
  default:
    return ModelWalk(lookup, p, {});
  }
}

} // namespace

TEST(Ditherers, ErrorLimitTables) {
  auto fast = std::make_unique<TMonochromeLookup>();
  TDitherEngine plain(4, *fast);
  EXPECT_EQ(plain.ErrorLimit(200), 200);
  EXPECT_EQ(plain.ErrorLimit(-255), -255);

  TFloydSteinbergDitherer floyd(4, *fast); // 16, 48: cap 32
  EXPECT_EQ(floyd.ErrorLimit(15), 15);
  EXPECT_EQ(floyd.ErrorLimit(17), 16);
  EXPECT_EQ(floyd.ErrorLimit(47), 31);
  EXPECT_EQ(floyd.ErrorLimit(48), 32);
  EXPECT_EQ(floyd.ErrorLimit(-255), -32);
  EXPECT_EQ(TBurkesDitherer(4, *fast).ErrorLimit(-47), -31);

  TStuckiDitherer stucki(4, *fast); // 8, 32: cap 20
  EXPECT_EQ(stucki.ErrorLimit(7), 7);
  EXPECT_EQ(stucki.ErrorLimit(9), 8);
  EXPECT_EQ(stucki.ErrorLimit(31), 19);
  EXPECT_EQ(stucki.ErrorLimit(-200), -20);
  EXPECT_EQ(TJaJuNiDitherer(4, *fast).ErrorLimit(32), 20);
  EXPECT_EQ(TSierraDitherer(4, *fast).ErrorLimit(10), 9);

  TSteveArcheDitherer stevenson(4, *fast); // 8, 16: cap 12
  EXPECT_EQ(stevenson.ErrorLimit(15), 11);
  EXPECT_EQ(stevenson.ErrorLimit(16), 12);
  EXPECT_EQ(stevenson.ErrorLimit(-100), -12);
}

TEST(Ditherers, FloydSteinbergFirstRowsByHand) {
  // Grey 100 on black and white. Row 0, left to right (limits: 44 -> 30, -54 -> -32, 30 -> 23):
  //  x0: 100 -> black, e 100: R0 = 300, P = 500, B = 100, C = 700
  //  x1: 100 + limit((0 + 700 + 8) / 16 = 44) = 130 -> white, e -125: R1 = 125, P = -525, C = -875
  //  x2: 100 + limit(-867 / 16 = -54) = 68 -> black, e 68: R2 = -321, P = 215, C = 476
  //  x3: 100 + limit(484 / 16 = 30) = 123 -> black, e 123: R3 = 584, P = 683; end: R4 = 683
  // Row 1, right to left from entry 5:
  //  x3: R5 = 0 -> 100 -> black, e 100: C = 700, P = 500
  //  x2: 100 + limit((683 + 700 + 8) / 16 = 86) = 132 -> white, e -123: C = -861
  //  x1: 100 + limit((584 - 861 + 8) / 16 = -16) = 84 -> black
  //  x0: 100 + limit((-321 + 588 + 8) / 16 = 17) = 116 -> black
  TMonochromeLookup mono;
  TFloydSteinbergDitherer floyd(4, mono);
  EXPECT_EQ(RunRows(floyd, Grey(4, 2, 100)), (Indices{{0, 1, 0, 0}, {0, 0, 1, 0}}));
}

TEST(Ditherers, BurkesFirstRowsByHand) {
  // Grey 100 on black and white, divisor 32, limits 16 / 48. Row 0 (entries x + 2):
  //  x0: 100 -> black, e 100: this row +800 at x1, +400 at x2; next row 200 400 800 400 200
  //  x1: (800 + 16) / 32 = 25 -> limit 20 -> 120 black, e 120
  //  x2: (1360 + 16) / 32 = 43 -> limit 29 -> 129 white, e -126
  //  x3: (-528 + 16) / 32 = -16 -> 84 black, e 84
  // Next row, entries 0..7: 200 640 1028 1024 8 408 84 168. Row 1, right to left:
  //  x3: (408 + 16) / 32 = 13 -> 113 black, e 113: +904 at x2, +452 at x1
  //  x2: (912 + 16) / 32 = 29 -> limit 22 -> 122 black, e 122: +976 at x1, +488 at x0
  //  x1: (2452 + 16) / 32 = 77 -> limit 32 -> 132 white, e -123: -984 at x0
  //  x0: (532 + 16) / 32 = 17 -> limit 16 -> 116 black
  TMonochromeLookup mono;
  TBurkesDitherer burkes(4, mono);
  EXPECT_EQ(RunRows(burkes, Grey(4, 2, 100)), (Indices{{0, 0, 1, 0}, {0, 1, 0, 0}}));
}

TEST(Ditherers, EveryDitherModeMatchesTheModel) {
  const Picture pictures[] = {Gradient(13, 7), Gradient(1, 6), Gradient(2, 5), Grey(9, 4, 77)};
  for (int mode = dmNearest; mode <= dmBurkes; ++mode)
    for (const LookupMaker& make : kLookups)
      for (const Picture& p : pictures) {
        SCOPED_TRACE(testing::Message()
                     << "mode " << mode << " picture " << p.width << "x" << p.height);
        auto modelLookup = make();
        Indices expected = Model(mode, *modelLookup, p);
        auto rowLookup = make();
        auto rowDitherer = CreateDitherer(mode, p.width, *rowLookup);
        EXPECT_EQ(RunRows(*rowDitherer, p), expected);
        auto pixelLookup = make();
        auto pixelDitherer = CreateDitherer(mode, p.width, *pixelLookup);
        EXPECT_EQ(RunPixels(*pixelDitherer, p), expected);
      }
}

TEST(Ditherers, DiffusionKeepsTheMeanOfAFlatGrey) {
  // On greys 16 apart every error stays inside the limits' identity part, so the diffused picture
  // keeps the brightness of a flat grey between two steps, where the nearest colour is 4 or 6 off.
  Entries greys;
  for (int v = 0; v <= 240; v += 16)
    greys.push_back({static_cast<uint8_t>(v), static_cast<uint8_t>(v), static_cast<uint8_t>(v)});
  for (int level : {100, 150, 230}) {
    for (int mode = dmFloydSteinberg; mode <= dmBurkes; ++mode) {
      TFastColorLookup lookup(greys);
      auto ditherer = CreateDitherer(mode, 64, lookup);
      Indices out = RunRows(*ditherer, Grey(64, 64, level));
      double sum = 0;
      for (const auto& row : out)
        for (int index : row)
          sum += 16 * index;
      EXPECT_NEAR(sum / 4096, level, 0.5) << "mode " << mode << " level " << level;
    }
  }
}

namespace {

// Records the order in which colours are looked up; the red channel carries the column.
class RecordingLookup final : public TColorLookup {
public:
  RecordingLookup() : TColorLookup(256) {}
  TMappedColor MapColor(uint8_t red, uint8_t green, uint8_t blue) override {
    columns.push_back(red);
    return {0, red, green, blue};
  }
  std::vector<int> columns;
};

} // namespace

TEST(Ditherers, SerpentineWalk) {
  Picture p{5, 3, {}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      p.bgr.insert(p.bgr.end(), {0, 0, static_cast<uint8_t>(x)});
  for (int mode = dmNearest; mode <= dmBurkes; ++mode) {
    RecordingLookup record;
    auto ditherer = CreateDitherer(mode, 5, record);
    EXPECT_EQ(ditherer->Column(), 0);
    EXPECT_EQ(ditherer->Direction(), 1);
    RunRows(*ditherer, p);
    EXPECT_EQ(record.columns, (std::vector<int>{0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 0, 1, 2, 3, 4}));
    EXPECT_EQ(ditherer->Direction(), -1);
    EXPECT_EQ(ditherer->Column(), 4);
  }
}

TEST(Ditherers, PixelsOutsideTheRowAreOnlyMapped) {
  // Once the column has left the row, a further pixel is mapped as it is, and the row's errors are
  // left as they were for the next row.
  for (int mode = dmNearest; mode <= dmBurkes; ++mode) {
    TMonochromeLookup mono;
    auto extra = CreateDitherer(mode, 4, mono), plain = CreateDitherer(mode, 4, mono);
    for (int x = 0; x < 4; ++x) {
      extra->DitherPixel(100, 100, 100);
      plain->DitherPixel(100, 100, 100);
    }
    EXPECT_EQ(extra->Column(), 4);
    EXPECT_EQ(extra->DitherPixel(130, 130, 130).Index, 1);
    EXPECT_EQ(extra->DitherPixel(120, 120, 120).Index, 0);
    EXPECT_EQ(extra->Column(), 4);
    extra->AdvanceLine();
    plain->AdvanceLine();
    Picture p = Grey(4, 1, 100);
    EXPECT_EQ(RunRows(*extra, p), RunRows(*plain, p)) << "mode " << mode;
  }
}

TEST(Ditherers, EmptyRowsAndUnknownCodes) {
  TMonochromeLookup mono;
  for (int mode = dmNearest; mode <= dmBurkes; ++mode) {
    auto ditherer = CreateDitherer(mode, 0, mono);
    ditherer->DitherRow(nullptr, nullptr);
    ditherer->DitherRow(nullptr, nullptr);
    EXPECT_EQ(ditherer->Direction(), 1);
    auto negative = CreateDitherer(mode, -5, mono);
    EXPECT_EQ(negative->Width(), 0);
  }
  EXPECT_EQ(CreateDitherer(7, 4, mono), nullptr);
  EXPECT_EQ(CreateDitherer(-1, 4, mono), nullptr);
}
