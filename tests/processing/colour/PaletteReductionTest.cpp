#include "processing/colour/PaletteReduction.h"
#include "processing/colour/FixedPalettes.h"

#include "PaletteTestSupport.h"
#include "imaging/core/DefaultPalettes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kestrel;

namespace {

struct Picture {
  int width, height;
  std::vector<uint8_t> bgr;
  TBgrRowSource Rows() const {
    return [this](int y) { return bgr.data() + 3 * width * y; };
  }
};

Picture FromColours(int width, int height, const Entries& colours) {
  Picture p{width, height, {}};
  for (const TPaletteEntry& c : colours)
    p.bgr.insert(p.bgr.end(), {c.Blue, c.Green, c.Red});
  return p;
}

// Reduces and returns the indices row after row (or nothing for the empty result).
std::vector<int> Reduce(TPaletteReduction& reduction, const Picture& p) {
  std::vector<uint8_t> out(static_cast<size_t>(p.width) * p.height, 0xEE);
  int rowsAsked = 0;
  reduction.Run(p.Rows(), [&](int y) {
    EXPECT_EQ(y, rowsAsked++);
    return out.data() + p.width * y;
  });
  EXPECT_EQ(rowsAsked, reduction.Empty() ? 0 : p.height);
  return {out.begin(), out.end()};
}

const Picture kFour =
    FromColours(2, 2, {Rgb(127, 127, 127), Rgb(128, 128, 128), Rgb(250, 10, 10), Rgb(0, 0, 200)});

} // namespace

TEST(PaletteReduction, EachModeHasItsPalette) {
  Entries custom = {Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(7, 8, 9)};
  auto palette = [&](int mode, int bits = 8) {
    return Of(
        TPaletteReduction(mode, dmNearest, bits, TPalette(custom), 2, 2, kFour.Rows()).Palette());
  };
  EXPECT_EQ(palette(rmWindows20), Of(SystemPalette20()));
  EXPECT_EQ(palette(rmWindows256), Of(MakeHalftonePalette()));
  EXPECT_EQ(palette(rmWindowsGray), Of(MakeWindowsGreyPalette()));
  EXPECT_EQ(palette(rmMonochrome), Of(MakeBlackWhitePalette()));
  EXPECT_EQ(palette(rmGrayScale), Of(MakeGreyPalette()));
  EXPECT_EQ(palette(rmWebCube), Of(MakeWebCubePalette()));
  EXPECT_EQ(palette(rmPalette), custom);
  // 2^bits octree colours: the four colours in tree order (first-level children 0, 7, 4, 1).
  EXPECT_EQ(palette(rmQuantize, 2),
            (Entries{Rgb(127, 127, 127), Rgb(0, 0, 200), Rgb(250, 10, 10), Rgb(128, 128, 128)}));
  EXPECT_EQ(palette(rmQuantize, 0).size(), 1u);
  EXPECT_EQ(palette(rmQuantize, 30).size(), 256u);
  Entries withSystem = palette(rmQuantizeWindows, 1);
  ASSERT_EQ(withSystem.size(), 256u);
  EXPECT_EQ(withSystem[0], Of(SystemPalette20())[0]);
  EXPECT_EQ(withSystem[9], Of(SystemPalette20())[9]);
  EXPECT_EQ(withSystem[10], Rgb(127, 127, 127));
  EXPECT_EQ(withSystem[14], Rgb(0, 0, 0));
  EXPECT_EQ(withSystem[246], Of(SystemPalette20())[10]);
  EXPECT_EQ(withSystem[255], Of(SystemPalette20())[19]);
}

TEST(PaletteReduction, CodesOutOfRangeAndEmptyPalettesGiveTheEmptyResult) {
  TPalette one = {Rgb(9, 9, 9)};
  for (int mode : {int(rmNone), 10, 200, -1})
    EXPECT_TRUE(TPaletteReduction(mode, dmNearest, 8, one, 2, 2, kFour.Rows()).Empty()) << mode;
  for (int dither : {7, -1, 1000})
    EXPECT_TRUE(TPaletteReduction(rmWebCube, dither, 8, one, 2, 2, kFour.Rows()).Empty()) << dither;
  TPaletteReduction none(rmPalette, dmFloydSteinberg, 8, {}, 2, 2, kFour.Rows());
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(Reduce(none, kFour), std::vector<int>(4, 0xEE));
  for (int mode = rmWindows20; mode <= rmPalette; ++mode)
    for (int dither = dmNearest; dither <= dmBurkes; ++dither)
      EXPECT_FALSE(TPaletteReduction(mode, dither, 8, one, 2, 2, kFour.Rows()).Empty());
}

TEST(PaletteReduction, RowsAreMappedThroughTheLookup) {
  TPaletteReduction mono(rmMonochrome, dmNearest, 8, {}, 2, 2, kFour.Rows());
  // 127 grey 32512 black; 128 grey white; (250, 10, 10): 19250 + 1500 + 290 black; blue black.
  EXPECT_EQ(Reduce(mono, kFour), (std::vector<int>{0, 1, 0, 0}));
  TPaletteReduction cube(rmWebCube, dmNearest, 8, {}, 2, 2, kFour.Rows());
  // Levels (v + 3) / 51: 127 -> 2, 128 -> 2, 250 -> 4, 10 -> 0, 200 -> 3.
  EXPECT_EQ(Reduce(cube, kFour), (std::vector<int>{86, 86, 144, 3}));
  TPalette one = {Rgb(9, 9, 9)};
  for (int dither = dmNearest; dither <= dmBurkes; ++dither) {
    TPaletteReduction single(rmPalette, dither, 8, one, 2, 2, kFour.Rows());
    EXPECT_EQ(Reduce(single, kFour), std::vector<int>(4, 0));
  }
  // The octree palette of four colours holds each exactly, so nothing is left to diffuse.
  TPaletteReduction octree(rmQuantize, dmStucki, 2, {}, 2, 2, kFour.Rows());
  EXPECT_EQ(Reduce(octree, kFour), (std::vector<int>{0, 3, 2, 1}));
}

TEST(PaletteReduction, TinyAndEmptyPictures) {
  Picture dot = FromColours(1, 1, {Rgb(200, 100, 50)});
  for (int mode = rmWindows20; mode <= rmQuantizeWindows; ++mode)
    for (int dither = dmNearest; dither <= dmBurkes; ++dither) {
      TPaletteReduction r(mode, dither, 8, {}, 1, 1, dot.Rows());
      std::vector<int> out = Reduce(r, dot);
      ASSERT_LT(out[0], static_cast<int>(r.Palette().Count()));
    }
  TPaletteReduction octree(rmQuantize, dmFloydSteinberg, 8, {}, 1, 1, dot.Rows());
  EXPECT_EQ(octree.Palette()[0], Rgb(200, 100, 50));
  EXPECT_EQ(Reduce(octree, dot), std::vector<int>{0});

  Picture nothing{0, 0, {}};
  for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 3}, std::pair{3, 0}}) {
    TPaletteReduction r(rmQuantizeWindows, dmBurkes, 8, {}, w, h, nothing.Rows());
    EXPECT_EQ(r.Palette().Count(), 256);
    EXPECT_EQ(r.Palette()[10], Rgb(0, 0, 0));
    int asked = 0;
    r.Run(nothing.Rows(), [&](int) {
      ++asked;
      return static_cast<uint8_t*>(nullptr);
    });
    EXPECT_EQ(asked, h);
  }
}
