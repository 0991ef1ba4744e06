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
