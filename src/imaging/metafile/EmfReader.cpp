#include "imaging/metafile/EmfReader.h"

#include "imaging/binary/ByteReader.h"
#include "imaging/core/Exceptions.h"
#include "imaging/dib/PackedDib.h"
#include "imaging/metafile/EmfRecords.h"
#include "imaging/metafile/MetaFields.h"
#include "imaging/metafile/MetaText.h"
#include "imaging/metafile/WmfReader.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

using namespace emf;

namespace {

constexpr const char* kDamagedRecord = "Damaged metafile record";
constexpr uint32_t DIB_PAL_COLORS = 1;
constexpr size_t kBoundsSize = 16;

TPoint ReadPoint(TByteReader& r) {
  const int x = r.I32();
  const int y = r.I32();
  return {x, y};
}

TRect ReadRect(TByteReader& r) {
  const int left = r.I32(), top = r.I32(), right = r.I32(), bottom = r.I32();
  return {left, top, right, bottom};
}

std::vector<TPoint> ReadPoints(TByteReader& r, size_t count, bool small) {
  const size_t size = small ? 4 : 8;
  if (count > r.Remaining() / size) r.Fail();
  std::vector<TPoint> points(count);
  for (TPoint& p : points) {
    if (small) {
      p.X = r.I16();
      p.Y = r.I16();
    } else {
      p = ReadPoint(r);
    }
  }
  return points;
}

// A rectangle from a position and a size; one that leaves the coordinate range is damage.
TRect Sized(const TByteReader& r, TPoint at, int64_t width, int64_t height) {
  const int64_t right = at.X + width, bottom = at.Y + height;
  if (right < INT32_MIN || right > INT32_MAX || bottom < INT32_MIN || bottom > INT32_MAX) r.Fail();
  return {at.X, at.Y, static_cast<int>(right), static_cast<int>(bottom)};
}

// A span of the record given by an offset and a size from its start.
std::span<const uint8_t> Part(const TByteReader& r, uint32_t offset, uint32_t size) {
  return r.BytesAt(offset, size);
}

// A bitmap's header and colour table, which must be readable whole.
std::span<const uint8_t> BitmapHeader(const TByteReader& r, uint32_t offset, uint32_t size) {
  const auto info = Part(r, offset, size);
  if (!info.empty() && PackedDibInfoLength(info) == 0)
    throw EInvalidGraphic("Damaged bitmap in metafile record");
  return info;
}

} // namespace

bool TEmfReader::Recognizes(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderMinSize) return false;
  TByteReader r(bytes, "");
  if (r.U32() != HEADER) return false;
  r.Seek(40);
  return r.U32() == kSignature;
}

TEmfReader::TEmfReader(std::span<const uint8_t> bytes) : bytes_(bytes) {
  if (!Recognizes(bytes)) throw EInvalidGraphic("Not an enhanced metafile");
  TByteReader r(bytes, "Metafile truncated");
  r.Skip(4);
  const uint32_t size = r.U32();
  if (size < kHeaderMinSize || size % 4 || size > bytes.size())
    throw EInvalidGraphic("Invalid metafile header size");
  header_.Enhanced = true;
  header_.EmfBounds = ReadRect(r);
  header_.EmfFrame = ReadRect(r);
  r.Skip(4 + 4 + 4 + 4 + 4 + 4 + 4 + 4); // signature .. palette entries
  header_.Device = {r.I32(), r.I32()};
  header_.Millimeters = {r.I32(), r.I32()};
  header_.RecordsStart = size;
  pos_ = size;
}

bool TEmfReader::Next(TMetaCommand& command) {
  if (done_ || pos_ >= bytes_.size()) return false;
  TByteReader r(bytes_.subspan(pos_), "Metafile record runs past the end of the file");
  const uint32_t type = r.U32();
  const uint32_t size = r.U32();
  if (size < kRecordHeaderSize || size % 4) throw EInvalidGraphic("Invalid metafile record size");
  if (size > r.Size()) r.Fail();
  pos_ += size;
  if (type == EOF_) {
    done_ = true;
    return false;
  }
  command = TMetaCommand();
  command.RecordType = type;
  Decode(type, r.BytesAt(0, size), command);
  return true;
}

void TEmfReader::Decode(uint32_t type, std::span<const uint8_t> record, TMetaCommand& c) {
  TByteReader r(record, kDamagedRecord);
  r.Skip(kRecordHeaderSize);
  auto value = [&](TMetaOp op) {
    c.Op = op;
    c.Value = r.I32();
  };
  auto point = [&](TMetaOp op) {
    c.Op = op;
    c.Points = {ReadPoint(r)};
  };
  auto box = [&](TMetaOp op) {
    c.Op = op;
    c.Box = ReadRect(r);
  };
  auto points = [&](TMetaOp op, bool small) {
    c.Op = op;
    r.Skip(kBoundsSize);
    c.Points = ReadPoints(r, r.U32(), small);
  };
  auto polyPoints = [&](TMetaOp op, bool small) {
    c.Op = op;
    r.Skip(kBoundsSize);
    const size_t polys = r.U32(), total = r.U32();
    if (polys > r.Remaining() / 4) r.Fail();
    uint64_t sum = 0;
    for (size_t i = 0; i < polys; ++i) {
      c.Counts.push_back(r.I32());
      if (c.Counts.back() < 0) r.Fail();
      sum += static_cast<uint64_t>(c.Counts.back());
    }
    if (sum != total) r.Fail();
    c.Points = ReadPoints(r, total, small);
  };
  auto none = [&](TMetaOp op) { c.Op = op; };
  switch (type) {
  case POLYBEZIER:
    return points(TMetaOp::PolyBezier, false);
  case POLYGON:
    return points(TMetaOp::Polygon, false);
  case POLYLINE:
    return points(TMetaOp::Polyline, false);
  case POLYBEZIERTO:
    return points(TMetaOp::PolyBezierTo, false);
  case POLYLINETO:
    return points(TMetaOp::PolylineTo, false);
  case POLYBEZIER16:
    return points(TMetaOp::PolyBezier, true);
  case POLYGON16:
    return points(TMetaOp::Polygon, true);
  case POLYLINE16:
    return points(TMetaOp::Polyline, true);
  case POLYBEZIERTO16:
    return points(TMetaOp::PolyBezierTo, true);
  case POLYLINETO16:
    return points(TMetaOp::PolylineTo, true);
  case POLYPOLYLINE:
    return polyPoints(TMetaOp::PolyPolyline, false);
  case POLYPOLYGON:
    return polyPoints(TMetaOp::PolyPolygon, false);
  case POLYPOLYLINE16:
    return polyPoints(TMetaOp::PolyPolyline, true);
  case POLYPOLYGON16:
    return polyPoints(TMetaOp::PolyPolygon, true);
  case SETWINDOWEXTEX:
    return point(TMetaOp::SetWindowExt);
  case SETWINDOWORGEX:
    return point(TMetaOp::SetWindowOrg);
  case SETVIEWPORTEXTEX:
    return point(TMetaOp::SetViewportExt);
  case SETVIEWPORTORGEX:
    return point(TMetaOp::SetViewportOrg);
  case SETPIXELV:
    c.Op = TMetaOp::SetPixel;
    c.Points = {ReadPoint(r)};
    c.Value = r.I32();
    return;
  case SETMAPMODE:
    return value(TMetaOp::SetMapMode);
  case SETBKMODE:
    return value(TMetaOp::SetBkMode);
  case SETPOLYFILLMODE:
    return value(TMetaOp::SetPolyFillMode);
  case SETROP2:
    return value(TMetaOp::SetRop2);
  case SETTEXTALIGN:
    return value(TMetaOp::SetTextAlign);
  case SETTEXTCOLOR:
    return value(TMetaOp::SetTextColor);
  case SETBKCOLOR:
    return value(TMetaOp::SetBkColor);
  case SETARCDIRECTION:
    return value(TMetaOp::SetArcDirection);
  case MOVETOEX:
    return point(TMetaOp::MoveTo);
  case LINETO:
    return point(TMetaOp::LineTo);
  case EXCLUDECLIPRECT:
    return box(TMetaOp::ExcludeClipRect);
  case INTERSECTCLIPRECT:
    return box(TMetaOp::IntersectClipRect);
  case SCALEVIEWPORTEXTEX:
  case SCALEWINDOWEXTEX: {
    c.Op = type == SCALEWINDOWEXTEX ? TMetaOp::ScaleWindowExt : TMetaOp::ScaleViewportExt;
    const int xNum = r.I32(), xDenom = r.I32(), yNum = r.I32(), yDenom = r.I32();
    c.Points = {{xNum, yNum}, {xDenom, yDenom}};
    return;
  }
  case SAVEDC:
    return none(TMetaOp::SaveDC);
  case RESTOREDC:
    return value(TMetaOp::RestoreDC);
  case SETWORLDTRANSFORM:
  case MODIFYWORLDTRANSFORM:
    c.Op = type == SETWORLDTRANSFORM ? TMetaOp::SetWorldTransform : TMetaOp::ModifyWorldTransform;
    for (float& f : c.Transform)
      f = r.F32();
    if (type == MODIFYWORLDTRANSFORM) c.Value = r.I32();
    return;
  case SELECTOBJECT:
  case DELETEOBJECT:
  case SELECTPALETTE:
    c.Op = type == SELECTOBJECT   ? TMetaOp::SelectObject
           : type == DELETEOBJECT ? TMetaOp::DeleteObject
                                  : TMetaOp::SelectPalette;
    c.Handle = r.U32();
    return;
  case REALIZEPALETTE:
    return none(TMetaOp::RealizePalette);
  case ELLIPSE:
    return box(TMetaOp::Ellipse);
  case RECTANGLE:
    return box(TMetaOp::Rectangle);
  case ROUNDRECT:
    c.Op = TMetaOp::RoundRect;
    c.Box = ReadRect(r);
    c.Points = {ReadPoint(r)};
    return;
  case ARC:
  case ARCTO:
  case CHORD:
  case PIE: {
    c.Op = type == ARC     ? TMetaOp::Arc
           : type == ARCTO ? TMetaOp::ArcTo
           : type == CHORD ? TMetaOp::Chord
                           : TMetaOp::Pie;
    c.Box = ReadRect(r);
    const TPoint start = ReadPoint(r), end = ReadPoint(r);
    c.Points = {start, end};
    return;
  }
  case BEGINPATH:
    return none(TMetaOp::BeginPath);
  case ENDPATH:
    return none(TMetaOp::EndPath);
  case CLOSEFIGURE:
    return none(TMetaOp::CloseFigure);
  case FILLPATH:
    return none(TMetaOp::FillPath);
  case STROKEANDFILLPATH:
    return none(TMetaOp::StrokeAndFillPath);
  case STROKEPATH:
    return none(TMetaOp::StrokePath);
  case ABORTPATH:
    return none(TMetaOp::AbortPath);
  case SELECTCLIPPATH:
    return value(TMetaOp::SelectClipPath);
  case EXTSELECTCLIPRGN: {
    c.Op = TMetaOp::SetClipRegion;
    const uint32_t dataSize = r.U32();
    c.Value = r.I32();
    if (dataSize == 0) return;
    TByteReader data(r.Bytes(dataSize), kDamagedRecord);
    const uint32_t headerSize = data.U32();
    data.Skip(4);
    const size_t count = data.U32();
    if (headerSize < 32) data.Fail();
    data.Seek(headerSize);
    if (count > data.Remaining() / 16) data.Fail();
    for (size_t i = 0; i < count; ++i)
      c.Rects.push_back(ReadRect(data));
    return;
  }
  case BITBLT:
  case STRETCHBLT:
  case SETDIBITSTODEVICE:
  case STRETCHDIBITS:
    return DecodeBlt(type, record, c);
  case EXTTEXTOUTA:
  case EXTTEXTOUTW:
    return DecodeText(type, record, c);
  case CREATEPEN:
  case EXTCREATEPEN:
  case CREATEBRUSHINDIRECT:
  case EXTCREATEFONTINDIRECTW:
  case CREATEPALETTE:
  case CREATEMONOBRUSH:
  case CREATEDIBPATTERNBRUSHPT:
    return DecodeObject(type, record, c);
  case SETBRUSHORGEX:
  case SETMAPPERFLAGS:
  case SETSTRETCHBLTMODE:
  case SETCOLORADJUSTMENT:
  case SETMETARGN:
  case SETPALETTEENTRIES:
  case RESIZEPALETTE:
  case SETMITERLIMIT:
  case FLATTENPATH:
  case GDICOMMENT:
  case SETICMMODE:
  case CREATECOLORSPACE:
  case SETCOLORSPACE:
  case DELETECOLORSPACE:
  case PIXELFORMAT:
  case FORCEUFIMAPPING:
  case NAMEDESCAPE:
  case COLORCORRECTPALETTE:
  case SETICMPROFILEA:
  case SETICMPROFILEW:
  case SETLAYOUT:
  case SETLINKEDUFIS:
  case SETTEXTJUSTIFICATION:
  case COLORMATCHTOTARGETW:
  case CREATECOLORSPACEW:
    return none(TMetaOp::NoEffect);
  default:
    c.Op = TMetaOp::Unknown;
  }
}

void TEmfReader::DecodeObject(uint32_t type, std::span<const uint8_t> record, TMetaCommand& c) {
  TByteReader r(record, kDamagedRecord);
  r.Skip(kRecordHeaderSize);
  c.Handle = r.U32();
  switch (type) {
  case CREATEPEN:
    c.Op = TMetaOp::CreatePen;
    c.Pen.Style = r.U32();
    c.Pen.Width = r.I32();
    r.Skip(4);
    c.Pen.Color = r.I32();
    break;
  case EXTCREATEPEN: {
    c.Op = TMetaOp::CreatePen;
    r.Skip(16); // a pattern bitmap, which is drawn as the pen's colour
    c.Pen.Style = r.U32();
    c.Pen.Width = r.I32();
    const uint32_t brushStyle = r.U32();
    c.Pen.Color = r.I32();
    // A pen with a null brush draws nothing.
    if (brushStyle == 1) c.Pen.Style = (c.Pen.Style & ~0xFu) | 5;
    break;
  }
  case CREATEBRUSHINDIRECT:
    c.Op = TMetaOp::CreateBrush;
    c.Brush.Style = r.U32();
    c.Brush.Color = r.I32();
    c.Brush.Hatch = r.U32();
    break;
  case CREATEMONOBRUSH:
  case CREATEDIBPATTERNBRUSHPT: {
    c.Op = TMetaOp::CreateBrush;
    c.Brush.Style = type == CREATEMONOBRUSH ? 3 : 5;
    c.Brush.Usage = r.U32();
    const uint32_t offBmi = r.U32(), cbBmi = r.U32(), offBits = r.U32(), cbBits = r.U32();
    c.Brush.BitmapInfo = BitmapHeader(r, offBmi, cbBmi);
    c.Brush.Bits = Part(r, offBits, cbBits);
    if (c.Brush.Usage == DIB_PAL_COLORS) c.Op = TMetaOp::CreateOther;
    break;
  }
  case CREATEPALETTE: {
    c.Op = TMetaOp::CreatePalette;
    ReadPaletteFields(r, c.PaletteEntries);
    break;
  }
  default: { // EXTCREATEFONTINDIRECTW
    c.Op = TMetaOp::CreateFont;
    TMetaFont& f = c.Font;
    ReadFontFields(r, f, true);
    for (int i = 0; i < 32; ++i) {
      const char16_t ch = r.U16();
      if (ch == 0) break;
      f.Face.push_back(ch);
    }
  }
  }
  // Index 0 is the metafile itself; the stock objects cannot be made.
  if (c.Handle == 0 || c.Handle >= kStockObject) c.Op = TMetaOp::Unknown;
}

void TEmfReader::DecodeBlt(uint32_t type, std::span<const uint8_t> record, TMetaCommand& c) {
  TByteReader r(record, kDamagedRecord);
  r.Skip(kRecordHeaderSize + kBoundsSize);
  c.Op = TMetaOp::Blt;
  uint32_t offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
  if (type == BITBLT || type == STRETCHBLT) {
    const TPoint dest = ReadPoint(r);
    const int cx = r.I32(), cy = r.I32();
    c.Box = Sized(r, dest, cx, cy);
    c.Rop = r.U32();
    const TPoint src = ReadPoint(r);
    r.Skip(24 + 4); // source transform and background colour
    c.Usage = r.U32();
    offBmi = r.U32();
    cbBmi = r.U32();
    offBits = r.U32();
    cbBits = r.U32();
    int srcWidth = cx, srcHeight = cy;
    if (type == STRETCHBLT) {
      srcWidth = r.I32();
      srcHeight = r.I32();
    }
    c.BltKind = type == STRETCHBLT ? TMetaBltKind::StretchBlt : TMetaBltKind::BitBlt;
    c.Source = Sized(r, src, srcWidth, srcHeight);
    if (cbBmi == 0) {
      c.Op = TMetaOp::PatBlt;
      return;
    }
  } else {
    const TPoint dest = ReadPoint(r);
    const TPoint src = ReadPoint(r);
    const int srcWidth = r.I32(), srcHeight = r.I32();
    c.Source = Sized(r, src, srcWidth, srcHeight);
    offBmi = r.U32();
    cbBmi = r.U32();
    offBits = r.U32();
    cbBits = r.U32();
    c.Usage = r.U32();
    if (type == STRETCHDIBITS) {
      c.BltKind = TMetaBltKind::StretchDIBits;
      c.Rop = r.U32();
      const int cx = r.I32(), cy = r.I32();
      c.Box = Sized(r, dest, cx, cy);
    } else {
      c.BltKind = TMetaBltKind::SetDIBitsToDevice;
      c.StartScan = r.I32();
      c.Counts = {r.I32()};
      c.Rop = 0x00CC0020;
      c.Box = Sized(r, dest, srcWidth, srcHeight);
    }
  }
  c.BitmapInfo = BitmapHeader(r, offBmi, cbBmi);
  c.Bits = Part(r, offBits, cbBits);
  if (c.Usage == DIB_PAL_COLORS || c.BitmapInfo.empty()) c.Op = TMetaOp::Unknown;
}

void TEmfReader::DecodeText(uint32_t type, std::span<const uint8_t> record, TMetaCommand& c) {
  TByteReader r(record, kDamagedRecord);
  r.Skip(kRecordHeaderSize + kBoundsSize + 12); // bounds, graphics mode, scales
  c.Op = TMetaOp::TextOut;
  c.Points = {ReadPoint(r)};
  const uint32_t count = r.U32();
  const uint32_t offString = r.U32();
  c.TextOptions = r.U32();
  c.Box = ReadRect(r);
  const uint32_t offDx = r.U32();
  const bool wide = type == EXTTEXTOUTW;
  const uint64_t textBytes = uint64_t(count) * (wide ? 2 : 1);
  if (textBytes > record.size()) r.Fail();
  const auto text = r.BytesAt(offString, static_cast<size_t>(textBytes));
  if (wide) {
    c.Text.resize(count);
    for (size_t i = 0; i < count; ++i)
      c.Text[i] = static_cast<char16_t>(text[2 * i] | text[2 * i + 1] << 8);
  } else {
    c.Text = DecodeAnsiText(text);
  }
  // Advances are optional; with ETO_PDY each character has an x and a y advance.
  const uint64_t dxCount = uint64_t(count) * ((c.TextOptions & ETO_PDY) ? 2 : 1);
  if (offDx != 0 && dxCount * 4 <= record.size()) {
    TByteReader dx(r.BytesAt(offDx, static_cast<size_t>(dxCount * 4)), kDamagedRecord);
    for (uint64_t i = 0; i < dxCount; ++i)
      c.Dx.push_back(dx.I32());
  }
}

} // namespace kestrel
