#include "imaging/metafile/WmfWriter.h"

#include "imaging/core/Exceptions.h"
#include "imaging/dib/PackedDib.h"
#include "imaging/metafile/MetaFields.h"
#include "imaging/metafile/MetaText.h"
#include "imaging/metafile/WmfRecords.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

using namespace wmf;

namespace {

int16_t Round16(double v) {
  if (!std::isfinite(v) || v < INT16_MIN || v > INT16_MAX)
    throw EInvalidGraphic("Cannot convert the metafile: its frame does not fit a plain metafile");
  return static_cast<int16_t>(std::lround(v));
}

bool IsIdentity(const float (&x)[6]) {
  return x[0] == 1 && x[1] == 0 && x[2] == 0 && x[3] == 1 && x[4] == 0 && x[5] == 0;
}

} // namespace

TWmfWriter::TWmfWriter(const TMetafileHeader& source) {
  // The window is the frame in device units; the bounds are the frame in units of the device's
  // horizontal resolution, so that a device whose pixels are not square keeps its proportions.
  const int left = Round16(source.FrameLeft), top = Round16(source.FrameTop);
  const int right = Round16(source.FrameRight), bottom = Round16(source.FrameBottom);
  const double ky = source.UnitsPerMmX / source.UnitsPerMmY;
  const long inch = std::lround(source.UnitsPerMmX * 25.4);
  out_.U32(kPlaceableKey);
  out_.U16(0);
  out_.I16(left);
  out_.I16(Round16(source.FrameTop * ky));
  out_.I16(right);
  out_.I16(Round16(source.FrameBottom * ky));
  out_.U16(static_cast<unsigned>(std::clamp<long>(inch, 1, 0xFFFF)));
  out_.U32(0);
  uint16_t checksum = 0;
  for (size_t i = 0; i < 20; i += 2)
    checksum ^= static_cast<uint16_t>(out_.Bytes()[i] | out_.Bytes()[i + 1] << 8);
  out_.U16(checksum);
  // The metafile header; sizes are filled in by Finish.
  out_.U16(1);
  out_.U16(kHeaderSize / 2);
  out_.U16(0x0300);
  out_.U32(0);
  out_.U16(0);
  out_.U32(0);
  out_.U16(0);
  // An enhanced metafile starts in device units: the window is the frame.
  Record(SETMAPMODE, {MM_ANISOTROPIC});
  Record(SETWINDOWORG, {top, left});
  Record(SETWINDOWEXT, {bottom - top, right - left});
}

void TWmfWriter::Begin(uint16_t function) {
  recordStart_ = out_.Size();
  out_.U32(0);
  out_.U16(function);
}

void TWmfWriter::End() {
  out_.Align(2);
  const size_t words = (out_.Size() - recordStart_) / 2;
  if (words > 0xFFFFFFFFu) throw EInvalidGraphic("Cannot convert the metafile: record too large");
  out_.Patch32(recordStart_, static_cast<uint32_t>(words));
  maxRecordWords_ = std::max(maxRecordWords_, static_cast<uint32_t>(words));
}

void TWmfWriter::Record(uint16_t function, std::initializer_list<int> words) {
  Begin(function);
  for (const int w : words)
    Coordinate(w);
  End();
}

void TWmfWriter::Coordinate(int64_t value) {
  if (value < INT16_MIN || value > 0xFFFF)
    throw EInvalidGraphic(
        "Cannot convert the metafile: a coordinate does not fit a plain metafile");
  out_.U16(static_cast<uint16_t>(value));
}

void TWmfWriter::YX(const TPoint& p) {
  Coordinate(p.Y);
  Coordinate(p.X);
}

void TWmfWriter::Box(const TRect& r) {
  Coordinate(r.Bottom);
  Coordinate(r.Right);
  Coordinate(r.Top);
  Coordinate(r.Left);
}

// Bitmap records give a size as height and width, then a position as y and x.
void TWmfWriter::Area(const TRect& r, bool withSize) {
  if (withSize) {
    Coordinate(r.Height());
    Coordinate(r.Width());
  }
  YX({r.Left, r.Top});
}

void TWmfWriter::Points(const std::vector<TPoint>& points) {
  for (const TPoint& p : points) {
    Coordinate(p.X);
    Coordinate(p.Y);
  }
}

void TWmfWriter::Dib(std::span<const uint8_t> info, std::span<const uint8_t> bits) {
  // The header and colour table run straight into the pixels.
  const size_t length = PackedDibInfoLength(info);
  out_.Append(info.first(length ? length : info.size()));
  out_.Append(bits);
}

void TWmfWriter::Refuse(const TMetaCommand& c) const {
  throw EInvalidGraphic(formatMessage(
      "Cannot convert the metafile: record type %u has no plain metafile form", c.RecordType));
}

uint16_t TWmfWriter::NewSlot(uint32_t handle) {
  const auto old = handles_.find(handle);
  if (old != handles_.end()) {
    Record(DELETEOBJECT, {old->second});
    slots_.Free(old->second + 1u);
    handles_.erase(old);
  }
  const uint32_t slot = slots_.Allocate() - 1;
  if (slot > 0xFFFF) throw EInvalidGraphic("Cannot convert the metafile: too many objects");
  maxSlots_ = std::max(maxSlots_, slot + 1);
  handles_[handle] = static_cast<uint16_t>(slot);
  return static_cast<uint16_t>(slot);
}

void TWmfWriter::Select(uint16_t function, uint32_t handle) {
  if (handle & kStockObject) {
    if (function == SELECTOBJECT) WriteStock(handle & ~kStockObject);
    return; // the default palette is what a plain metafile has anyway
  }
  const auto found = handles_.find(handle);
  if (found != handles_.end()) Record(function, {found->second});
}

// A plain metafile cannot select stock objects: each gets an object of its own, made once.
void TWmfWriter::WriteStock(uint32_t stock) {
  if (!stock_.count(stock)) {
    TMetaCommand made;
    constexpr int kGreys[] = {255, 192, 128, 64, 0};
    if (stock <= BLACK_BRUSH) {
      made.Op = TMetaOp::CreateBrush;
      made.Brush.Color = RgbColor(kGreys[stock], kGreys[stock], kGreys[stock]);
    } else if (stock == NULL_BRUSH) {
      made.Op = TMetaOp::CreateBrush;
      made.Brush.Style = 1;
    } else if (stock == WHITE_PEN || stock == BLACK_PEN || stock == NULL_PEN) {
      made.Op = TMetaOp::CreatePen;
      made.Pen.Style = stock == NULL_PEN ? 5 : 0;
      made.Pen.Color = stock == WHITE_PEN ? 0xFFFFFF : 0;
    } else if (stock >= OEM_FIXED_FONT && stock <= DEFAULT_GUI_FONT && stock != DEFAULT_PALETTE) {
      made.Op = TMetaOp::CreateFont;
    } else {
      return;
    }
    made.Handle = kStockObject | stock;
    WriteObject(made);
    stock_[stock] = handles_[made.Handle];
    handles_.erase(made.Handle);
  }
  Record(SELECTOBJECT, {stock_[stock]});
}

void TWmfWriter::WriteObject(const TMetaCommand& c) {
  switch (c.Op) {
  case TMetaOp::CreatePen:
    NewSlot(c.Handle);
    Begin(CREATEPENINDIRECT);
    out_.U16(c.Pen.Style & 0xFFFF);
    Coordinate(c.Pen.Width);
    out_.U16(0);
    out_.U32(static_cast<uint32_t>(c.Pen.Color));
    return End();
  case TMetaOp::CreateBrush:
    NewSlot(c.Handle);
    if (c.Brush.BitmapInfo.empty()) {
      Begin(CREATEBRUSHINDIRECT);
      out_.U16(c.Brush.Style);
      out_.U32(static_cast<uint32_t>(c.Brush.Color));
      out_.U16(c.Brush.Hatch);
    } else {
      Begin(DIBCREATEPATTERNBRUSH);
      out_.U16(c.Brush.Style);
      out_.U16(c.Brush.Usage);
      Dib(c.Brush.BitmapInfo, c.Brush.Bits);
    }
    return End();
  case TMetaOp::CreateFont: {
    const auto face = EncodeAnsiText(c.Font.Face);
    if (!face) Refuse(c);
    NewSlot(c.Handle);
    Begin(CREATEFONTINDIRECT);
    WriteFontFields(out_, c.Font, false);
    std::vector<uint8_t> name = *face;
    name.resize(32, 0);
    name[31] = 0;
    out_.Append(name);
    return End();
  }
  case TMetaOp::CreatePalette:
    if (c.PaletteEntries.size() > 0xFFFF) Refuse(c);
    NewSlot(c.Handle);
    Begin(CREATEPALETTE);
    WritePaletteFields(out_, c.PaletteEntries);
    return End();
  default:
    Refuse(c);
  }
}

void TWmfWriter::WriteText(const TMetaCommand& c) {
  const auto text = EncodeAnsiText(c.Text);
  const bool withDx = !c.Dx.empty();
  if (!text || text->size() > 0x7FFF || (c.TextOptions & (ETO_GLYPH_INDEX | ETO_PDY)) ||
      (withDx && c.Dx.size() != c.Text.size()))
    Refuse(c);
  Begin(EXTTEXTOUT);
  YX(c.Points[0]);
  out_.U16(static_cast<unsigned>(text->size()));
  out_.U16(c.TextOptions & 0xFFFF);
  if (c.TextOptions & (ETO_OPAQUE | ETO_CLIPPED)) {
    Coordinate(c.Box.Left);
    Coordinate(c.Box.Top);
    Coordinate(c.Box.Right);
    Coordinate(c.Box.Bottom);
  }
  out_.Append(*text);
  out_.Align(2);
  for (const int32_t dx : c.Dx)
    Coordinate(dx);
  End();
}

void TWmfWriter::WriteBlt(const TMetaCommand& c) {
  const TRect& d = c.Box;
  const TRect& s = c.Source;
  switch (c.BltKind) {
  case TMetaBltKind::BitBlt:
    Begin(DIBBITBLT);
    out_.U32(c.Rop);
    Area(s, false);
    break;
  case TMetaBltKind::StretchBlt:
    Begin(DIBSTRETCHBLT);
    out_.U32(c.Rop);
    Area(s, true);
    break;
  case TMetaBltKind::StretchDIBits:
    Begin(STRETCHDIB);
    out_.U32(c.Rop);
    out_.U16(c.Usage);
    Area(s, true);
    break;
  case TMetaBltKind::SetDIBitsToDevice:
    Begin(SETDIBTODEV);
    out_.U16(c.Usage);
    Coordinate(c.Counts.empty() ? 0 : c.Counts[0]);
    Coordinate(c.StartScan);
    Area(s, false);
    break;
  }
  Area(d, true);
  Dib(c.BitmapInfo, c.Bits);
  End();
}

void TWmfWriter::Write(const TMetaCommand& c) {
  auto point = [&](uint16_t function) {
    Begin(function);
    YX(c.Points[0]);
    End();
  };
  auto box = [&](uint16_t function) {
    Begin(function);
    Box(c.Box);
    End();
  };
  auto arc = [&](uint16_t function) {
    Begin(function);
    YX(c.Points[1]);
    YX(c.Points[0]);
    Box(c.Box);
    End();
  };
  if (const TValueRecord* record = FindValueRecord(c.Op)) {
    Begin(record->Plain);
    if (record->HasValue) Coordinate(c.Value);
    return End();
  }
  switch (c.Op) {
  case TMetaOp::NoEffect:
    return;
  case TMetaOp::SetWindowOrg:
    return point(SETWINDOWORG);
  case TMetaOp::SetWindowExt:
    return point(SETWINDOWEXT);
  case TMetaOp::SetViewportOrg:
    return point(SETVIEWPORTORG);
  case TMetaOp::SetViewportExt:
    return point(SETVIEWPORTEXT);
  case TMetaOp::OffsetWindowOrg:
    return point(OFFSETWINDOWORG);
  case TMetaOp::OffsetViewportOrg:
    return point(OFFSETVIEWPORTORG);
  case TMetaOp::ScaleWindowExt:
  case TMetaOp::ScaleViewportExt:
    return Record(c.Op == TMetaOp::ScaleWindowExt ? SCALEWINDOWEXT : SCALEVIEWPORTEXT,
                  {c.Points[1].Y, c.Points[0].Y, c.Points[1].X, c.Points[0].X});
  case TMetaOp::SetWorldTransform:
    if (IsIdentity(c.Transform)) return;
    Refuse(c);
  case TMetaOp::ModifyWorldTransform:
    if (c.Value == 1 || ((c.Value == 2 || c.Value == 3) && IsIdentity(c.Transform))) return;
    Refuse(c);
  case TMetaOp::SetBkColor:
  case TMetaOp::SetTextColor:
    Begin(c.Op == TMetaOp::SetBkColor ? SETBKCOLOR : SETTEXTCOLOR);
    out_.U32(static_cast<uint32_t>(c.Value));
    return End();
  case TMetaOp::SetArcDirection:
    if (c.Value == 1) return; // counterclockwise, the only direction of plain metafiles
    Refuse(c);
  case TMetaOp::CreatePen:
  case TMetaOp::CreateBrush:
  case TMetaOp::CreateFont:
  case TMetaOp::CreatePalette:
  case TMetaOp::CreateOther:
    return WriteObject(c);
  case TMetaOp::SelectObject:
    return Select(SELECTOBJECT, c.Handle);
  case TMetaOp::SelectPalette:
    return Select(SELECTPALETTE, c.Handle);
  case TMetaOp::DeleteObject: {
    const auto found = handles_.find(c.Handle);
    if (found == handles_.end()) return;
    Record(DELETEOBJECT, {found->second});
    slots_.Free(found->second + 1u);
    handles_.erase(found);
    return;
  }
  case TMetaOp::RealizePalette:
    return Record(REALIZEPALETTE, {});
  case TMetaOp::IntersectClipRect:
  case TMetaOp::ExcludeClipRect:
    clipped_ = true;
    return box(c.Op == TMetaOp::IntersectClipRect ? INTERSECTCLIPRECT : EXCLUDECLIPRECT);
  case TMetaOp::SetClipRegion:
    // Removing a clip that was never set changes nothing.
    if (c.Value == 5 && c.Rects.empty() && !clipped_) return;
    Refuse(c);
  case TMetaOp::MoveTo:
    return point(MOVETO);
  case TMetaOp::LineTo:
    return point(LINETO);
  case TMetaOp::PolylineTo:
    for (const TPoint& p : c.Points) {
      Begin(LINETO);
      YX(p);
      End();
    }
    return;
  case TMetaOp::Polyline:
  case TMetaOp::Polygon:
    if (c.Points.size() > 0xFFFF) Refuse(c);
    Begin(c.Op == TMetaOp::Polyline ? POLYLINE : POLYGON);
    out_.U16(static_cast<unsigned>(c.Points.size()));
    Points(c.Points);
    return End();
  case TMetaOp::PolyPolygon:
    if (c.Counts.size() > 0xFFFF) Refuse(c);
    Begin(POLYPOLYGON);
    out_.U16(static_cast<unsigned>(c.Counts.size()));
    for (const int32_t n : c.Counts)
      Coordinate(n);
    Points(c.Points);
    return End();
  case TMetaOp::PolyPolyline: {
    size_t next = 0;
    for (const int32_t n : c.Counts) {
      TMetaCommand line;
      line.Op = TMetaOp::Polyline;
      line.Points.assign(c.Points.begin() + static_cast<ptrdiff_t>(next),
                         c.Points.begin() + static_cast<ptrdiff_t>(next + static_cast<size_t>(n)));
      next += static_cast<size_t>(n);
      Write(line);
    }
    return;
  }
  case TMetaOp::Rectangle:
    return box(RECTANGLE);
  case TMetaOp::Ellipse:
    return box(ELLIPSE);
  case TMetaOp::RoundRect:
    Begin(ROUNDRECT);
    Coordinate(c.Points[0].Y);
    Coordinate(c.Points[0].X);
    Box(c.Box);
    return End();
  case TMetaOp::Arc:
    return arc(ARC);
  case TMetaOp::Pie:
    return arc(PIE);
  case TMetaOp::Chord:
    return arc(CHORD);
  case TMetaOp::SetPixel:
    Begin(SETPIXEL);
    out_.U32(static_cast<uint32_t>(c.Value));
    YX(c.Points[0]);
    return End();
  case TMetaOp::TextOut:
    return WriteText(c);
  case TMetaOp::PatBlt:
    Begin(PATBLT);
    out_.U32(c.Rop);
    Area(c.Box, true);
    return End();
  case TMetaOp::Blt:
    return WriteBlt(c);
  default:
    Refuse(c);
  }
}

std::vector<uint8_t> TWmfWriter::Finish() {
  Record(EOF_, {});
  // The metafile header follows the placeable header.
  const size_t header = kPlaceableSize;
  const size_t words = (out_.Size() - header) / 2;
  if (words > 0xFFFFFFFFu) throw EInvalidGraphic("Cannot convert the metafile: too large");
  out_.Patch32(header + 6, static_cast<uint32_t>(words));
  out_.Patch16(header + 10, std::min<uint32_t>(maxSlots_, 0xFFFF));
  out_.Patch32(header + 12, maxRecordWords_);
  return std::move(out_.Bytes());
}

} // namespace kestrel
