// What the tools draw: lines end on both their pixels at every pen width, outlines stay outlines,
// the eraser brings back the picture only inside its square, a cut-out keeps palette indices from
// any offset, and text lands as a block of the box colour at the selection's corner.

#include "processing/editing/ToolDrawing.h"
#include "processing/editing/TextStamp.h"

#include "imaging/core/Bitmap.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>

#include <memory>

namespace kestrel {
namespace {

constexpr TColor kRed = RgbColor(255, 0, 0);
constexpr TColor kWhite = RgbColor(255, 255, 255);

std::unique_ptr<TBitmap> WhiteBitmap(int w, int h) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(w, h, pf24bit, {});
  bitmap->Canvas().Brush.Color = kWhite;
  bitmap->Canvas().FillRect({0, 0, w, h});
  return bitmap;
}

// The number of red pixels in column x.
int RedInColumn(TBitmap& b, int x) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    n += b.Canvas().Pixel(x, y) == kRed;
  return n;
}

TEST(ToolShapes, LinesSetBothEndPixelsAndGrowWithThePenWidth) {
  for (int width : {1, 2, 4, 8, 12, 16}) {
    auto bOwner = WhiteBitmap(80, 60);
    TBitmap& b = *bOwner;
    const TRect touched = DrawToolShape(b.Canvas(), TEditTool::Line, {10, 30, 60, 30}, kRed, width);
    EXPECT_EQ(b.Canvas().Pixel(10, 30), kRed) << width;
    EXPECT_EQ(b.Canvas().Pixel(60, 30), kRed) << width;
    // A horizontal line is as thick as its pen, within a pixel of rounding.
    EXPECT_NEAR(RedInColumn(b, 35), width, width > 1 ? 1 : 0) << width;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 80; ++x)
        if (b.Canvas().Pixel(x, y) == kRed) {
          ASSERT_TRUE(x >= touched.Left && x < touched.Right && y >= touched.Top &&
                      y < touched.Bottom);
        }
  }
}

TEST(ToolShapes, RectanglesAndEllipsesAreOutlinesThroughTheCorners) {
  auto bOwner = WhiteBitmap(50, 50);
  TBitmap& b = *bOwner;
  DrawToolShape(b.Canvas(), TEditTool::Rectangle, {40, 35, 10, 5}, kRed, 1);
  EXPECT_EQ(b.Canvas().Pixel(10, 5), kRed);
  EXPECT_EQ(b.Canvas().Pixel(40, 35), kRed);
  EXPECT_EQ(b.Canvas().Pixel(25, 20), kWhite);
  EXPECT_EQ(b.Canvas().Pixel(41, 36), kWhite);
  auto eOwner = WhiteBitmap(50, 50);
  TBitmap& e = *eOwner;
  DrawToolShape(e.Canvas(), TEditTool::Ellipse, {10, 5, 40, 35}, kRed, 1);
  EXPECT_EQ(e.Canvas().Pixel(25, 20), kWhite);
  EXPECT_EQ(e.Canvas().Pixel(10, 5), kWhite); // the corner lies outside the ellipse
  EXPECT_EQ(RedInColumn(e, 25), 2);
}

TEST(ToolShapes, TheEraserRestoresOnlyItsSquare) {
  auto pictureOwner = WhiteBitmap(30, 30);
  TBitmap& picture = *pictureOwner;
  TBitmap overlay;
  overlay.Assign(&picture);
  DrawToolShape(overlay.Canvas(), TEditTool::Line, {0, 15, 29, 15}, kRed, 1);
  const TRect erased = EraseSquare(overlay, picture, {15, 15}, 2);
  EXPECT_EQ(erased, (TRect{13, 13, 18, 18}));
  EXPECT_EQ(overlay.Canvas().Pixel(13, 15), kWhite);
  EXPECT_EQ(overlay.Canvas().Pixel(17, 15), kWhite);
  EXPECT_EQ(overlay.Canvas().Pixel(12, 15), kRed);
  EXPECT_EQ(overlay.Canvas().Pixel(18, 15), kRed);
  // At the picture's edge the square is clipped, not refused.
  EXPECT_EQ(EraseSquare(overlay, picture, {0, 15}, 4), (TRect{0, 11, 5, 20}));
  EXPECT_EQ(overlay.Canvas().Pixel(0, 15), kWhite);
}

TEST(ToolShapes, CutOutKeepsFourBitIndicesFromAnOddOffset) {
  TBitmap source;
  source.NewImage(9, 3, pf4bit, TPalette::Black(16));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 9; ++x)
      PixelRows::SetIndex(source.ScanLine(y), x, 4, (x + 5 * y) & 15);
  TBitmap cut;
  CutOut(cut, source, {3, 1, 8, 3});
  ASSERT_EQ(cut.Width(), 5);
  ASSERT_EQ(cut.Height(), 2);
  EXPECT_EQ(cut.PixelFormat(), pf4bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(PixelRows::GetIndex(cut.ScanLine(y), x, 4), (x + 3 + 5 * (y + 1)) & 15);
}

class TextStampTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!QGuiApplication::instance()) {
      static int argc = 1;
      static char name[] = "test";
      static char* argv[] = {name, nullptr};
      static QGuiApplication app(argc, argv);
    }
    style.Font = QFont("Sans Serif", 14);
    style.Color = RgbColor(0, 0, 255);
    style.Background = RgbColor(255, 255, 0);
  }
  TTextStyle style;
};

TEST_F(TextStampTest, TheBlockLandsAtTheCornerSizedByTheWidestLine) {
  auto bOwner = WhiteBitmap(300, 200);
  TBitmap& b = *bOwner;
  const QStringList lines{"Hi   ", "a longer line", ""};
  const TSize block = TextBlockSize(lines, style.Font);
  const QFontMetrics metrics(style.Font);
  EXPECT_EQ(block.Width, metrics.horizontalAdvance("a longer line"));
  EXPECT_EQ(block.Height, 3 * metrics.height());
  const TRect written = WriteTextOnPicture(b, {20, 30}, lines, style);
  EXPECT_EQ(written, (TRect{20, 30, 20 + block.Width, 30 + block.Height}));
  EXPECT_EQ(b.Canvas().Pixel(20, 30), style.Background);
  EXPECT_EQ(b.Canvas().Pixel(19, 30), kWhite);
  EXPECT_EQ(b.Canvas().Pixel(20, 29), kWhite);
  EXPECT_EQ(b.Canvas().Pixel(written.Right - 1, written.Bottom - 1), style.Background);
  EXPECT_EQ(b.Canvas().Pixel(written.Right, written.Bottom - 1), kWhite);
}

TEST_F(TextStampTest, TransparentTextLeavesThePictureBetweenTheLetters) {
  auto bOwner = WhiteBitmap(200, 100);
  TBitmap& b = *bOwner;
  style.Transparent = true;
  const TRect written = WriteTextOnPicture(b, {5, 5}, {"WWW", "\u0416\u4e2d\u263a"}, style);
  ASSERT_FALSE(written.IsEmpty());
  int letters = 0, box = 0;
  for (int y = written.Top; y < written.Bottom; ++y)
    for (int x = written.Left; x < written.Right; ++x) {
      letters += b.Canvas().Pixel(x, y) == style.Color;
      box += b.Canvas().Pixel(x, y) == style.Background;
    }
  EXPECT_GT(letters, 0);
  EXPECT_EQ(box, 0);
}

TEST_F(TextStampTest, BlankLinesAndBlocksOutsideThePictureWriteNothing) {
  auto bOwner = WhiteBitmap(40, 40);
  TBitmap& b = *bOwner;
  EXPECT_TRUE(WriteTextOnPicture(b, {5, 5}, {"   ", ""}, style).IsEmpty());
  EXPECT_TRUE(WriteTextOnPicture(b, {500, 5}, {"text"}, style).IsEmpty());
  // Partly outside: clipped to the picture.
  const TRect part = WriteTextOnPicture(b, {30, -3}, {"text"}, style);
  EXPECT_EQ(part.Left, 30);
  EXPECT_EQ(part.Top, 0);
  EXPECT_EQ(part.Right, 40);
  EXPECT_EQ(b.Canvas().Pixel(39, 0), style.Background);
}

} // namespace
} // namespace kestrel
