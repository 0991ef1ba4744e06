#include "imaging/metafile/EmfWriter.h"

#include "imaging/core/Exceptions.h"
#include "imaging/dib/PackedDib.h"
#include "imaging/metafile/EmfRecords.h"
#include "imaging/metafile/MetaFields.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kestrel {

using namespace emf;

namespace {

constexpr uint32_t kHeaderSize = 108;
constexpr int32_t kPixelsPerMm = 100;
constexpr size_t kLogFontSize = 92;
constexpr size_t kFontRecordSize = 332;

int32_t Checked(double v) {
  if (!std::isfinite(v) || v < INT32_MIN || v > INT32_MAX)
    throw EInvalidGraphic("Cannot convert the metafile: its frame is out of range");
  return static_cast<int32_t>(std::lround(v));
}

bool Fits16(const std::vector<TPoint>& points) {
  return std::all_of(points.begin(), points.end(), [](const TPoint& p) {
    return p.X >= INT16_MIN && p.X <= INT16_MAX && p.Y >= INT16_MIN && p.Y <= INT16_MAX;
  });
}

} // namespace

TEmfWriter::TEmfWriter(const TMetafileHeader& source) {
  // Device pixels of a hundredth of a millimetre.
  scale_ = kPixelsPerMm / source.UnitsPerMmX;
  const TRect bounds = {Checked(source.FrameLeft), Checked(source.FrameTop),
                        Checked(source.FrameRight), Checked(source.FrameBottom)};
  const TRect frame = {Device(source.FrameLeft), Device(source.FrameTop), Device(source.FrameRight),
                       Device(source.FrameBottom)};
  const int32_t mmWidth = std::max(1, std::abs(frame.Width()) / kPixelsPerMm + 1);
  const int32_t mmHeight = std::max(1, std::abs(frame.Height()) / kPixelsPerMm + 1);
  out_.U32(HEADER);
  out_.U32(kHeaderSize);
  Rect(frame);
  Rect(frame);
  out_.U32(kSignature);
  out_.U32(0x10000);
  out_.U32(0); // bytes, records and handles are filled in by Finish
  out_.U32(0);
  out_.U16(0);
  out_.U16(0);
  out_.U32(0);
  out_.U32(0);
  out_.U32(0);
  out_.I32(mmWidth * kPixelsPerMm);
  out_.I32(mmHeight * kPixelsPerMm);
  out_.I32(mmWidth);
  out_.I32(mmHeight);
  out_.U32(0);
  out_.U32(0);
  out_.U32(0);
  out_.I32(mmWidth * 1000);
  out_.I32(mmHeight * 1000);
  records_ = 1;
  // A plain metafile is played with its window, the bounds, mapped onto the frame.
  Record(SETMAPMODE, {MM_ANISOTROPIC});
  Record(SETWINDOWORGEX, {bounds.Left, bounds.Top});
  Record(SETWINDOWEXTEX, {bounds.Width(), bounds.Height()});
  Record(SETVIEWPORTORGEX, {frame.Left, frame.Top});
  Record(SETVIEWPORTEXTEX, {frame.Width(), frame.Height()});
}

int32_t TEmfWriter::Device(double referenceUnits) const {
  return Checked(referenceUnits * scale_);
}

void TEmfWriter::Begin(uint32_t type) {
  recordStart_ = out_.Size();
  out_.U32(type);
  out_.U32(0);
}

void TEmfWriter::End() {
  out_.Align(4);
  const size_t size = out_.Size() - recordStart_;
  if (out_.Size() > 0xFFFFFFFFu) throw EInvalidGraphic("Cannot convert the metafile: too large");
  out_.Patch32(recordStart_ + 4, static_cast<uint32_t>(size));
  ++records_;
}

void TEmfWriter::Record(uint32_t type, std::initializer_list<int32_t> values) {
  Begin(type);
  for (const int32_t v : values)
    out_.I32(v);
  End();
}

void TEmfWriter::Rect(const TRect& r) {
  out_.I32(r.Left);
  out_.I32(r.Top);
  out_.I32(r.Right);
  out_.I32(r.Bottom);
}

// Bounds of drawing records are not computed: "empty" tells readers so.
void TEmfWriter::Bounds(const std::vector<TPoint>&) {
  Rect({0, 0, -1, -1});
}

void TEmfWriter::Points(const std::vector<TPoint>& points, bool small) {
  for (const TPoint& p : points) {
    if (small) {
      out_.I16(p.X);
      out_.I16(p.Y);
    } else {
      out_.I32(p.X);
      out_.I32(p.Y);
    }
  }
}

// A bitmap's header and pixels after the fixed part of a record, each at a 4-byte boundary; the
// offsets and sizes are written at the given position of the record.
void TEmfWriter::Data(std::span<const uint8_t> info, std::span<const uint8_t> bits, size_t at) {
  const size_t length = PackedDibInfoLength(info);
  info = info.first(length ? length : info.size());
  out_.Align(4);
  const size_t infoAt = out_.Size() - recordStart_;
  out_.Append(info);
  out_.Align(4);
  const size_t bitsAt = out_.Size() - recordStart_;
  out_.Append(bits);
  out_.Patch32(recordStart_ + at, static_cast<uint32_t>(infoAt));
  out_.Patch32(recordStart_ + at + 4, static_cast<uint32_t>(info.size()));
  out_.Patch32(recordStart_ + at + 8, static_cast<uint32_t>(bitsAt));
  out_.Patch32(recordStart_ + at + 12, static_cast<uint32_t>(bits.size()));
}

void TEmfWriter::Refuse(const TMetaCommand& c) const {
  throw EInvalidGraphic(formatMessage(
      "Cannot convert the metafile: record 0x%04X has no enhanced metafile form", c.RecordType));
}

void TEmfWriter::WriteObject(const TMetaCommand& c) {
  maxHandle_ = std::max(maxHandle_, c.Handle);
  switch (c.Op) {
  case TMetaOp::CreatePen:
    return Record(CREATEPEN, {static_cast<int32_t>(c.Handle), static_cast<int32_t>(c.Pen.Style),
                              c.Pen.Width, 0, c.Pen.Color});
  case TMetaOp::CreateBrush:
    if (c.Brush.BitmapInfo.empty())
      return Record(CREATEBRUSHINDIRECT,
                    {static_cast<int32_t>(c.Handle), static_cast<int32_t>(c.Brush.Style),
                     c.Brush.Color, static_cast<int32_t>(c.Brush.Hatch)});
    Begin(c.Brush.Style == 3 ? CREATEMONOBRUSH : CREATEDIBPATTERNBRUSHPT);
    out_.U32(c.Handle);
    out_.U32(c.Brush.Usage);
    out_.Zeros(16);
    Data(c.Brush.BitmapInfo, c.Brush.Bits, 16);
    return End();
  case TMetaOp::CreateFont: {
    const TMetaFont& f = c.Font;
    Begin(EXTCREATEFONTINDIRECTW);
    out_.U32(c.Handle);
    WriteFontFields(out_, f, true);
    for (size_t i = 0; i < 32; ++i)
      out_.U16(i < 31 && i < f.Face.size() ? f.Face[i] : 0);
    out_.Zeros(kFontRecordSize - 12 - kLogFontSize);
    return End();
  }
  case TMetaOp::CreatePalette:
    Begin(CREATEPALETTE);
    out_.U32(c.Handle);
    WritePaletteFields(out_, c.PaletteEntries);
    return End();
  default:
    Refuse(c);
  }
}

void TEmfWriter::WriteText(const TMetaCommand& c) {
  constexpr uint32_t kStringOffset = 76;
  const uint32_t count = static_cast<uint32_t>(c.Text.size());
  // The reader takes x, y pairs with ETO_PDY: advances of another count are left out.
  const size_t advances = c.Text.size() * ((c.TextOptions & ETO_PDY) ? 2 : 1);
  const bool withDx = c.Dx.size() == advances && !c.Dx.empty();
  Begin(EXTTEXTOUTW);
  Rect({0, 0, -1, -1});
  out_.U32(1); // compatible graphics mode
  out_.F32(0);
  out_.F32(0);
  out_.I32(c.Points[0].X);
  out_.I32(c.Points[0].Y);
  out_.U32(count);
  out_.U32(kStringOffset);
  out_.U32(c.TextOptions);
  Rect(c.Box);
  const size_t dxField = out_.Size();
  out_.U32(0);
  for (const char16_t ch : c.Text)
    out_.U16(ch);
  out_.Align(4);
  if (withDx) {
    out_.Patch32(dxField, static_cast<uint32_t>(out_.Size() - recordStart_));
    for (const int32_t dx : c.Dx)
      out_.I32(dx);
  }
  End();
}

void TEmfWriter::WriteBlt(const TMetaCommand& c) {
  const TRect& d = c.Box;
  const TRect& s = c.Source;
  switch (c.BltKind) {
  case TMetaBltKind::BitBlt:
  case TMetaBltKind::StretchBlt: {
    const bool stretch = c.BltKind == TMetaBltKind::StretchBlt;
    Begin(stretch ? STRETCHBLT : BITBLT);
    Rect({0, 0, -1, -1});
    for (const int32_t v : {d.Left, d.Top, d.Width(), d.Height()})
      out_.I32(v);
    out_.U32(c.Rop);
    out_.I32(s.Left);
    out_.I32(s.Top);
    for (const float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f})
      out_.F32(f);
    out_.U32(0);
    out_.U32(c.Usage);
    const size_t at = out_.Size() - recordStart_;
    out_.Zeros(16);
    if (stretch) {
      out_.I32(s.Width());
      out_.I32(s.Height());
    }
    if (c.Op == TMetaOp::Blt) Data(c.BitmapInfo, c.Bits, at);
    return End();
  }
  case TMetaBltKind::StretchDIBits:
  case TMetaBltKind::SetDIBitsToDevice: {
    const bool stretch = c.BltKind == TMetaBltKind::StretchDIBits;
    Begin(stretch ? STRETCHDIBITS : SETDIBITSTODEVICE);
    Rect({0, 0, -1, -1});
    for (const int32_t v : {d.Left, d.Top, s.Left, s.Top, s.Width(), s.Height()})
      out_.I32(v);
    const size_t at = out_.Size() - recordStart_;
    out_.Zeros(16);
    out_.U32(c.Usage);
    if (stretch) {
      out_.U32(c.Rop);
      out_.I32(d.Width());
      out_.I32(d.Height());
    } else {
      out_.I32(c.StartScan);
      out_.I32(c.Counts.empty() ? 0 : c.Counts[0]);
    }
    Data(c.BitmapInfo, c.Bits, at);
    return End();
  }
  }
}

void TEmfWriter::Write(const TMetaCommand& c) {
  auto value = [&](uint32_t type) { Record(type, {c.Value}); };
  auto point = [&](uint32_t type, double scale) {
    Record(type, {Checked(c.Points[0].X * scale), Checked(c.Points[0].Y * scale)});
  };
  auto box = [&](uint32_t type) {
    Begin(type);
    Rect(c.Box);
    End();
  };
  auto points = [&](uint32_t small, uint32_t large) {
    const bool fits = Fits16(c.Points);
    Begin(fits ? small : large);
    Bounds(c.Points);
    out_.U32(static_cast<uint32_t>(c.Points.size()));
    Points(c.Points, fits);
    End();
  };
  auto polyPoints = [&](uint32_t small, uint32_t large) {
    const bool fits = Fits16(c.Points);
    Begin(fits ? small : large);
    Bounds(c.Points);
    out_.U32(static_cast<uint32_t>(c.Counts.size()));
    out_.U32(static_cast<uint32_t>(c.Points.size()));
    for (const int32_t n : c.Counts)
      out_.I32(n);
    Points(c.Points, fits);
    End();
  };
  auto arc = [&](uint32_t type) {
    Begin(type);
    Rect(c.Box);
    Points(c.Points, false);
    End();
  };
  if (const TValueRecord* record = FindValueRecord(c.Op)) {
    Begin(record->Enhanced);
    if (record->HasValue) out_.I32(c.Value);
    return End();
  }
  switch (c.Op) {
  case TMetaOp::NoEffect:
    return;
  case TMetaOp::SetWindowOrg:
    return point(SETWINDOWORGEX, 1);
  case TMetaOp::SetWindowExt:
    return point(SETWINDOWEXTEX, 1);
  // The viewport is in reference units of the plain metafile, device pixels here.
  case TMetaOp::SetViewportOrg:
    return point(SETVIEWPORTORGEX, scale_);
  case TMetaOp::SetViewportExt:
    return point(SETVIEWPORTEXTEX, scale_);
  case TMetaOp::ScaleWindowExt:
  case TMetaOp::ScaleViewportExt:
    return Record(c.Op == TMetaOp::ScaleWindowExt ? SCALEWINDOWEXTEX : SCALEVIEWPORTEXTEX,
                  {c.Points[0].X, c.Points[1].X, c.Points[0].Y, c.Points[1].Y});
  case TMetaOp::SetBkColor:
    return value(SETBKCOLOR);
  case TMetaOp::SetTextColor:
    return value(SETTEXTCOLOR);
  case TMetaOp::CreatePen:
  case TMetaOp::CreateBrush:
  case TMetaOp::CreateFont:
  case TMetaOp::CreatePalette:
  case TMetaOp::CreateOther:
    return WriteObject(c);
  case TMetaOp::SelectObject:
    return Record(SELECTOBJECT, {static_cast<int32_t>(c.Handle)});
  case TMetaOp::DeleteObject:
    return Record(DELETEOBJECT, {static_cast<int32_t>(c.Handle)});
  case TMetaOp::SelectPalette:
    return Record(SELECTPALETTE, {static_cast<int32_t>(c.Handle)});
  case TMetaOp::RealizePalette:
    return Record(REALIZEPALETTE, {});
  case TMetaOp::IntersectClipRect:
    return box(INTERSECTCLIPRECT);
  case TMetaOp::ExcludeClipRect:
    return box(EXCLUDECLIPRECT);
  case TMetaOp::MoveTo:
    return point(MOVETOEX, 1);
  case TMetaOp::LineTo:
    return point(LINETO, 1);
  case TMetaOp::Polyline:
    return points(POLYLINE16, POLYLINE);
  case TMetaOp::Polygon:
    return points(POLYGON16, POLYGON);
  case TMetaOp::PolyPolygon:
    return polyPoints(POLYPOLYGON16, POLYPOLYGON);
  case TMetaOp::Rectangle:
    return box(RECTANGLE);
  case TMetaOp::Ellipse:
    return box(ELLIPSE);
  case TMetaOp::RoundRect:
    Begin(ROUNDRECT);
    Rect(c.Box);
    Points(c.Points, false);
    return End();
  case TMetaOp::Arc:
    return arc(ARC);
  case TMetaOp::Pie:
    return arc(PIE);
  case TMetaOp::Chord:
    return arc(CHORD);
  case TMetaOp::SetPixel:
    return Record(SETPIXELV, {c.Points[0].X, c.Points[0].Y, c.Value});
  case TMetaOp::TextOut:
    return WriteText(c);
  case TMetaOp::PatBlt:
  case TMetaOp::Blt:
    return WriteBlt(c);
  default:
    Refuse(c);
  }
}

std::vector<uint8_t> TEmfWriter::Finish() {
  Begin(EOF_);
  out_.U32(0);
  out_.U32(16);
  out_.U32(20);
  End();
  out_.Patch32(48, static_cast<uint32_t>(out_.Size()));
  out_.Patch32(52, records_);
  out_.Patch16(56, std::min<uint32_t>(maxHandle_ + 1, 0xFFFF));
  return std::move(out_.Bytes());
}

} // namespace kestrel
