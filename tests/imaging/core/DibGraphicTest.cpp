// The device-independent image: layout, packing, NewImage, resolution, assignment, drawing.

#include "../support/ImagingTestSupport.h"

#include "imaging/core/Canvas.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/DibGraphic.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "imaging/core/Picture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kestrel {
namespace {

using test::PatternBitmap;
using test::PatternColor;
using test::PixelsOf;
using test::ScreenDepth;

template <class E> std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "(nothing raised)";
}

constexpr TImageFormat kAllFormats[] = {ifBlackWhite, ifGray16,   ifGray256,
                                        ifColor16,    ifColor256, ifTrueColor};

// A picture whose every pixel differs from its neighbours.
void FillPattern(TDibGraphic& g) {
  for (int y = 0; y < g.Height(); ++y)
    for (int x = 0; x < g.Width(); ++x) {
      if (g.ImageFormat() == ifTrueColor)
        g.SetPixel(x, y, PatternColor(x, y));
      else
        g.SetPixelIndex(x, y, (x + 2 * y) % g.Palette().Count);
    }
}

TEST(DibGraphicLayout, RowsArePaddedToFourBytes) {
  struct Case {
    int width;
    TImageFormat format;
    int stride;
  };
  for (Case c : {Case{1, ifBlackWhite, 4}, Case{32, ifBlackWhite, 4}, Case{33, ifBlackWhite, 8},
                 Case{3, ifTrueColor, 12}, Case{1, ifTrueColor, 4}, Case{4, ifTrueColor, 12},
                 Case{9, ifGray16, 8}, Case{8, ifColor16, 4}, Case{5, ifColor256, 8}}) {
    TDibGraphic g;
    g.NewImage(c.width, 2, c.format);
    EXPECT_EQ(g.BytesPerLine(), c.stride) << c.width << " pixels of format " << int(c.format);
  }
}

TEST(DibGraphicLayout, RowZeroIsTheTopLineAndTheLastInMemory) {
  TDibGraphic g;
  g.NewImage(5, 4, ifColor256);
  EXPECT_EQ(g.ScanLine(3), g.Bits());
  EXPECT_EQ(g.ScanLine(0), g.Bits() + 3 * g.BytesPerLine());
  EXPECT_EQ(g.ScanLine(1), g.ScanLine(0) - g.BytesPerLine());
  EXPECT_THROW(g.ScanLine(4), EInvalidGraphicOperation);
  EXPECT_THROW(g.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(DibGraphicPacking, OneBitPixelsAreMostSignificantBitFirst) {
  TDibGraphic g;
  g.NewImage(10, 1, ifBlackWhite);
  std::memset(g.ScanLine(0), 0, 4);
  g.SetPixelIndex(0, 0, 1);
  g.SetPixelIndex(9, 0, 5); // any value above 0 sets the bit
  EXPECT_EQ(g.ScanLine(0)[0], 0x80);
  EXPECT_EQ(g.ScanLine(0)[1], 0x40);
  EXPECT_EQ(g.Pixel(9, 0), 0xFFFFFFu); // entry 1 of the default palette is white
  EXPECT_EQ(g.Pixel(8, 0), 0u);
  g.SetPixelIndex(0, 0, -3); // zero or less clears it
  EXPECT_EQ(g.ScanLine(0)[0], 0x00);
}

TEST(DibGraphicPacking, FourBitPixelsPutEvenColumnsInTheHighNibble) {
  TDibGraphic g;
  g.NewImage(3, 1, ifColor16);
  std::memset(g.ScanLine(0), 0, 4);
  g.SetPixelIndex(0, 0, 0xA);
  g.SetPixelIndex(1, 0, 0x5);
  g.SetPixelIndex(2, 0, 0xF);
  EXPECT_EQ(g.ScanLine(0)[0], 0xA5);
  EXPECT_EQ(g.ScanLine(0)[1], 0xF0);
  EXPECT_EQ(g.PixelIndex(1, 0), 5);
  EXPECT_EQ(g.Pixel(2, 0), 0xFFFFFFu);
}

TEST(DibGraphicPacking, EightBitAndTrueColourPixels) {
  TDibGraphic g;
  g.NewImage(3, 2, ifGray256);
  g.SetPixelIndex(2, 1, 200);
  EXPECT_EQ(g.ScanLine(1)[2], 200);
  EXPECT_EQ(g.Pixel(2, 1), 0xC8C8C8u);

  TDibGraphic t;
  t.NewImage(3, 1, ifTrueColor);
  t.SetPixel(0, 0, 0x123456);
  t.SetPixel(1, 0, 0x0000FF);
  const uint8_t* row = t.ScanLine(0);
  EXPECT_EQ(row[0], 0x56);
  EXPECT_EQ(row[1], 0x34);
  EXPECT_EQ(row[2], 0x12);
  EXPECT_EQ(row[3], 0xFF); // 0x0000FF is stored FF 00 00: blue byte first
  EXPECT_EQ(row[4], 0x00);
  EXPECT_EQ(row[5], 0x00);
  EXPECT_EQ(t.Pixel(0, 0), 0x123456u);
}

TEST(DibGraphicPacking, PaletteWritesTakeTheNearestEntry) {
  TDibGraphic g;
  g.NewImage(2, 1, ifBlackWhite);
  g.SetPixel(0, 0, 0x808080);
  g.SetPixel(1, 0, 0x7F7F7F);
  EXPECT_EQ(g.PixelIndex(0, 0), 1); // strictly nearer to white
  EXPECT_EQ(g.PixelIndex(1, 0), 0);
  TDibPalette twins{};
  twins.Count = 2;
  twins.SetValue(0, 0x000000);
  twins.SetValue(1, 0x020202);
  g.NewImage(1, 1, ifBlackWhite, &twins);
  g.SetPixel(0, 0, 0x010101);
  EXPECT_EQ(g.PixelIndex(0, 0), 0); // equal distances keep the lower index
}

TEST(DibGraphicPacking, PaletteAccessAndCoordinatesAreChecked) {
  TDibGraphic t;
  t.NewImage(2, 2, ifTrueColor);
  EXPECT_EQ(MessageOf<EZeduziziError>([&] { t.PixelIndex(0, 0); }),
            "The image does not have a palette");
  EXPECT_EQ(MessageOf<EZeduziziError>([&] { t.SetPixelIndex(0, 0, 1); }),
            "The image does not have a palette");
  EXPECT_THROW(t.Pixel(2, 0), EZeduziziError);
  EXPECT_THROW(t.SetPixel(0, -1, 0), EZeduziziError);
  TDibGraphic empty;
  EXPECT_THROW(empty.Pixel(0, 0), EZeduziziError);
}

TEST(DibGraphicNewImage, StartsEmptyWithItsDefaults) {
  TDibGraphic g;
  EXPECT_TRUE(g.Empty());
  EXPECT_EQ(g.Width(), 0);
  EXPECT_EQ(g.Height(), 0);
  EXPECT_EQ(g.ImageIndex, 1);
  EXPECT_EQ(g.FrameInterval, 200);
  EXPECT_EQ(g.CurrentFrame(), -1);
  EXPECT_FALSE(g.Animate());
  EXPECT_FALSE(g.LoadAllFrames);
  EXPECT_FALSE(g.FrameTimerActive());
  EXPECT_EQ(g.Palette().Count, 0);
  EXPECT_EQ(g.Info().BitsPerPixel, 0);
}

TEST(DibGraphicNewImage, PaletteFormatsTakeTheirDefaultPalette) {
  for (TImageFormat f : kAllFormats) {
    TDibGraphic g;
    g.NewImage(2, 2, f);
    EXPECT_EQ(g.BitsPerPixel(), FormatBitsPerPixel(f));
    if (f == ifTrueColor) {
      EXPECT_EQ(g.Palette().Count, 0);
      EXPECT_TRUE(g.PaletteHandle().IsNull());
    } else {
      EXPECT_EQ(g.Palette(), *DefaultDibPalette(f)) << int(f);
      EXPECT_EQ(g.PaletteHandle(), DefaultDibPalette(f)->ToPalette());
    }
  }
}

TEST(DibGraphicNewImage, AGivenPaletteIsCopiedWithVersion0300) {
  TDibPalette p{};
  p.Count = 3;
  p.SetValue(0, 0x102030);
  p.SetValue(1, 0x405060);
  p.SetValue(2, 0x708090);
  TDibGraphic g;
  g.NewImage(4, 4, ifColor16, &p);
  EXPECT_EQ(g.Palette().Version, 0x0300);
  EXPECT_EQ(g.Palette().Count, 3);
  EXPECT_EQ(g.Palette().Value(2), 0x708090u);
  g.SetPixel(1, 1, 0x718191);
  EXPECT_EQ(g.PixelIndex(1, 1), 2);
  EXPECT_EQ(g.Pixel(1, 1), 0x708090u);
  EXPECT_EQ(p.Version, 0); // the caller's record is untouched
}

TEST(DibGraphicNewImage, FailuresLeaveThePictureEmpty) {
  TDibGraphic g;
  g.NewImage(4, 4, ifTrueColor);
  EXPECT_EQ(MessageOf<EZeduziziError>([&] { g.NewImage(4, 4, static_cast<TImageFormat>(6)); }),
            "Internal error: Invalid image format");
  EXPECT_TRUE(g.Empty());
  g.NewImage(4, 4, ifTrueColor);
  EXPECT_EQ(MessageOf<EZeduziziError>([&] { g.NewImage(0, 4, ifTrueColor); }),
            "CreateDibSection failed");
  EXPECT_TRUE(g.Empty());
  ImageLimits::SetMaxBytes(1024);
  EXPECT_EQ(MessageOf<EZeduziziError>([&] { g.NewImage(100, 100, ifTrueColor); }),
            "CreateDibSection failed");
  ImageLimits::SetMaxBytes(0);
  EXPECT_TRUE(g.Empty());
}

TEST(DibGraphicNewImage, DimensionsChangeOnlyThroughNewImage) {
  TDibGraphic g;
  g.NewImage(4, 4, ifTrueColor);
  EXPECT_EQ(MessageOf<EZeduziziError>([&] { g.SetWidth(8); }),
            "Dimensions must be change with the NewImage method");
  EXPECT_EQ(MessageOf<EZeduziziError>([&] { g.SetHeight(8); }),
            "Dimensions must be change with the NewImage method");
  EXPECT_EQ(g.Width(), 4);
}

TEST(DibGraphicResolution, DotsPerInchRoundBothWays) {
  TDibGraphic g;
  g.NewImage(1, 1, ifTrueColor, nullptr, 300, 72);
  EXPECT_EQ(g.XPelsPerMeter(), 11811); // 300 * 39.37 = 11811.02
  EXPECT_EQ(g.YPelsPerMeter(), 2835);  // 72 * 39.37 = 2834.65
  EXPECT_EQ(g.XDotsPerInch(), 300);
  EXPECT_EQ(g.YDotsPerInch(), 72);
  g.SetXDotsPerInch(96);
  EXPECT_EQ(g.XPelsPerMeter(), 3780); // 3779.53
  g.SetYDotsPerInch(1);
  EXPECT_EQ(g.YPelsPerMeter(), 39); // 39.37
  EXPECT_EQ(g.YDotsPerInch(), 1);   // 39 * 0.0254 = 0.99
  g.SetXDotsPerInch(65535);
  EXPECT_EQ(g.XDotsPerInch(), 65535);
  g.NewImage(1, 1, ifTrueColor); // 0 means the screen's logical resolution (96 offscreen)
  EXPECT_EQ(g.XDotsPerInch(), 96);
  EXPECT_EQ(g.YDotsPerInch(), 96);
}

TEST(DibGraphicAssign, CopiesEveryFormatWithPaletteResolutionAndInterval) {
  for (TImageFormat f : kAllFormats) {
    TDibPalette p = *(f == ifTrueColor ? DefaultDibPalette(ifColor16) : DefaultDibPalette(f));
    p.SetValue(1, 0x123456);
    TDibGraphic source;
    source.NewImage(7, 5, f, &p, 150, 200);
    FillPattern(source);
    source.FrameInterval = 55;
    TDibGraphic copy;
    copy.Assign(&source);
    ASSERT_EQ(copy.ImageFormat(), f);
    EXPECT_EQ(copy.Width(), 7);
    EXPECT_EQ(copy.Height(), 5);
    EXPECT_EQ(copy.Palette(), source.Palette());
    EXPECT_EQ(copy.XPelsPerMeter(), source.XPelsPerMeter());
    EXPECT_EQ(copy.YPelsPerMeter(), source.YPelsPerMeter());
    EXPECT_EQ(copy.FrameInterval, 55);
    EXPECT_EQ(std::memcmp(copy.Bits(), source.Bits(), 5 * source.BytesPerLine()), 0);
    source.ScanLine(0)[0] ^= 0xFF;
    EXPECT_NE(copy.ScanLine(0)[0], source.ScanLine(0)[0]) << "the copy has pixels of its own";
  }
}

TEST(DibGraphicAssign, ExactResolutionSurvivesEvenWhenItRoundsToZeroDpi) {
  TDibGraphic source;
  source.NewImage(2, 2, ifTrueColor, nullptr, 1, 1);
  source.SetXDotsPerInch(0); // 0 pixels per metre: 0 dpi, which NewImage would read as "screen"
  TDibGraphic copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.XPelsPerMeter(), 0);
}

TEST(DibGraphicAssign, AnEmptyOrNullSourceLeavesThePictureEmpty) {
  TDibGraphic g, empty;
  g.NewImage(3, 3, ifTrueColor);
  g.Assign(&empty);
  EXPECT_TRUE(g.Empty());
  g.NewImage(3, 3, ifTrueColor);
  g.Assign(nullptr);
  EXPECT_TRUE(g.Empty());
}

TEST(DibGraphicAssign, ABitmapOfEveryFormatGivesTrueColourOnADeepScreen) {
  const ScreenDepth screen(32);
  for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice}) {
    auto bitmap = PatternBitmap(9, 4, f);
    TDibGraphic g;
    g.Assign(bitmap.get());
    EXPECT_EQ(g.ImageFormat(), ifTrueColor) << f;
    EXPECT_EQ(PixelsOf(g), PixelsOf(*bitmap)) << f;
  }
}

TEST(DibGraphicAssign, ABitmapTakesTheDepthOfAShallowScreen) {
  {
    const ScreenDepth screen(8);
    auto bitmap = PatternBitmap(6, 3, pf8bit);
    TDibGraphic g;
    g.Assign(bitmap.get());
    EXPECT_EQ(g.ImageFormat(), ifColor256);
    EXPECT_EQ(PixelsOf(g), PixelsOf(*bitmap));
  }
  {
    const ScreenDepth screen(16);
    TBitmap bitmap(1, 1, pf24bit);
    bitmap.Canvas().SetPixel(0, 0, RgbColor(0x13, 0x57, 0x9B));
    TDibGraphic g;
    g.Assign(&bitmap);
    EXPECT_EQ(g.ImageFormat(), ifTrueColor); // a 16-bit screen gives true colour...
    const TPixelColor c = g.Pixel(0, 0);
    EXPECT_NE(c, 0x13579Bu); // ...of colours a 16-bit device can hold
    EXPECT_NEAR(int(c >> 16 & 0xFF), 0x13, 8);
    EXPECT_NEAR(int(c >> 8 & 0xFF), 0x57, 4);
    EXPECT_NEAR(int(c & 0xFF), 0x9B, 8);
  }
}

TEST(DibGraphicImport, PaletteBitmapsKeepDepthPaletteAndIndices) {
  struct Case {
    TPixelFormat bitmap;
    TImageFormat picture;
  };
  for (Case c : {Case{pf1bit, ifBlackWhite}, Case{pf4bit, ifColor16}, Case{pf8bit, ifColor256}}) {
    auto bitmap = PatternBitmap(11, 3, c.bitmap);
    TPalette palette = bitmap->OwnPalette();
    palette.Resize(palette.Count() - 1); // a palette shorter than the depth allows
    bitmap->SetPalette(palette);
    TDibGraphic g;
    g.ImportBitmapHandle(*bitmap);
    EXPECT_EQ(g.ImageFormat(), c.picture);
    EXPECT_EQ(g.Palette().ToPalette(), palette);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 11; ++x)
        EXPECT_EQ(g.PixelIndex(x, y),
                  PixelRows::GetIndex(bitmap->ScanLine(y), x, bitmap->BitsPerPixel()));
  }
  // A grey palette still gives a colour format: imports are never grey.
  TBitmap grey(2, 2, pf8bit);
  grey.SetPalette(DefaultDibPalette(ifGray256)->ToPalette());
  TDibGraphic g;
  g.ImportBitmapHandle(grey);
  EXPECT_EQ(g.ImageFormat(), ifColor256);
}

TEST(DibGraphicImport, DirectColourBitmapsBecomeTrueColour) {
  for (TPixelFormat f : {pf15bit, pf16bit, pf24bit, pf32bit}) {
    auto bitmap = PatternBitmap(5, 5, f);
    TDibGraphic g;
    g.ImportBitmapHandle(*bitmap);
    EXPECT_EQ(g.ImageFormat(), ifTrueColor);
    EXPECT_EQ(PixelsOf(g), PixelsOf(*bitmap));
  }
}

// A writer imports the picture it saves without copying it: neither side may see the other's
// later changes, and what is made from the imported picture keeps its rows in order.
TEST(DibGraphicImport, SharedPixelsStayApartOnceEitherSideIsWritten) {
  auto bitmap = PatternBitmap(7, 5, pf24bit);
  const auto before = PixelsOf(*bitmap);
  TDibGraphic g;
  g.ImportBitmapHandle(*bitmap);
  EXPECT_EQ(PixelsOf(g), before);
  g.SetPixel(0, 0, 0x123456);
  EXPECT_EQ(PixelsOf(*bitmap), before);
  const auto imported = PixelsOf(g);
  bitmap->Canvas().SetPixel(1, 1, clRed);
  EXPECT_EQ(PixelsOf(g), imported);
  TDibGraphic copy;
  copy.Assign(&g);
  EXPECT_EQ(PixelsOf(copy), imported);

  // The other way: a bitmap takes a picture's pixels over, rows turned in place.
  TDibGraphic source;
  source.NewImage(7, 5, ifTrueColor);
  FillPattern(source);
  const auto pixels = PixelsOf(source);
  TBitmap adopted;
  adopted.AdoptPixels(source.TakePixels(), pf24bit, {});
  EXPECT_TRUE(source.Empty());
  EXPECT_EQ(PixelsOf(adopted), pixels);
}

TEST(DibGraphicImport, ResolutionComesFromPixelsPerMetre) {
  TBitmap bitmap(2, 2, pf24bit);
  bitmap.SetPelsPerMeter(11811, 2835);
  TDibGraphic g;
  g.ImportBitmapHandle(bitmap);
  EXPECT_EQ(g.XDotsPerInch(), 300);
  EXPECT_EQ(g.YDotsPerInch(), 72);
  bitmap.SetPelsPerMeter(0, 3000000); // none, and more than 65535 dpi: both mean the screen's
  g.ImportBitmapHandle(bitmap);
  EXPECT_EQ(g.XDotsPerInch(), 96);
  EXPECT_EQ(g.YDotsPerInch(), 96);
  TBitmap empty;
  EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { g.ImportBitmapHandle(empty); }), "Invalid bitmap");
}

TEST(DibGraphicAssignTo, ABitmapBecomesTwentyFourBitWithTheSamePixels) {
  for (TImageFormat f : {ifColor16, ifTrueColor}) {
    TDibGraphic g;
    g.NewImage(6, 4, f);
    FillPattern(g);
    TBitmap bitmap(2, 2, pf8bit);
    bitmap.Assign(&g);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(PixelsOf(bitmap), PixelsOf(g));
  }
}

class TNoteTarget : public TPersistent {
public:
  const char* ClassName() const override { return "TNoteTarget"; }
  int Width = 0;
};

TEST(DibGraphicAssignTo, UnknownTargetsRaiseUnlessAHandlerTakesThem) {
  TDibGraphic g;
  g.NewImage(3, 2, ifTrueColor);
  TPicture picture;
  EXPECT_EQ(MessageOf<EZeduziziError>([&] { g.AssignTo(picture); }),
            "Cannot assign a TDibGraphic to a TPicture");
  TDibGraphic::RegisterAssignToHandler([](const TDibGraphic& source, TPersistent& target) {
    auto* note = dynamic_cast<TNoteTarget*>(&target);
    if (note) note->Width = source.Width();
    return note != nullptr;
  });
  TNoteTarget note;
  g.AssignTo(note);
  EXPECT_EQ(note.Width, 3);
}

// A graphic that paints a coloured band over the left half of its rectangle.
class THalfGraphic : public TGraphic {
public:
  const char* ClassName() const override { return "THalfGraphic"; }
  std::unique_ptr<TGraphic> NewInstance() const override {
    return std::make_unique<THalfGraphic>();
  }
  void Draw(TCanvas& canvas, const TRect& r) override {
    canvas.Brush.Color = RgbColor(200, 100, 50);
    canvas.FillRect({r.Left, r.Top, r.Left + r.Width() / 2, r.Bottom});
  }
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}

protected:
  bool GetEmpty() const override { return false; }
  int GetWidth() const override { return 4; }
  int GetHeight() const override { return 2; }
  void DoSetWidth(int) override {}
  void DoSetHeight(int) override {}
};

TEST(DibGraphicAssign, OtherGraphicsAreDrawnOnBlack) {
  THalfGraphic half;
  TDibGraphic g;
  g.Assign(&half);
  ASSERT_EQ(g.ImageFormat(), ifTrueColor);
  ASSERT_EQ(g.Width(), 4);
  EXPECT_EQ(PixelsOf(g),
            (std::vector<TPixelColor>{0xC86432, 0xC86432, 0, 0, 0xC86432, 0xC86432, 0, 0}));
}

TEST(DibGraphicDraw, TrueColourStretchesWithoutBlendingPaletteFormatsAverage) {
  TDibGraphic g;
  g.NewImage(2, 1, ifTrueColor);
  g.SetPixel(0, 0, 0xFF0000);
  g.SetPixel(1, 0, 0x0000FF);
  TBitmap target(6, 3, pf24bit);
  target.Canvas().StretchDraw({0, 0, 6, 3}, g);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(target.PixelColor(x, y), x < 3 ? 0xFF0000u : 0x0000FFu) << x << "," << y;

  TDibGraphic grey;
  grey.NewImage(2, 1, ifGray256);
  grey.SetPixelIndex(0, 0, 0);
  grey.SetPixelIndex(1, 0, 255);
  TBitmap one(1, 1, pf24bit);
  one.Canvas().StretchDraw({0, 0, 1, 1}, grey);
  const int level = one.PixelColor(0, 0) & 0xFF;
  EXPECT_GT(level, 64);
  EXPECT_LT(level, 192);
}

TEST(DibGraphicCanvas, DrawingOnAPaletteImageTakesNearestEntriesAndSparesOtherPixels) {
  TDibPalette p = *DefaultDibPalette(ifColor16);
  p.SetValue(5, 0x000000); // a second black entry
  TDibGraphic g;
  g.NewImage(6, 6, ifColor16, &p);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      g.SetPixelIndex(x, y, 5);
  g.Canvas().Brush.Color = RgbColor(250, 250, 250);
  g.Canvas().FillRect({1, 1, 3, 3});
  EXPECT_EQ(g.PixelIndex(1, 1), 15);
  EXPECT_EQ(g.PixelIndex(2, 2), 15);
  EXPECT_EQ(g.PixelIndex(3, 3), 5) << "untouched pixels keep their index";
  EXPECT_EQ(g.PixelIndex(0, 0), 5);
  TDibGraphic empty;
  EXPECT_THROW(empty.Canvas(), EZeduziziError);
}

TEST(DibGraphicClipboard, OnlyBitmapsAreAccepted) {
  TDibGraphic g;
  EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { g.LoadFromClipboardFormat(5, {}, {}); }),
            "Unknown clipboard format, 5");
  EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { g.LoadFromClipboardFormat(CF_BITMAP, {}, {}); }),
            "Unknown clipboard format, 2");
}

TEST(DibGraphicClipboard, BlackAndWhiteGoesOutAsOneBitOthersAtScreenDepth) {
  const ScreenDepth screen(32);
  TDibGraphic bw;
  bw.NewImage(9, 2, ifBlackWhite);
  FillPattern(bw);
  TClipboardFormat format = 0;
  TClipboardData data;
  TPalette palette = TPalette::Black(3);
  bw.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, CF_BITMAP);
  ASSERT_TRUE(data.Bitmap);
  EXPECT_EQ(data.Bitmap->PixelFormat(), pf1bit);
  EXPECT_EQ(PixelsOf(*data.Bitmap), PixelsOf(bw));
  EXPECT_EQ(palette.Count(), 3) << "the palette output is left alone";

  TDibGraphic colour;
  colour.NewImage(5, 3, ifColor256);
  FillPattern(colour);
  colour.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(data.Bitmap->PixelFormat(), pf32bit);
  TDibGraphic back;
  back.LoadFromClipboardFormat(CF_BITMAP, data, {});
  EXPECT_EQ(PixelsOf(back), PixelsOf(colour));
}

} // namespace
} // namespace kestrel
