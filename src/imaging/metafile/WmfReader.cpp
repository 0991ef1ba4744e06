#include "imaging/metafile/WmfReader.h"

#include "imaging/binary/ByteReader.h"
#include "imaging/core/Exceptions.h"
#include "imaging/dib/PackedDib.h"
#include "imaging/metafile/MetaFields.h"
#include "imaging/metafile/MetaText.h"
#include "imaging/metafile/WmfRecords.h"

#include <algorithm>

namespace kestrel {

using namespace wmf;

namespace {

constexpr const char* kDamagedRecord = "Damaged metafile record";
constexpr uint32_t DIB_PAL_COLORS = 1;

TPoint ReadYX(TByteReader& r) {
  const int y = r.I16();
  const int x = r.I16();
  return {x, y};
}

// Rectangles are stored bottom, right, top, left.
TRect ReadBox(TByteReader& r) {
  const int bottom = r.I16(), right = r.I16(), top = r.I16(), left = r.I16();
  return {left, top, right, bottom};
}

std::vector<TPoint> ReadPoints(TByteReader& r, size_t count) {
  if (count > r.Remaining() / 4) r.Fail();
  std::vector<TPoint> points(count);
  for (TPoint& p : points) {
    p.X = r.I16();
    p.Y = r.I16();
  }
  return points;
}

// Text padded to an even length.
std::u16string ReadText(TByteReader& r, size_t length) {
  std::u16string text = DecodeAnsiText(r.Bytes(length));
  if (length & 1) r.Skip(std::min<size_t>(1, r.Remaining()));
  return text;
}

} // namespace

void SplitMetaDib(std::span<const uint8_t> dib, std::span<const uint8_t>& info,
                  std::span<const uint8_t>& bits) {
  const size_t length = PackedDibInfoLength(dib);
  if (length == 0) throw EInvalidGraphic("Damaged bitmap in metafile record");
  info = dib.first(length);
  bits = dib.subspan(length);
}

TWmfReader::TWmfReader(std::span<const uint8_t> bytes) : bytes_(bytes) {
  TByteReader r(bytes, "Metafile truncated");
  if (bytes.size() >= 4 && TByteReader(bytes, "").U32() == kPlaceableKey) {
    r.Skip(6);
    const int left = r.I16(), top = r.I16(), right = r.I16(), bottom = r.I16();
    header_.Placeable = true;
    header_.Bounds = {left, top, right, bottom};
    header_.Inch = r.U16();
    r.Skip(6); // reserved, checksum (often wrong, so not checked)
    if (header_.Inch == 0) throw EInvalidGraphic("Invalid metafile header: no units per inch");
  }
  const uint16_t type = r.U16(), headerWords = r.U16();
  r.Skip(kHeaderSize - 4);
  if ((type != 1 && type != 2) || headerWords != kHeaderSize / 2)
    throw EInvalidGraphic("Not a metafile");
  header_.RecordsStart = r.Position();
  pos_ = r.Position();
}

bool TWmfReader::Next(TMetaCommand& command) {
  if (done_ || pos_ >= bytes_.size()) return false;
  TByteReader r(bytes_.subspan(pos_), "Metafile record runs past the end of the file");
  const uint32_t words = r.U32();
  const uint16_t function = r.U16();
  if (words < kRecordHeaderSize / 2) throw EInvalidGraphic("Invalid metafile record size");
  const uint64_t size = uint64_t(words) * 2;
  if (size > r.Size()) r.Fail();
  pos_ += static_cast<size_t>(size);
  if (function == EOF_) {
    done_ = true;
    return false;
  }
  command = TMetaCommand();
  command.RecordType = function;
  Decode(function, r.BytesAt(kRecordHeaderSize, static_cast<size_t>(size) - kRecordHeaderSize),
         words, command);
  return true;
}

void TWmfReader::Decode(uint16_t function, std::span<const uint8_t> params, uint32_t words,
                        TMetaCommand& c) {
  TByteReader r(params, kDamagedRecord);
  auto value = [&](TMetaOp op) {
    c.Op = op;
    c.Value = r.I16();
  };
  auto point = [&](TMetaOp op) {
    c.Op = op;
    c.Points = {ReadYX(r)};
  };
  auto box = [&](TMetaOp op) {
    c.Op = op;
    c.Box = ReadBox(r);
  };
  switch (function) {
  case SETBKMODE:
    return value(TMetaOp::SetBkMode);
  case SETMAPMODE:
    return value(TMetaOp::SetMapMode);
  case SETROP2:
    return value(TMetaOp::SetRop2);
  case SETPOLYFILLMODE:
    return value(TMetaOp::SetPolyFillMode);
  case SETTEXTALIGN:
    c.Op = TMetaOp::SetTextAlign;
    c.Value = r.U16();
    return;
  case RESTOREDC:
    return value(TMetaOp::RestoreDC);
  case SETBKCOLOR:
  case SETTEXTCOLOR:
    c.Op = function == SETBKCOLOR ? TMetaOp::SetBkColor : TMetaOp::SetTextColor;
    c.Value = static_cast<int32_t>(r.U32());
    return;
  case SETWINDOWORG:
    return point(TMetaOp::SetWindowOrg);
  case SETWINDOWEXT:
    return point(TMetaOp::SetWindowExt);
  case SETVIEWPORTORG:
    return point(TMetaOp::SetViewportOrg);
  case SETVIEWPORTEXT:
    return point(TMetaOp::SetViewportExt);
  case OFFSETWINDOWORG:
    return point(TMetaOp::OffsetWindowOrg);
  case OFFSETVIEWPORTORG:
    return point(TMetaOp::OffsetViewportOrg);
  case SCALEWINDOWEXT:
  case SCALEVIEWPORTEXT: {
    c.Op = function == SCALEWINDOWEXT ? TMetaOp::ScaleWindowExt : TMetaOp::ScaleViewportExt;
    const int yDenom = r.I16(), yNum = r.I16(), xDenom = r.I16(), xNum = r.I16();
    c.Points = {{xNum, yNum}, {xDenom, yDenom}};
    return;
  }
  case SAVEDC:
    c.Op = TMetaOp::SaveDC;
    return;
  case REALIZEPALETTE:
    c.Op = TMetaOp::RealizePalette;
    return;
  case SELECTOBJECT:
  case SELECTPALETTE:
    c.Op = function == SELECTOBJECT ? TMetaOp::SelectObject : TMetaOp::SelectPalette;
    c.Handle = uint32_t(r.U16()) + 1;
    return;
  case DELETEOBJECT:
    c.Op = TMetaOp::DeleteObject;
    c.Handle = uint32_t(r.U16()) + 1;
    slots_.Free(c.Handle);
    return;
  case INTERSECTCLIPRECT:
    return box(TMetaOp::IntersectClipRect);
  case EXCLUDECLIPRECT:
    return box(TMetaOp::ExcludeClipRect);
  case MOVETO:
    return point(TMetaOp::MoveTo);
  case LINETO:
    return point(TMetaOp::LineTo);
  case POLYLINE:
  case POLYGON:
    c.Op = function == POLYLINE ? TMetaOp::Polyline : TMetaOp::Polygon;
    c.Points = ReadPoints(r, r.U16());
    return;
  case POLYPOLYGON: {
    c.Op = TMetaOp::PolyPolygon;
    const size_t polygons = r.U16();
    if (polygons > r.Remaining() / 2) r.Fail();
    size_t total = 0;
    for (size_t i = 0; i < polygons; ++i) {
      c.Counts.push_back(r.U16());
      total += static_cast<size_t>(c.Counts.back());
    }
    c.Points = ReadPoints(r, total);
    return;
  }
  case RECTANGLE:
    return box(TMetaOp::Rectangle);
  case ELLIPSE:
    return box(TMetaOp::Ellipse);
  case ROUNDRECT: {
    c.Op = TMetaOp::RoundRect;
    const int height = r.I16(), width = r.I16();
    c.Box = ReadBox(r);
    c.Points = {{width, height}};
    return;
  }
  case ARC:
  case PIE:
  case CHORD: {
    c.Op = function == ARC ? TMetaOp::Arc : function == PIE ? TMetaOp::Pie : TMetaOp::Chord;
    const TPoint end = ReadYX(r), start = ReadYX(r);
    c.Box = ReadBox(r);
    c.Points = {start, end};
    return;
  }
  case SETPIXEL:
    c.Op = TMetaOp::SetPixel;
    c.Value = static_cast<int32_t>(r.U32());
    c.Points = {ReadYX(r)};
    return;
  case TEXTOUT: {
    c.Op = TMetaOp::TextOut;
    const size_t length = r.U16();
    c.Text = ReadText(r, length);
    c.Points = {ReadYX(r)};
    return;
  }
  case EXTTEXTOUT: {
    c.Op = TMetaOp::TextOut;
    c.Points = {ReadYX(r)};
    const size_t length = r.U16();
    // A plain metafile's advances are x advances only, whatever the option bits say: the command
    // form keeps ETO_PDY for advances that come in x, y pairs.
    c.TextOptions = r.U16() & ~ETO_PDY;
    if (c.TextOptions & (ETO_OPAQUE | ETO_CLIPPED)) {
      const int left = r.I16(), top = r.I16(), right = r.I16(), bottom = r.I16();
      c.Box = {left, top, right, bottom};
    }
    c.Text = ReadText(r, length);
    // The advances are optional.
    if (r.Remaining() >= 2 * length)
      for (size_t i = 0; i < length; ++i)
        c.Dx.push_back(r.I16());
    return;
  }
  case PATBLT:
    c.Op = TMetaOp::PatBlt;
    c.Rop = r.U32();
    {
      const int height = r.I16(), width = r.I16();
      const TPoint at = ReadYX(r);
      c.Box = {at.X, at.Y, at.X + width, at.Y + height};
    }
    return;
  case DIBBITBLT:
  case DIBSTRETCHBLT:
  case STRETCHDIB:
  case SETDIBTODEV:
    return DecodeBlt(function, params, words, c);
  case CREATEPENINDIRECT:
  case CREATEBRUSHINDIRECT:
  case CREATEFONTINDIRECT:
  case CREATEPALETTE:
  case DIBCREATEPATTERNBRUSH:
  case CREATEPATTERNBRUSH:
  case CREATEREGION:
    return DecodeObject(function, params, c);
  case SETSTRETCHBLTMODE:
  case SETRELABS:
  case SETTEXTCHAREXTRA:
  case SETMAPPERFLAGS:
  case SETTEXTJUSTIFICATION:
  case SETLAYOUT:
  case ESCAPE:
  case SETPALENTRIES:
  case RESIZEPALETTE:
  case ANIMATEPALETTE:
    c.Op = TMetaOp::NoEffect;
    return;
  default:
    c.Op = TMetaOp::Unknown;
  }
}

void TWmfReader::DecodeObject(uint16_t function, std::span<const uint8_t> params, TMetaCommand& c) {
  TByteReader r(params, kDamagedRecord);
  switch (function) {
  case CREATEPENINDIRECT:
    c.Op = TMetaOp::CreatePen;
    c.Pen.Style = r.U16();
    c.Pen.Width = r.I16();
    r.Skip(2);
    c.Pen.Color = static_cast<TColor>(r.U32());
    break;
  case CREATEBRUSHINDIRECT:
    c.Op = TMetaOp::CreateBrush;
    c.Brush.Style = r.U16();
    c.Brush.Color = static_cast<TColor>(r.U32());
    c.Brush.Hatch = r.U16();
    break;
  case CREATEFONTINDIRECT: {
    c.Op = TMetaOp::CreateFont;
    TMetaFont& f = c.Font;
    ReadFontFields(r, f, false);
    // The face name may be cut short by the record's end.
    auto face = r.Bytes(std::min<size_t>(32, r.Remaining()));
    face = face.first(static_cast<size_t>(std::find(face.begin(), face.end(), 0) - face.begin()));
    f.Face = DecodeAnsiText(face);
    break;
  }
  case CREATEPALETTE: {
    c.Op = TMetaOp::CreatePalette;
    ReadPaletteFields(r, c.PaletteEntries);
    break;
  }
  case DIBCREATEPATTERNBRUSH:
    c.Op = TMetaOp::CreateBrush;
    c.Brush.Style = r.U16();
    c.Brush.Usage = r.U16();
    if (c.Brush.Usage == DIB_PAL_COLORS) {
      c.Op = TMetaOp::CreateOther;
      break;
    }
    SplitMetaDib(r.Bytes(r.Remaining()), c.Brush.BitmapInfo, c.Brush.Bits);
    break;
  default:
    c.Op = TMetaOp::CreateOther;
  }
  c.Handle = slots_.Allocate();
}

void TWmfReader::DecodeBlt(uint16_t function, std::span<const uint8_t> params, uint32_t words,
                           TMetaCommand& c) {
  TByteReader r(params, kDamagedRecord);
  auto destination = [&] {
    const int height = r.I16(), width = r.I16();
    const TPoint at = ReadYX(r);
    c.Box = {at.X, at.Y, at.X + width, at.Y + height};
  };
  auto bitmap = [&] { SplitMetaDib(r.Bytes(r.Remaining()), c.BitmapInfo, c.Bits); };
  c.Op = TMetaOp::Blt;
  switch (function) {
  case DIBBITBLT:
  case DIBSTRETCHBLT: {
    c.Rop = r.U32();
    const bool stretch = function == DIBSTRETCHBLT;
    int srcHeight = 0, srcWidth = 0;
    if (stretch) {
      srcHeight = r.I16();
      srcWidth = r.I16();
    }
    const TPoint src = ReadYX(r);
    // Without a bitmap the record has a reserved word and is a pattern fill.
    const bool patternOnly = words == (function >> 8) + 3u;
    if (patternOnly) {
      r.Skip(2);
      c.Op = TMetaOp::PatBlt;
      destination();
      return;
    }
    destination();
    c.BltKind = stretch ? TMetaBltKind::StretchBlt : TMetaBltKind::BitBlt;
    if (!stretch) {
      srcWidth = c.Box.Width();
      srcHeight = c.Box.Height();
    }
    c.Source = {src.X, src.Y, src.X + srcWidth, src.Y + srcHeight};
    bitmap();
    return;
  }
  case STRETCHDIB: {
    c.Rop = r.U32();
    c.Usage = r.U16();
    const int srcHeight = r.I16(), srcWidth = r.I16();
    const TPoint src = ReadYX(r);
    destination();
    c.BltKind = TMetaBltKind::StretchDIBits;
    c.Source = {src.X, src.Y, src.X + srcWidth, src.Y + srcHeight};
    break;
  }
  default: { // SETDIBTODEV
    c.Usage = r.U16();
    const int scans = r.U16();
    c.StartScan = r.U16();
    const TPoint src = ReadYX(r);
    destination();
    c.BltKind = TMetaBltKind::SetDIBitsToDevice;
    c.Counts = {scans};
    c.Source = {src.X, src.Y, src.X + c.Box.Width(), src.Y + c.Box.Height()};
    c.Rop = 0x00CC0020;
    break;
  }
  }
  // Colour tables of palette indices refer to a palette the player does not keep.
  if (c.Usage == DIB_PAL_COLORS) {
    c.Op = TMetaOp::Unknown;
    return;
  }
  bitmap();
}

} // namespace kestrel
