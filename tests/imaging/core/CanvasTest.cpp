// Drawing: shapes with device conventions, pen modes, flood fill, block copies, text, locking.
// Shapes are checked on every storage kind, so painting in place and painting through a scratch
// must agree pixel for pixel.

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Canvas.h"
#include "imaging/core/DefaultPalettes.h"

#include <gtest/gtest.h>

#include <future>
#include <set>
#include <string>

namespace kestrel {
namespace {

using test::PixelsOf;

// Every format whose palette (the default one) holds black, white, red, lime and blue exactly.
constexpr TPixelFormat kFormats[] = {pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};

// Pixels as a picture of characters: '.' white, '#' black, 'r' red, 'g' lime, 'b' blue.
std::string Picture(const TBitmap& b) {
  std::string text;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      switch (b.PixelColor(x, y)) {
      case 0xFFFFFF:
        text += '.';
        break;
      case 0x000000:
        text += '#';
        break;
      case 0xFF0000:
        text += 'r';
        break;
      case 0x00FF00:
        text += 'g';
        break;
      case 0x0000FF:
        text += 'b';
        break;
      default:
        text += '?';
      }
    }
    text += '\n';
  }
  return text;
}

class CanvasShapes : public ::testing::TestWithParam<TPixelFormat> {};

TEST_P(CanvasShapes, RectanglesExcludeTheirRightAndBottomEdges) {
  TBitmap b(7, 5, GetParam());
  b.Canvas().Brush.Color = clRed;
  b.Canvas().Rectangle(1, 1, 5, 4);
  EXPECT_EQ(Picture(b), ".......\n"
                        ".####..\n"
                        ".#rr#..\n"
                        ".####..\n"
                        ".......\n");
  b.Canvas().Brush.Color = clBlue;
  b.Canvas().FillRect({5, 0, 7, 2});
  b.Canvas().Brush.Color = clLime;
  b.Canvas().FrameRect({0, 3, 3, 5});
  EXPECT_EQ(Picture(b), ".....bb\n"
                        ".####bb\n"
                        ".#rr#..\n"
                        "ggg##..\n"
                        "ggg....\n");
}

TEST_P(CanvasShapes, LinesLeaveOutTheirEndPixel) {
  TBitmap b(6, 3, GetParam());
  b.Canvas().MoveTo(0, 1);
  b.Canvas().LineTo(4, 1);
  b.Canvas().Pen.Color = clBlue;
  b.Canvas().LineTo(4, 0);
  EXPECT_EQ(Picture(b), "......\n"
                        "####b.\n"
                        "......\n");
  EXPECT_EQ(b.Canvas().PenPos(), (TPoint{4, 0}));
}

TEST_P(CanvasShapes, EllipsesFitTheirBoundsAndAreSymmetric) {
  TBitmap b(11, 9, GetParam());
  b.Canvas().Brush.Color = clRed;
  b.Canvas().Ellipse(1, 1, 10, 8);
  const std::string p = Picture(b);
  std::vector<std::string> rows;
  for (size_t start = 0; start < p.size(); start = p.find('\n', start) + 1)
    rows.push_back(p.substr(start, p.find('\n', start) - start));
  EXPECT_EQ(rows[0], "...........");
  EXPECT_EQ(rows[8], "...........");
  for (const std::string& row : rows) {
    EXPECT_EQ(row.front(), '.');
    EXPECT_EQ(row.back(), '.');
    EXPECT_EQ(row, std::string(row.rbegin(), row.rend())) << "left-right symmetry";
  }
  EXPECT_NE(rows[1].find('#'), std::string::npos);
  EXPECT_NE(rows[7].find('#'), std::string::npos);
  EXPECT_EQ(rows[4][1], '#');
  EXPECT_EQ(rows[4][9], '#');
  EXPECT_EQ(rows[4][5], 'r');
}

TEST_P(CanvasShapes, PenModesCombineWithWhatIsThere) {
  TBitmap b(5, 3, GetParam());
  b.Canvas().Brush.Color = clRed;
  b.Canvas().FillRect({0, 0, 5, 3});
  const std::string before = Picture(b);
  b.Canvas().Pen.Mode = pmXor;
  b.Canvas().Pen.Color = clWhite;
  b.Canvas().MoveTo(0, 1);
  b.Canvas().LineTo(5, 1);
  EXPECT_EQ(Picture(b), "rrrrr\n?????\nrrrrr\n"); // red xor white is cyan
  EXPECT_EQ(b.PixelColor(2, 1), 0x00FFFFu);
  b.Canvas().MoveTo(0, 1);
  b.Canvas().LineTo(5, 1);
  EXPECT_EQ(Picture(b), before) << "xor twice restores";
  b.Canvas().Pen.Mode = pmNot;
  b.Canvas().Rectangle(0, 0, 2, 2);
  EXPECT_EQ(b.PixelColor(0, 0), 0x00FFFFu);
}

TEST_P(CanvasShapes, FloodFillFillsConnectedPixelsOfOneColour) {
  TBitmap b(6, 4, GetParam());
  b.Canvas().Brush.Color = clRed;
  b.Canvas().FillRect({0, 0, 2, 2});
  b.Canvas().FillRect({2, 2, 4, 4}); // touches the first square only at a corner
  b.Canvas().Brush.Color = clBlue;
  b.Canvas().FloodFill(0, 0, clRed, fsSurface);
  EXPECT_EQ(Picture(b), "bb....\n"
                        "bb....\n"
                        "..rr..\n"
                        "..rr..\n");
  b.Canvas().FloodFill(5, 0, clRed, fsSurface); // (5, 0) is not red: nothing happens
  EXPECT_EQ(b.PixelColor(5, 0), 0xFFFFFFu);
  b.Canvas().Brush.Color = clLime;
  b.Canvas().FloodFill(5, 0, clRed, fsBorder);
  EXPECT_EQ(Picture(b), "gggggg\n"
                        "gggggg\n"
                        "ggrrgg\n"
                        "ggrrgg\n");
}

TEST_P(CanvasShapes, BorderFillWithAnAbsentColourFillsEverything) {
  TBitmap b(4, 3, GetParam());
  b.Canvas().Pen.Color = clBlue;
  b.Canvas().MoveTo(0, 1);
  b.Canvas().LineTo(4, 1);
  b.Canvas().Brush.Color = clRed;
  b.Canvas().FloodFill(0, 0, clLime, fsBorder);
  EXPECT_EQ(Picture(b), "rrrr\nrrrr\nrrrr\n");
}

INSTANTIATE_TEST_SUITE_P(EveryStorage, CanvasShapes, ::testing::ValuesIn(kFormats));

TEST(CanvasPalette, UntouchedPixelsKeepTheirIndexEvenWhenColoursRepeat) {
  TBitmap b(4, 1, pf8bit);
  TPalette palette = TPalette::Black(4);
  palette.SetColor(3, clWhite);
  b.SetPalette(palette);
  for (int x = 0; x < 4; ++x)
    b.ScanLine(0)[x] = 2; // black, but not entry 0
  b.Canvas().Pen.Color = clWhite;
  b.Canvas().MoveTo(1, 0);
  b.Canvas().LineTo(2, 0);
  EXPECT_EQ(b.ScanLine(0)[0], 2);
  EXPECT_EQ(b.ScanLine(0)[1], 3);
  EXPECT_EQ(b.ScanLine(0)[2], 2);
}

TEST(CanvasFloodFill, ColoursCompareAsTheSurfaceHoldsThem) {
  TBitmap b(3, 1, pf16bit);
  b.Canvas().SetPixel(1, 0, RgbColor(0x13, 0x57, 0x9B));
  b.Canvas().Brush.Color = clBlack;
  b.Canvas().FloodFill(1, 0, RgbColor(0x13, 0x57, 0x9B), fsSurface);
  EXPECT_EQ(b.PixelColor(1, 0), 0u);
}

TEST(CanvasCopy, BackwardsRectanglesMirrorInPlace) {
  TBitmap b(3, 2, pf8bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      b.ScanLine(y)[x] = static_cast<uint8_t>(10 * y + x);
  TCanvas& c = b.Canvas();
  c.CopyRect({0, 1, 3, -1}, c, {0, 0, 3, 2}); // top and bottom exchanged
  EXPECT_EQ(b.ScanLine(0)[0], 10);
  EXPECT_EQ(b.ScanLine(1)[2], 2);
  c.CopyRect({2, 0, -1, 2}, c, {0, 0, 3, 2}); // left and right exchanged
  EXPECT_EQ(b.ScanLine(0)[0], 12);
  EXPECT_EQ(b.ScanLine(0)[2], 10);
  EXPECT_EQ(b.ScanLine(1)[1], 1);
}

TEST(CanvasCopy, StretchingDeletesOrRepeatsWholePixels) {
  TBitmap source(4, 1, pf24bit);
  const TColor colours[4] = {clRed, clLime, clBlue, clBlack};
  for (int x = 0; x < 4; ++x)
    source.Canvas().SetPixel(x, 0, colours[x]);
  TBitmap big(8, 2, pf24bit);
  big.Canvas().StretchDraw({0, 0, 8, 2}, source);
  EXPECT_EQ(Picture(big), "rrggbb##\nrrggbb##\n");
  TBitmap small(2, 1, pf24bit);
  small.Canvas().StretchDraw({0, 0, 2, 1}, source);
  EXPECT_EQ(Picture(small), "g#\n") << "the pixels under the destination pixels' centres";
  small.Canvas().StretchMode = smHalftone;
  small.Canvas().StretchDraw({0, 0, 2, 1}, source);
  EXPECT_EQ(Picture(small), "??\n") << "halftone averages";
}

TEST(CanvasCopy, CopyModesCombineSourceAndDestination) {
  TBitmap source(1, 1, pf24bit), target(1, 1, pf24bit);
  source.Canvas().SetPixel(0, 0, RgbColor(0xF0, 0x0F, 0x55));
  target.Canvas().SetPixel(0, 0, RgbColor(0x3C, 0x3C, 0xFF));
  TCanvas& t = target.Canvas();
  t.CopyMode = cmSrcInvert;
  t.CopyRect({0, 0, 1, 1}, source.Canvas(), {0, 0, 1, 1});
  EXPECT_EQ(t.Pixel(0, 0), RgbColor(0xCC, 0x33, 0xAA));
  t.CopyRect({0, 0, 1, 1}, source.Canvas(), {0, 0, 1, 1});
  EXPECT_EQ(t.Pixel(0, 0), RgbColor(0x3C, 0x3C, 0xFF));
  t.CopyMode = cmSrcAnd;
  t.CopyRect({0, 0, 1, 1}, source.Canvas(), {0, 0, 1, 1});
  EXPECT_EQ(t.Pixel(0, 0), RgbColor(0x30, 0x0C, 0x55));
  t.CopyMode = cmNotSrcCopy;
  t.CopyRect({0, 0, 1, 1}, source.Canvas(), {0, 0, 1, 1});
  EXPECT_EQ(t.Pixel(0, 0), RgbColor(0x0F, 0xF0, 0xAA));
  t.CopyMode = cmWhiteness;
  t.CopyRect({0, 0, 1, 1}, source.Canvas(), {0, 0, 1, 1});
  EXPECT_EQ(t.Pixel(0, 0), clWhite);
}

TEST(CanvasPixels, OutsideReadsMinusOneAndWritesNothing) {
  TBitmap b(2, 2, pf24bit);
  EXPECT_EQ(b.Canvas().Pixel(2, 0), -1);
  EXPECT_EQ(b.Canvas().Pixel(0, -1), -1);
  b.Canvas().SetPixel(-1, 0, clBlack);
  EXPECT_EQ(PixelsOf(b), std::vector<TPixelColor>(4, 0xFFFFFF));
  b.Canvas().SetPixel(1, 1, RgbColor(1, 2, 3));
  EXPECT_EQ(b.Canvas().Pixel(1, 1), RgbColor(1, 2, 3));
}

TEST(CanvasText, TextStaysInItsCellAndMovesThePen) {
  TBitmap b(120, 40, pf24bit);
  TCanvas& c = b.Canvas();
  c.Font.Size = 12;
  c.Font.Color = clBlue;
  c.Brush.Color = clRed;
  const TSize extent = c.TextExtent("Kestrel");
  ASSERT_GT(extent.Width, 10);
  ASSERT_GT(extent.Height, 5);
  c.TextOut(5, 3, "Kestrel");
  EXPECT_EQ(c.PenPos(), (TPoint{5 + extent.Width, 3}));
  int ink = 0, background = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const TPixelColor p = b.PixelColor(x, y);
      const bool inCell = x >= 5 && x < 5 + extent.Width && y >= 3 && y < 3 + extent.Height;
      if (p == 0x0000FF) ++ink;
      if (p == 0xFF0000) ++background;
      if (!inCell)
        EXPECT_EQ(p, 0xFFFFFFu) << x << "," << y;
      else
        EXPECT_TRUE(p == 0x0000FF || p == 0xFF0000) << "no blended edges: " << std::hex << p;
    }
  EXPECT_GT(ink, 20);
  EXPECT_GT(background, ink);
  c.Brush.Style = bsClear;
  c.Font.Color = clLime;
  c.TextOut(5, 3, "K");
  EXPECT_EQ(b.PixelColor(5, 3), 0xFF0000u) << "a clear brush leaves the background";
}

TEST(CanvasExternal, DrawsOnTheCallersImage) {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(0xFFFFFFFF);
  TCanvas c(image);
  c.Brush.Color = clRed;
  c.FillRect({1, 1, 3, 3});
  EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(image.pixel(3, 3) & 0xFFFFFF, 0xFFFFFFu);
  QImage indexed(2, 1, QImage::Format_Indexed8);
  indexed.setColorTable({0xFF000000, 0xFFFFFFFF, 0xFFFF0000});
  indexed.fill(1);
  TCanvas ic(indexed);
  ic.SetPixel(0, 0, RgbColor(250, 0, 0));
  EXPECT_EQ(indexed.pixelIndex(0, 0), 2);
}

TEST(CanvasLock, TryLockFailsWhileAnotherThreadHoldsTheLock) {
  TBitmap b(1, 1, pf24bit);
  b.Canvas().Lock();
  EXPECT_EQ(b.Canvas().LockCount(), 1);
  EXPECT_FALSE(std::async(std::launch::async, [&] { return b.Canvas().TryLock(); }).get());
  EXPECT_TRUE(b.Canvas().TryLock()) << "the lock is recursive for its holder";
  b.Canvas().Unlock();
  b.Canvas().Unlock();
  auto other = std::async(std::launch::async, [&] {
    const bool got = b.Canvas().TryLock();
    if (got) b.Canvas().Unlock();
    return got;
  });
  EXPECT_TRUE(other.get());
}

} // namespace
} // namespace kestrel
