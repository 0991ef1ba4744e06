// Drawing metafiles: hand-built plain and enhanced metafiles drawing known shapes, checked at
// chosen pixels well inside and outside each shape.

#include "MetafileTestSupport.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/Picture.h"
#include "imaging/core/Screen.h"

#include <QFont>
#include <QRawFont>

#include <gtest/gtest.h>

#include <cmath>

namespace kestrel {
namespace {

using namespace test;

// A plain metafile whose 100 x 100 logical units fill a 100 x 100 drawing.
WmfBuilder Plain() {
  WmfBuilder w;
  w.Placeable(0, 0, 100, 100, 96);
  return w;
}

// Objects take the lowest free slot: the brush made here is in the slot given.
void SolidBrushNoPen(WmfBuilder& w, uint32_t color, int brushSlot, int penSlot) {
  WmfBrush(w, color);
  w.Record(wmf::SELECTOBJECT, {brushSlot});
  WmfPen(w, 5, 0, 0);
  w.Record(wmf::SELECTOBJECT, {penSlot});
}

TEST(MetafileDrawing, PlainShapesFillWhatTheyCover) {
  WmfBuilder w = Plain();
  SolidBrushNoPen(w, kRed, 0, 1);
  w.Record(wmf::RECTANGLE, {30, 40, 10, 10}); // bottom, right, top, left
  WmfBrush(w, kBlue);
  w.Record(wmf::SELECTOBJECT, {2});
  w.Record(wmf::ELLIPSE, {90, 90, 50, 50});
  WmfBrush(w, kGreen);
  w.Record(wmf::SELECTOBJECT, {3});
  w.Record(wmf::ROUNDRECT, {10, 10, 95, 45, 60, 5});
  const auto b = Render(w.Bytes());
  EXPECT_EQ(b->PixelColor(20, 20), kPixelRed);
  EXPECT_EQ(b->PixelColor(7, 20), kPixelWhite);
  EXPECT_EQ(b->PixelColor(42, 20), kPixelWhite);
  EXPECT_EQ(b->PixelColor(20, 33), kPixelWhite);
  EXPECT_EQ(b->PixelColor(70, 70), kPixelBlue);
  EXPECT_EQ(b->PixelColor(70, 52), kPixelBlue);
  EXPECT_EQ(b->PixelColor(53, 53), kPixelWhite); // outside the circle, inside its box
  EXPECT_EQ(b->PixelColor(6, 75), kPixelGreen);
  EXPECT_EQ(b->PixelColor(25, 61), kPixelGreen);
  EXPECT_EQ(b->PixelColor(43, 78), kPixelGreen);
  EXPECT_EQ(b->PixelColor(5, 60), kPixelWhite);  // cut off by the rounded corner
  EXPECT_EQ(b->PixelColor(45, 90), kPixelWhite); // beyond the rounded rectangle's right edge
}

TEST(MetafileDrawing, WindowMapsLogicalUnitsOntoThePicture) {
  WmfBuilder w = Plain();
  w.Record(wmf::SETMAPMODE, {8});
  w.Record(wmf::SETWINDOWORG, {-100, -100});
  w.Record(wmf::SETWINDOWEXT, {200, 200});
  SolidBrushNoPen(w, kRed, 0, 1);
  w.Record(wmf::RECTANGLE, {0, 0, -100, -100});
  const auto b = Render(w.Bytes());
  EXPECT_EQ(b->PixelColor(25, 25), kPixelRed);
  EXPECT_EQ(b->PixelColor(48, 5), kPixelRed);
  EXPECT_EQ(b->PixelColor(53, 25), kPixelWhite);
  EXPECT_EQ(b->PixelColor(75, 75), kPixelWhite);
  // The same file drawn twice as large covers twice the pixels.
  const auto big = Render(w.Bytes(), 200, 200);
  EXPECT_EQ(big->PixelColor(90, 90), kPixelRed);
  EXPECT_EQ(big->PixelColor(110, 90), kPixelWhite);
}

TEST(MetafileDrawing, PensDrawLinesOfTheirWidthAndColour) {
  WmfBuilder w = Plain();
  WmfPen(w, 0, 0, kGreen);
  w.Record(wmf::SELECTOBJECT, {0});
  w.Record(wmf::MOVETO, {20, 5}); // y, x
  w.Record(wmf::LINETO, {20, 95});
  WmfPen(w, 0, 10, kBlue);
  w.Record(wmf::SELECTOBJECT, {1});
  w.Record(wmf::POLYLINE, {3, 10, 60, 50, 60, 50, 95});
  const auto b = Render(w.Bytes());
  EXPECT_EQ(b->PixelColor(50, 20), kPixelGreen);
  EXPECT_EQ(b->PixelColor(50, 18), kPixelWhite);
  EXPECT_EQ(b->PixelColor(30, 57), kPixelBlue); // within 5 of the wide line's centre
  EXPECT_EQ(b->PixelColor(30, 63), kPixelBlue);
  EXPECT_EQ(b->PixelColor(30, 68), kPixelWhite);
  EXPECT_EQ(b->PixelColor(47, 80), kPixelBlue);
}

TEST(MetafileDrawing, PolyPolygonsFollowTheFillMode) {
  for (const int mode : {1, 2}) {
    WmfBuilder w = Plain();
    w.Record(wmf::SETPOLYFILLMODE, {mode});
    SolidBrushNoPen(w, kRed, 0, 1);
    w.Record(wmf::POLYPOLYGON,
             {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70});
    const auto b = Render(w.Bytes());
    EXPECT_EQ(b->PixelColor(20, 20), kPixelRed) << mode;
    EXPECT_EQ(b->PixelColor(50, 50), mode == 1 ? kPixelWhite : kPixelRed) << mode;
    EXPECT_EQ(b->PixelColor(95, 50), kPixelWhite) << mode;
  }
}

TEST(MetafileDrawing, PiesAndChordsGoCounterclockwiseFromStartToEnd) {
  WmfBuilder w = Plain();
  SolidBrushNoPen(w, kRed, 0, 1);
  // yEnd, xEnd, yStart, xStart, box: from 3 o'clock to 12 o'clock.
  w.Record(wmf::PIE, {0, 50, 50, 100, 100, 100, 0, 0});
  const auto pie = Render(w.Bytes());
  EXPECT_EQ(pie->PixelColor(70, 30), kPixelRed);
  EXPECT_EQ(pie->PixelColor(30, 30), kPixelWhite);
  EXPECT_EQ(pie->PixelColor(70, 70), kPixelWhite);
  EXPECT_EQ(pie->PixelColor(30, 70), kPixelWhite);

  WmfBuilder c = Plain();
  SolidBrushNoPen(c, kRed, 0, 1);
  c.Record(wmf::CHORD, {0, 50, 50, 100, 100, 100, 0, 0});
  const auto chord = Render(c.Bytes());
  EXPECT_EQ(chord->PixelColor(82, 18), kPixelRed);
  EXPECT_EQ(chord->PixelColor(60, 40), kPixelWhite); // the centre's side of the chord
}

TEST(MetafileDrawing, ObjectSlotsAreReusedAndPalettesTakeOne) {
  WmfBuilder w = Plain();
  w.Raw(wmf::CREATEPALETTE, Fields().U16(0x0300).U16(1).U32(0x00FF0000)); // slot 0
  WmfPen(w, 5, 0, 0);                                                     // slot 1
  w.Record(wmf::SELECTOBJECT, {1});
  WmfBrush(w, kRed);                // slot 2
  w.Record(wmf::DELETEOBJECT, {0}); // frees slot 0
  WmfBrush(w, kBlue);               // takes slot 0
  w.Record(wmf::SELECTOBJECT, {0});
  w.Record(wmf::RECTANGLE, {50, 50, 0, 0});
  w.Record(wmf::SELECTOBJECT, {2});
  w.Record(wmf::RECTANGLE, {100, 100, 50, 50});
  const auto b = Render(w.Bytes());
  EXPECT_EQ(b->PixelColor(25, 25), kPixelBlue);
  EXPECT_EQ(b->PixelColor(75, 75), kPixelRed);
}

TEST(MetafileDrawing, SavedStatesAndClippingAreRestored) {
  WmfBuilder w = Plain();
  SolidBrushNoPen(w, kRed, 0, 1);
  w.Record(wmf::SAVEDC, {});
  WmfBrush(w, kBlue);
  w.Record(wmf::SELECTOBJECT, {2});
  w.Record(wmf::INTERSECTCLIPRECT, {100, 50, 0, 0}); // left half
  w.Record(wmf::EXCLUDECLIPRECT, {60, 60, 40, 10});
  w.Record(wmf::RECTANGLE, {100, 100, 0, 0});
  w.Record(wmf::RESTOREDC, {-1});
  w.Record(wmf::RECTANGLE, {100, 100, 80, 80}); // red again and no longer clipped
  const auto b = Render(w.Bytes());
  EXPECT_EQ(b->PixelColor(20, 20), kPixelBlue);
  EXPECT_EQ(b->PixelColor(70, 20), kPixelWhite);
  EXPECT_EQ(b->PixelColor(30, 50), kPixelWhite); // excluded
  EXPECT_EQ(b->PixelColor(90, 90), kPixelRed);
}

TEST(MetafileDrawing, BitmapsAreStretchedRightWayUpAndCombinedByTheirRasterCode) {
  WmfBuilder w = Plain();
  WmfStretchDib(w, 0, 0, 100, 100, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
  const auto b = Render(w.Bytes());
  EXPECT_EQ(b->PixelColor(25, 25), kPixelRed);
  EXPECT_EQ(b->PixelColor(75, 25), kPixelGreen);
  EXPECT_EQ(b->PixelColor(25, 75), kPixelBlue);
  EXPECT_EQ(b->PixelColor(75, 75), kPixelWhite);

  // White XOR red gives cyan; a copy that ANDs black into white gives black.
  WmfBuilder x = Plain();
  SolidBrushNoPen(x, kRed, 0, 1);
  x.Record(wmf::RECTANGLE, {100, 100, 0, 0});
  WmfStretchDib(x, 0, 0, 50, 100, 1, 1, {0xFFFFFF}, 0x00660046);
  WmfStretchDib(x, 50, 0, 50, 100, 1, 1, {0x000000}, 0x008800C6);
  const auto xored = Render(x.Bytes());
  EXPECT_EQ(xored->PixelColor(25, 50), 0x00FFFFu);
  EXPECT_EQ(xored->PixelColor(75, 50), kPixelBlack);
}

TEST(MetafileDrawing, BlockCopiesTakeTheirSourceFromTheTop) {
  WmfBuilder w = Plain();
  // A 2 x 2 bitmap, its bottom-right pixel copied 1:1 to (10, 10) and stretched over the rest.
  Fields f;
  f.U32(0x00CC0020).I16(1).I16(1).I16(1).I16(1).I16(10).I16(10);
  f.Bytes(Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x000000}));
  w.Raw(wmf::DIBBITBLT, f);
  Fields s;
  s.U32(0x00CC0020).I16(1).I16(1).I16(0).I16(1).I16(40).I16(40).I16(50).I16(50);
  s.Bytes(Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x000000}));
  w.Raw(wmf::DIBSTRETCHBLT, s); // the top-right pixel
  const auto b = Render(w.Bytes());
  EXPECT_EQ(b->PixelColor(10, 10), kPixelBlack);
  EXPECT_EQ(b->PixelColor(11, 10), kPixelWhite);
  EXPECT_EQ(b->PixelColor(70, 70), kPixelGreen);
}

TEST(MetafileDrawing, RasterOperationsOfPensCombineWithThePicture) {
  WmfBuilder w = Plain();
  SolidBrushNoPen(w, kRed, 0, 1);
  w.Record(wmf::SETROP2, {7}); // XOR
  w.Record(wmf::RECTANGLE, {100, 50, 0, 0});
  w.Record(wmf::RECTANGLE, {100, 100, 0, 25});
  w.Record(wmf::SETROP2, {11}); // no operation
  w.Record(wmf::RECTANGLE, {100, 100, 0, 0});
  const auto b = Render(w.Bytes());
  EXPECT_EQ(b->PixelColor(10, 50), 0x00FFFFu);   // white XOR red
  EXPECT_EQ(b->PixelColor(40, 50), kPixelWhite); // twice
  EXPECT_EQ(b->PixelColor(75, 50), 0x00FFFFu);
}

TEST(MetafileDrawing, HatchedBrushesAndBrokenLinesFillTheirGapsWhenOpaque) {
  for (const int bkMode : {1, 2}) {
    WmfBuilder w = Plain();
    w.Record(wmf::SETBKMODE, {bkMode});
    w.Record(wmf::SETBKCOLOR, {static_cast<int>(kGreen & 0xFFFF), static_cast<int>(kGreen >> 16)});
    WmfBrush(w, kRed, 2, 0); // horizontal hatch
    w.Record(wmf::SELECTOBJECT, {0});
    WmfPen(w, 5, 0, 0);
    w.Record(wmf::SELECTOBJECT, {1});
    w.Record(wmf::RECTANGLE, {100, 100, 0, 0});
    const auto b = Render(w.Bytes());
    EXPECT_GT(CountColor(*b, kPixelRed, 0, 0, 100, 100), 500) << bkMode;
    EXPECT_EQ(CountColor(*b, kPixelGreen, 0, 0, 100, 100) > 500, bkMode == 2) << bkMode;
    EXPECT_EQ(CountColor(*b, kPixelWhite, 0, 0, 100, 100) > 500, bkMode == 1) << bkMode;
  }
}

TEST(MetafileDrawing, TextIsDrawnAtItsPointInTheTextColour) {
  WmfBuilder w = Plain();
  WmfFont(w, -30, "");
  w.Record(wmf::SELECTOBJECT, {0});
  w.Record(wmf::SETTEXTCOLOR, {static_cast<int>(kRed), 0});
  w.Record(wmf::SETBKMODE, {1});
  w.Raw(wmf::TEXTOUT, Fields().U16(3).Text("MMM").U8(0).I16(10).I16(5));
  w.Record(wmf::SETBKMODE, {2});
  w.Record(wmf::SETBKCOLOR, {static_cast<int>(kBlue & 0xFFFF), static_cast<int>(kBlue >> 16)});
  w.Record(wmf::SETTEXTALIGN, {24}); // baseline
  w.Raw(wmf::EXTTEXTOUT, Fields().I16(90).I16(5).U16(2).U16(0).Text("MM"));
  const auto b = Render(w.Bytes());
  EXPECT_GT(CountColor(*b, kPixelRed, 5, 10, 100, 45), 40);
  EXPECT_EQ(CountColor(*b, kPixelRed, 0, 0, 100, 8), 0);
  // The opaque cell reaches above the baseline, with the text's red inside it.
  EXPECT_GT(CountColor(*b, kPixelBlue, 5, 60, 100, 90), 40);
  EXPECT_GT(CountColor(*b, kPixelRed, 5, 60, 100, 90), 40);
  EXPECT_EQ(CountColor(*b, kPixelBlue, 0, 0, 100, 50), 0);
}

TEST(MetafileDrawing, RecordsThePlayerDoesNotKnowAreSkipped) {
  WmfBuilder w = Plain();
  SolidBrushNoPen(w, kRed, 0, 1);
  w.Raw(0x0999, Fields().U32(0xDEADBEEF).U32(0x12345678));
  w.Record(wmf::FLOODFILL, {0, 0, 50, 50});
  w.Raw(wmf::ESCAPE, Fields().U16(15).U16(4).U32(0));
  w.Record(wmf::RECTANGLE, {100, 100, 0, 0});
  EXPECT_EQ(Render(w.Bytes())->PixelColor(50, 50), kPixelRed);
}

// An enhanced metafile whose frame is one inch square on a reference device of 100 pixels per
// inch: device units are the pixels of a 100 x 100 drawing.
EmfBuilder Enhanced() {
  return EmfBuilder(0, 0, 2540, 2540, 1000, 254);
}

void EmfRedBrushNoPen(EmfBuilder& e) {
  EmfBrush(e, 1, kRed);
  e.Record(emf::SELECTOBJECT, {1});
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 8)}); // null pen
}

TEST(MetafileDrawing, EnhancedShapesUseDeviceUnitsAndStockObjects) {
  EmfBuilder e = Enhanced();
  EmfRedBrushNoPen(e);
  e.Record(emf::RECTANGLE, {10, 10, 40, 30});
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 4)}); // black brush
  e.Record(emf::ELLIPSE, {50, 50, 90, 90});
  e.Record(emf::DELETEOBJECT, {1});
  e.Record(emf::SELECTOBJECT, {1}); // deleted: the black brush stays
  e.Raw(emf::POLYGON16,
        Fields().I32(0).I32(0).I32(0).I32(0).U32(3).I16(60).I16(5).I16(95).I16(5).I16(95).I16(40));
  const auto b = Render(e.Bytes());
  EXPECT_EQ(b->PixelColor(20, 20), kPixelRed);
  EXPECT_EQ(b->PixelColor(45, 20), kPixelWhite);
  EXPECT_EQ(b->PixelColor(70, 70), kPixelBlack);
  EXPECT_EQ(b->PixelColor(90, 10), kPixelBlack);
  EXPECT_EQ(b->PixelColor(65, 35), kPixelWhite);
}

TEST(MetafileDrawing, EnhancedTransformsAndFixedMappingModes) {
  EmfBuilder e = Enhanced();
  EmfRedBrushNoPen(e);
  e.Raw(emf::SETWORLDTRANSFORM, Fields().F32(2).F32(0).F32(0).F32(2).F32(0).F32(0));
  e.Record(emf::RECTANGLE, {5, 5, 20, 15}); // (10, 10) .. (40, 30)
  e.Raw(emf::MODIFYWORLDTRANSFORM, Fields().F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(1));
  // Hundredths of a millimetre with y upwards: half an inch down from the top.
  e.Record(emf::SETMAPMODE, {3});
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 4)});
  e.Record(emf::RECTANGLE, {1270, -1270, 2540, -2540});
  const auto b = Render(e.Bytes());
  EXPECT_EQ(b->PixelColor(25, 20), kPixelRed);
  EXPECT_EQ(b->PixelColor(45, 20), kPixelWhite);
  EXPECT_EQ(b->PixelColor(75, 75), kPixelBlack);
  EXPECT_EQ(b->PixelColor(75, 45), kPixelWhite);
  EXPECT_EQ(b->PixelColor(45, 75), kPixelWhite);
}

TEST(MetafileDrawing, EnhancedPathsAreFilledAsRecorded) {
  EmfBuilder e = Enhanced();
  EmfRedBrushNoPen(e);
  e.Record(emf::BEGINPATH, {});
  e.Record(emf::MOVETOEX, {10, 10});
  e.Record(emf::LINETO, {90, 10});
  e.Record(emf::LINETO, {10, 90});
  e.Record(emf::CLOSEFIGURE, {});
  e.Record(emf::ENDPATH, {});
  e.Record(emf::RECTANGLE, {0, 0, 100, 100}); // drawn: not inside the path any more
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 4)});
  e.Record(emf::FILLPATH, {0, 0, 0, 0});
  const auto b = Render(e.Bytes());
  EXPECT_EQ(b->PixelColor(20, 20), kPixelBlack);
  EXPECT_EQ(b->PixelColor(80, 80), kPixelRed);
}

TEST(MetafileDrawing, ArcToDrawsFromThePenAndLeavesItAtTheArcsEnd) {
  EmfBuilder e = Enhanced();
  e.Record(emf::MOVETOEX, {10, 50});
  // From 3 o'clock counterclockwise to 12 o'clock.
  e.Record(55, {0, 0, 100, 100, 100, 50, 50, 0});
  e.Record(emf::LINETO, {50, 95});
  const auto b = Render(e.Bytes());
  EXPECT_GE(CountColor(*b, kPixelBlack, 28, 48, 33, 52), 5);  // the line to the arc's start
  EXPECT_EQ(b->PixelColor(50, 75), kPixelBlack);              // the line from its end
  EXPECT_GT(CountColor(*b, kPixelBlack, 70, 0, 100, 30), 10); // the arc
  EXPECT_EQ(CountColor(*b, kPixelBlack, 0, 60, 45, 100), 0);  // nothing elsewhere
}

TEST(MetafileDrawing, EnhancedClipRegionsBitmapsAndText) {
  EmfBuilder e = Enhanced();
  // Clip to the left half: region data header (32 bytes) and one rectangle.
  e.Raw(emf::EXTSELECTCLIPRGN, Fields()
                                   .U32(48)
                                   .U32(5)
                                   .U32(32)
                                   .U32(1)
                                   .U32(1)
                                   .U32(16)
                                   .I32(0)
                                   .I32(0)
                                   .I32(50)
                                   .I32(100)
                                   .I32(0)
                                   .I32(0)
                                   .I32(50)
                                   .I32(100));
  Fields dib;
  const auto header = Dib24Header(1, 2), bits = Dib24Bits(1, 2, {0xFF0000, 0x0000FF});
  dib.I32(0).I32(0).I32(-1).I32(-1);             // bounds
  dib.I32(0).I32(0).I32(0).I32(0).I32(1).I32(2); // dest, source position and size
  dib.U32(80).U32(40).U32(120).U32(static_cast<uint32_t>(bits.size())).U32(0).U32(0x00CC0020);
  dib.I32(100).I32(100).Bytes(header).Bytes(bits);
  e.Raw(emf::STRETCHDIBITS, dib);
  e.Record(emf::EXTSELECTCLIPRGN, {0, 5}); // no region: the clip is removed
  EmfFont(e, 1, -30);
  e.Record(emf::SELECTOBJECT, {1});
  e.Record(emf::SETTEXTCOLOR, {static_cast<int32_t>(kGreen)});
  e.Record(emf::SETBKMODE, {1});
  EmfText(e, 55, 30, u"MM");
  const auto b = Render(e.Bytes());
  EXPECT_EQ(b->PixelColor(25, 25), kPixelRed);
  EXPECT_EQ(b->PixelColor(25, 75), kPixelBlue);
  EXPECT_EQ(b->PixelColor(75, 10), kPixelWhite);
  EXPECT_GT(CountColor(*b, kPixelGreen, 55, 30, 100, 65), 30);
}

TEST(MetafileDrawing, GlyphNumbersAndLargeText) {
  // The glyph numbers of "MM" in the font the player takes for a font without a face.
  QFont font{QString()};
  font.setPixelSize(30);
  const QList<quint32> glyphs = QRawFont::fromFont(font).glyphIndexesForString("MM");
  ASSERT_EQ(glyphs.size(), 2);
  EmfBuilder e = Enhanced();
  EmfFont(e, 1, -30);
  e.Record(emf::SELECTOBJECT, {1});
  e.Record(emf::SETTEXTCOLOR, {static_cast<int32_t>(kRed)});
  e.Record(emf::SETBKMODE, {1});
  Fields f;
  f.I32(0).I32(0).I32(-1).I32(-1).U32(1).F32(0).F32(0);
  f.I32(5).I32(5).U32(2).U32(76).U32(0x10).I32(0).I32(0).I32(-1).I32(-1).U32(0);
  f.U16(glyphs[0]).U16(glyphs[1]);
  e.Raw(emf::EXTTEXTOUTW, f);
  // Text larger than glyph images are kept for is drawn from outlines.
  EmfFont(e, 2, -90);
  e.Record(emf::SELECTOBJECT, {2});
  e.Record(emf::SETTEXTCOLOR, {static_cast<int32_t>(kBlue)});
  EmfText(e, 5, 0, u"H");
  const auto b = Render(e.Bytes());
  EXPECT_GT(CountColor(*b, kPixelRed, 5, 5, 100, 40), 40);
  EXPECT_GT(CountColor(*b, kPixelBlue, 0, 0, 100, 100), 400);
}

TEST(Metafile, SizeIsTheFrameAtTheScreensResolution) {
  auto plain = LoadMetafile(WmfBuilder().Placeable(0, 0, 1440, 720, 1440).Bytes());
  const double dpiX = ScreenLogicalDpiX(), dpiY = ScreenLogicalDpiY();
  EXPECT_FALSE(plain->Enhanced());
  EXPECT_EQ(plain->MMWidth(), 2540);
  EXPECT_EQ(plain->Width(), std::lround(dpiX));
  EXPECT_EQ(plain->Height(), std::lround(dpiY / 2));
  auto enhanced = LoadMetafile(EmfBuilder(0, 0, 5080, 2540, 1000, 254).Bytes());
  EXPECT_TRUE(enhanced->Enhanced());
  EXPECT_EQ(enhanced->MMHeight(), 2540);
  EXPECT_EQ(enhanced->Width(), std::lround(2 * dpiX));
  EXPECT_EQ(enhanced->Height(), std::lround(dpiY));
  // Without a placeable header the first window gives the size, in screen pixels.
  WmfBuilder w;
  w.Record(wmf::SETWINDOWORG, {0, 0});
  w.Record(wmf::SETWINDOWEXT, {48, 96}); // y, x
  auto bare = LoadMetafile(w.Bytes());
  EXPECT_EQ(bare->Width(), std::lround(96 * dpiX / 96));
  EXPECT_EQ(bare->Height(), std::lround(48 * dpiY / 96));
}

TEST(Metafile, RegisteredForBothFlavoursAndCopiedIntoBitmaps) {
  const auto plain = TPicture::FindFileFormat("wmf");
  const auto enhanced = TPicture::FindFileFormat("EMF");
  ASSERT_TRUE(plain && enhanced);
  EXPECT_EQ(plain->Description, "Metafiles");
  EXPECT_EQ(enhanced->Description, "Enhanced Metafiles");
  EXPECT_FALSE(dynamic_cast<TMetafile&>(*plain->Create()).Enhanced());
  EXPECT_TRUE(dynamic_cast<TMetafile&>(*enhanced->Create()).Enhanced());

  WmfBuilder w;
  w.Placeable(0, 0, 100, 100, 96);
  SolidBrushNoPen(w, kRed, 0, 1);
  w.Record(wmf::RECTANGLE, {50, 50, 0, 0});
  auto metafile = LoadMetafile(w.Bytes());
  TBitmap bitmap;
  bitmap.Assign(metafile.get());
  ASSERT_EQ(bitmap.Width(), metafile->Width());
  EXPECT_EQ(bitmap.PixelColor(2, 2), kPixelRed);
  EXPECT_EQ(bitmap.PixelColor(bitmap.Width() - 2, bitmap.Height() - 2), kPixelWhite);
  EXPECT_THROW(metafile->Assign(&bitmap), EConvertError);
}

} // namespace
} // namespace kestrel
