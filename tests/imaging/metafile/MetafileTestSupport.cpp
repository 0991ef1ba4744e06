#include "MetafileTestSupport.h"

#include "imaging/core/Stream.h"

namespace kestrel::test {

void WmfBrush(WmfBuilder& w, uint32_t color, int style, int hatch) {
  w.Record(wmf::CREATEBRUSH,
           {style, static_cast<int>(color & 0xFFFF), static_cast<int>(color >> 16), hatch});
}

void WmfPen(WmfBuilder& w, int style, int width, uint32_t color) {
  w.Record(wmf::CREATEPEN,
           {style, width, 0, static_cast<int>(color & 0xFFFF), static_cast<int>(color >> 16)});
}

void WmfStretchDib(WmfBuilder& w, int left, int top, int width, int height, int dibWidth,
                   int dibHeight, const std::vector<uint32_t>& pixels, uint32_t rop) {
  Fields f;
  f.U32(rop).U16(0).I16(dibHeight).I16(dibWidth).I16(0).I16(0);
  f.I16(height).I16(width).I16(top).I16(left).Bytes(Dib24(dibWidth, dibHeight, pixels));
  w.Raw(wmf::STRETCHDIB, f);
}

void WmfFont(WmfBuilder& w, int height, const std::string& face) {
  Fields f;
  f.I16(height).I16(0).I16(0).I16(0).I16(400);
  f.U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0);
  f.Text(face).U8(0);
  w.Raw(wmf::CREATEFONT, f);
}

void EmfBrush(EmfBuilder& e, uint32_t handle, uint32_t color) {
  e.Record(emf::CREATEBRUSHINDIRECT,
           {static_cast<int32_t>(handle), 0, static_cast<int32_t>(color), 0});
}

void EmfFont(EmfBuilder& e, uint32_t handle, int height) {
  Fields f;
  f.U32(handle).I32(height).I32(0).I32(0).I32(0).I32(400);
  f.U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0).U8(0);
  for (int i = 0; i < 32; ++i)
    f.U16(0);
  e.Raw(emf::EXTCREATEFONTINDIRECTW, f);
}

void EmfText(EmfBuilder& e, int x, int y, const std::u16string& text) {
  Fields f;
  f.I32(0).I32(0).I32(-1).I32(-1).U32(1).F32(0).F32(0); // bounds, graphics mode, scales
  f.I32(x).I32(y).U32(static_cast<uint32_t>(text.size())).U32(76).U32(0);
  f.I32(0).I32(0).I32(-1).I32(-1).U32(0); // rectangle, no advances
  f.Wide(text);
  e.Raw(emf::EXTTEXTOUTW, f);
}

// A plain metafile using most of what the player knows.
std::vector<uint8_t> RichPlain() {
  WmfBuilder w;
  w.Placeable(0, 0, 1440, 1440, 1440); // one inch: the drawing is in 1440ths of it
  w.Record(wmf::SETMAPMODE, {8});
  w.Record(wmf::SETWINDOWORG, {0, 0});
  w.Record(wmf::SETWINDOWEXT, {200, 200});
  w.Raw(wmf::CREATEPALETTE, Fields().U16(0x0300).U16(2).U32(0xFF).U32(0xFF00)); // slot 0
  WmfBrush(w, kRed);                                                            // slot 1
  WmfPen(w, 0, 3, kBlue);                                                       // slot 2
  w.Record(wmf::SELECTOBJECT, {1});
  w.Record(wmf::SELECTOBJECT, {2});
  w.Record(wmf::RECTANGLE, {60, 90, 10, 10});
  w.Record(wmf::SAVEDC, {});
  WmfBrush(w, kGreen, 2, 5); // slot 3, cross-hatched
  w.Record(wmf::SELECTOBJECT, {3});
  w.Record(wmf::SETBKCOLOR, {0x00FF, 0x00FF}); // magenta gaps
  w.Record(wmf::INTERSECTCLIPRECT, {190, 190, 100, 100});
  w.Record(wmf::ELLIPSE, {200, 200, 80, 80});
  w.Record(wmf::RESTOREDC, {-1});
  w.Record(wmf::DELETEOBJECT, {0});
  WmfPen(w, 2, 0, 0); // slot 0, dotted
  w.Record(wmf::SELECTOBJECT, {0});
  w.Record(wmf::POLYGON, {4, 110, 10, 190, 10, 190, 60, 150, 80});
  w.Record(wmf::POLYPOLYGON, {2, 3, 3, 10, 100, 60, 100, 10, 150, 30, 110, 50, 110, 30, 130});
  w.Record(wmf::PIE, {120, 60, 160, 100, 190, 100, 120, 20});
  w.Record(wmf::ARC, {200, 20, 170, 60, 200, 60, 160, 0});
  w.Record(wmf::MOVETO, {195, 5});
  w.Record(wmf::LINETO, {195, 195});
  w.Record(wmf::SETPIXEL, {0xFF, 0, 2, 2});
  WmfStretchDib(w, 120, 120, 40, 40, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00});
  WmfFont(w, -20, "");
  w.Record(wmf::SELECTOBJECT, {4});
  w.Record(wmf::SETTEXTCOLOR, {0, 0});
  w.Raw(wmf::EXTTEXTOUT,
        Fields().I16(160).I16(20).U16(3).U16(0).Text("Abc").U8(0).I16(12).I16(12).I16(12));
  w.Record(wmf::PATBLT, {0, 0xF0, 10, 10, 180, 180}); // rop high word, low word, h, w, y, x
  return w.Bytes();
}

// An enhanced metafile using what converts to a plain one.
std::vector<uint8_t> RichEnhanced() {
  EmfBuilder e(0, 0, 2540, 2540, 1000, 254); // 100 device pixels
  EmfBrush(e, 3, kGreen);
  e.Record(emf::SELECTOBJECT, {3});
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 6)}); // white pen
  e.Record(emf::RECTANGLE, {5, 5, 60, 50});
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 7)}); // black pen
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 2)}); // grey brush
  e.Record(emf::ELLIPSE, {40, 40, 95, 95});
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 6)}); // each stock pen again
  e.Record(emf::SELECTOBJECT, {static_cast<int32_t>(kStock | 7)});
  e.Raw(emf::POLYPOLYLINE, Fields()
                               .I32(0)
                               .I32(0)
                               .I32(0)
                               .I32(0)
                               .U32(2)
                               .U32(4)
                               .U32(2)
                               .U32(2)
                               .I32(70)
                               .I32(5)
                               .I32(95)
                               .I32(30)
                               .I32(70)
                               .I32(30)
                               .I32(95)
                               .I32(5));
  e.Record(emf::MOVETOEX, {5, 95});
  e.Raw(emf::POLYLINETO,
        Fields().I32(0).I32(0).I32(0).I32(0).U32(2).I32(30).I32(70).I32(55).I32(95));
  e.Record(emf::GDICOMMENT, {4, 0x12345678});
  EmfFont(e, 7, -16);
  e.Record(emf::SELECTOBJECT, {7});
  e.Record(emf::SETTEXTCOLOR, {static_cast<int32_t>(kBlue)});
  EmfText(e, 10, 60, u"Wx\u00e9");
  Fields dib;
  const auto header = Dib24Header(2, 1), bits = Dib24Bits(2, 1, {0xFF00FF, 0x00FFFF});
  dib.I32(0).I32(0).I32(-1).I32(-1).I32(60).I32(60).I32(0).I32(0).I32(2).I32(1);
  dib.U32(80).U32(40).U32(120).U32(static_cast<uint32_t>(bits.size())).U32(0).U32(0x00CC0020);
  dib.I32(20).I32(10).Bytes(header).Bytes(bits);
  e.Raw(emf::STRETCHDIBITS, dib);
  e.Record(emf::DELETEOBJECT, {3});
  return e.Bytes();
}

std::unique_ptr<TMetafile> LoadMetafile(const std::vector<uint8_t>& bytes) {
  auto metafile = std::make_unique<TMetafile>();
  TSpanStream stream(bytes.data(), bytes.size());
  metafile->LoadFromStream(stream);
  return metafile;
}

std::unique_ptr<TBitmap> Render(TMetafile& metafile, int width, int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
  bitmap->Canvas().StretchDraw({0, 0, width, height}, metafile);
  return bitmap;
}

std::unique_ptr<TBitmap> Render(const std::vector<uint8_t>& bytes, int width, int height) {
  return Render(*LoadMetafile(bytes), width, height);
}

int CountColor(const TBitmap& bitmap, uint32_t pixelColor, int left, int top, int right,
               int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      count += bitmap.PixelColor(x, y) == pixelColor;
  return count;
}

} // namespace kestrel::test
