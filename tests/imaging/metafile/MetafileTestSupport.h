#pragma once
// Record numbers of both metafile flavours as the tests write them, and rendering helpers.

#include "MetafileBuilder.h"

#include "imaging/core/Bitmap.h"
#include "imaging/metafile/Metafile.h"

#include <memory>
#include <vector>

namespace kestrel::test {

namespace wmf {
enum : uint16_t {
  SAVEDC = 0x001E,
  CREATEPALETTE = 0x00F7,
  SETBKMODE = 0x0102,
  SETMAPMODE = 0x0103,
  SETROP2 = 0x0104,
  SETPOLYFILLMODE = 0x0106,
  RESTOREDC = 0x0127,
  SELECTOBJECT = 0x012D,
  SETTEXTALIGN = 0x012E,
  DELETEOBJECT = 0x01F0,
  SETBKCOLOR = 0x0201,
  SETTEXTCOLOR = 0x0209,
  SETWINDOWORG = 0x020B,
  SETWINDOWEXT = 0x020C,
  SETVIEWPORTORG = 0x020D,
  SETVIEWPORTEXT = 0x020E,
  OFFSETWINDOWORG = 0x020F,
  LINETO = 0x0213,
  MOVETO = 0x0214,
  CREATEPEN = 0x02FA,
  CREATEFONT = 0x02FB,
  CREATEBRUSH = 0x02FC,
  POLYGON = 0x0324,
  POLYLINE = 0x0325,
  EXCLUDECLIPRECT = 0x0415,
  INTERSECTCLIPRECT = 0x0416,
  ELLIPSE = 0x0418,
  FLOODFILL = 0x0419,
  RECTANGLE = 0x041B,
  SETPIXEL = 0x041F,
  TEXTOUT = 0x0521,
  POLYPOLYGON = 0x0538,
  ROUNDRECT = 0x061C,
  PATBLT = 0x061D,
  ESCAPE = 0x0626,
  ARC = 0x0817,
  PIE = 0x081A,
  CHORD = 0x0830,
  DIBBITBLT = 0x0940,
  EXTTEXTOUT = 0x0A32,
  DIBSTRETCHBLT = 0x0B41,
  STRETCHDIB = 0x0F43,
};
} // namespace wmf

namespace emf {
enum : uint32_t {
  POLYGON = 3,
  POLYLINETO = 6,
  POLYPOLYLINE = 7,
  SETWINDOWEXTEX = 9,
  SETWINDOWORGEX = 10,
  MOVETOEX = 27,
  SETMAPMODE = 17,
  SETBKMODE = 18,
  SETTEXTCOLOR = 24,
  INTERSECTCLIPRECT = 30,
  SAVEDC = 33,
  RESTOREDC = 34,
  SETWORLDTRANSFORM = 35,
  MODIFYWORLDTRANSFORM = 36,
  SELECTOBJECT = 37,
  CREATEPEN = 38,
  CREATEBRUSHINDIRECT = 39,
  DELETEOBJECT = 40,
  ELLIPSE = 42,
  RECTANGLE = 43,
  LINETO = 54,
  BEGINPATH = 59,
  ENDPATH = 60,
  CLOSEFIGURE = 61,
  FILLPATH = 62,
  GDICOMMENT = 70,
  EXTSELECTCLIPRGN = 75,
  BITBLT = 76,
  STRETCHDIBITS = 81,
  EXTCREATEFONTINDIRECTW = 82,
  EXTTEXTOUTW = 84,
  POLYGON16 = 86,
  POLYPOLYGON16 = 91,
};
} // namespace emf

constexpr uint32_t kStock = 0x80000000u;
constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000; // 0x00BBGGRR
constexpr uint32_t kPixelRed = 0xFF0000, kPixelGreen = 0x00FF00, kPixelBlue = 0x0000FF;
constexpr uint32_t kPixelWhite = 0xFFFFFF, kPixelBlack = 0;

// Plain records of objects: a solid brush, a pen, a hatched brush.
void WmfBrush(WmfBuilder& w, uint32_t color, int style = 0, int hatch = 0);
void WmfPen(WmfBuilder& w, int style, int width, uint32_t color);
// A 24-bit DIB stretched over dest (left, top, width, height) with the raster code rop.
void WmfStretchDib(WmfBuilder& w, int left, int top, int width, int height, int dibWidth,
                   int dibHeight, const std::vector<uint32_t>& pixels, uint32_t rop = 0x00CC0020);
void WmfFont(WmfBuilder& w, int height, const std::string& face);

void EmfBrush(EmfBuilder& e, uint32_t handle, uint32_t color);
void EmfFont(EmfBuilder& e, uint32_t handle, int height);
void EmfText(EmfBuilder& e, int x, int y, const std::u16string& text);

// Metafiles using most of what the player knows (the enhanced one: what converts to plain).
std::vector<uint8_t> RichPlain();
std::vector<uint8_t> RichEnhanced();

std::unique_ptr<TMetafile> LoadMetafile(const std::vector<uint8_t>& bytes);
// The metafile drawn into a white 24-bit bitmap of width x height, filling it.
std::unique_ptr<TBitmap> Render(TMetafile& metafile, int width = 100, int height = 100);
std::unique_ptr<TBitmap> Render(const std::vector<uint8_t>& bytes, int width = 100,
                                int height = 100);
// Pixels of a bitmap that have the colour, within a rectangle.
int CountColor(const TBitmap& bitmap, uint32_t pixelColor, int left, int top, int right,
               int bottom);

} // namespace kestrel::test
