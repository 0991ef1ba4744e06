#include "imaging/metafile/MetafilePlayer.h"

#include "imaging/core/Exceptions.h"
#include "imaging/dib/PackedDib.h"
#include "imaging/metafile/MetaStyles.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrel {

namespace {

// Device coordinates are kept within this range so that far-off geometry stays finite for the
// rasterizer; it lies far outside any picture.
constexpr double kCoordinateLimit = 1 << 24;
constexpr double kMaxPenWidth = 1 << 16;
constexpr int kMaxFontPixels = 1 << 14;
constexpr int kDefaultFontPixels = 12;
constexpr size_t kMaxTextLength = 4096;
// Text larger than this is filled as outlines: Qt keeps smaller glyphs as images, and images of
// huge glyphs (colour fonts are kept at any size) would take huge memory.
constexpr int kMaxImageTextPixels = 64;

enum { PS_NULL = 5, R2_NOP = 11, R2_COPYPEN = 13, OPAQUE = 2 };
enum : uint32_t { TA_UPDATECP = 1, TA_HMASK = 6, TA_RIGHT = 2, TA_CENTER = 6 };
enum : uint32_t { TA_VMASK = 24, TA_BOTTOM = 8, TA_BASELINE = 24 };

// The nearest whole pixel. Values are first taken to a fine grid, so that the tiny errors of a
// long chain of mappings do not move a value that lies halfway between two pixels.
double Snap(double v) {
  constexpr double kGrid = 1 << 12;
  return std::round(std::round(v * kGrid) / kGrid);
}

int FontPixels(double pixels) {
  if (!std::isfinite(pixels)) return 1;
  return static_cast<int>(std::clamp(Snap(pixels), 1.0, double(kMaxFontPixels)));
}

// Shapes mapped farther out lie far outside any picture and would only keep the rasterizer busy
// (curves are cut into pieces by their size).
bool WithinLimits(const QPainterPath& shape) {
  const QRectF extent = shape.controlPointRect();
  for (const double v : {extent.left(), extent.top(), extent.right(), extent.bottom()})
    if (!std::isfinite(v) || std::abs(v) > kCoordinateLimit) return false;
  return true;
}

bool HasGuiApplication() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

bool Invertible(const QTransform& t) {
  return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
         std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy()) &&
         t.determinant() != 0 && std::isfinite(t.determinant());
}

std::shared_ptr<QImage> DecodePattern(const TMetaBrush& brush) {
  try {
    TBitmap bitmap;
    ReadPackedDib(brush.BitmapInfo, brush.Bits, bitmap);
    return std::make_shared<QImage>(bitmap.Image().convertToFormat(QImage::Format_RGB32));
  } catch (const Exception&) {
    return nullptr; // drawn with the brush's colour instead
  }
}

bool BottomUpDib(std::span<const uint8_t> info) {
  if (info.size() < 12 || info[0] < 40) return true;
  const int32_t height = static_cast<int32_t>(info[8] | info[9] << 8 | info[10] << 16 |
                                              static_cast<uint32_t>(info[11]) << 24);
  return height > 0;
}

} // namespace

struct TMetafilePlayer::TObject {
  TMetaOp Kind = TMetaOp::CreateOther;
  TMetaPen Pen;
  TMetaBrush Brush;
  std::shared_ptr<QImage> Pattern;
  TMetaFont Font;
};

TMetafilePlayer::TMetafilePlayer(QPainter& painter, const TMetafileHeader& header,
                                 const QRectF& dest)
    : p_(painter), header_(header), dest_(dest.normalized()) {
  const double fw = header.FrameRight - header.FrameLeft;
  const double fh = header.FrameBottom - header.FrameTop;
  drawable_ = fw != 0 && fh != 0 && std::isfinite(fw) && std::isfinite(fh) && !dest_.isEmpty();
  if (drawable_) {
    const double sx = dest_.width() / fw, sy = dest_.height() / fh;
    frame_ = QTransform(sx, 0, 0, sy, dest_.left() - header.FrameLeft * sx,
                        dest_.top() - header.FrameTop * sy);
  }
  // A plain metafile is played as its window (the frame) mapped onto the destination; an
  // enhanced one starts in device units of its reference device.
  if (!header.Enhanced && drawable_) {
    s_.MapMode = MM_ANISOTROPIC;
    s_.WindowOrg = s_.ViewportOrg = QPointF(header.FrameLeft, header.FrameTop);
    s_.WindowExt = s_.ViewportExt = QPointF(fw, fh);
  }
  s_.Brush.Color = 0xFFFFFF;
  s_.Clip = QRegion(dest_.toAlignedRect());
  p_.save();
  p_.setRenderHint(QPainter::Antialiasing, false);
  ApplyClip();
  UpdateTransform();
}

TMetafilePlayer::~TMetafilePlayer() {
  p_.restore();
}

void TMetafilePlayer::Play(const TMetaCommand& c) {
  switch (c.Op) {
  case TMetaOp::Unknown:
  case TMetaOp::NoEffect:
    return;
  case TMetaOp::SetMapMode:
  case TMetaOp::SetWindowOrg:
  case TMetaOp::SetWindowExt:
  case TMetaOp::SetViewportOrg:
  case TMetaOp::SetViewportExt:
  case TMetaOp::OffsetWindowOrg:
  case TMetaOp::OffsetViewportOrg:
  case TMetaOp::ScaleWindowExt:
  case TMetaOp::ScaleViewportExt:
  case TMetaOp::SetWorldTransform:
  case TMetaOp::ModifyWorldTransform:
    return PlayMapping(c);
  case TMetaOp::SetBkMode:
  case TMetaOp::SetBkColor:
  case TMetaOp::SetTextColor:
  case TMetaOp::SetTextAlign:
  case TMetaOp::SetPolyFillMode:
  case TMetaOp::SetRop2:
  case TMetaOp::SetArcDirection:
  case TMetaOp::SaveDC:
  case TMetaOp::RestoreDC:
    return PlayState(c);
  case TMetaOp::CreatePen:
  case TMetaOp::CreateBrush:
  case TMetaOp::CreateFont:
  case TMetaOp::CreatePalette:
  case TMetaOp::CreateOther:
  case TMetaOp::SelectObject:
  case TMetaOp::DeleteObject:
  case TMetaOp::SelectPalette:
  case TMetaOp::RealizePalette:
    return PlayObject(c);
  case TMetaOp::IntersectClipRect:
  case TMetaOp::ExcludeClipRect:
  case TMetaOp::SetClipRegion:
  case TMetaOp::SelectClipPath:
    return PlayClip(c);
  case TMetaOp::BeginPath:
  case TMetaOp::EndPath:
  case TMetaOp::AbortPath:
  case TMetaOp::CloseFigure:
  case TMetaOp::FillPath:
  case TMetaOp::StrokePath:
  case TMetaOp::StrokeAndFillPath:
    return PlayPath(c);
  case TMetaOp::TextOut:
    return PlayText(c);
  case TMetaOp::PatBlt:
    return PlayPatBlt(c);
  case TMetaOp::Blt:
    return PlayBlt(c);
  default:
    return PlayDrawing(c);
  }
}

void TMetafilePlayer::PlayMapping(const TMetaCommand& c) {
  const QPointF pt = c.Points.empty() ? QPointF() : QPointF(c.Points[0].X, c.Points[0].Y);
  auto extent = [&](QPointF& ext) {
    if (pt.x() != 0 && pt.y() != 0) ext = pt;
  };
  auto scale = [&](QPointF& ext) {
    const TPoint num = c.Points[0], denom = c.Points[1];
    if (num.X == 0 || num.Y == 0 || denom.X == 0 || denom.Y == 0) return;
    ext = QPointF(ext.x() * num.X / denom.X, ext.y() * num.Y / denom.Y);
  };
  const QTransform x(c.Transform[0], c.Transform[1], c.Transform[2], c.Transform[3], c.Transform[4],
                     c.Transform[5]);
  switch (c.Op) {
  case TMetaOp::SetMapMode:
    if (c.Value >= MM_TEXT && c.Value <= MM_ANISOTROPIC) s_.MapMode = c.Value;
    break;
  case TMetaOp::SetWindowOrg:
    s_.WindowOrg = pt;
    break;
  case TMetaOp::SetViewportOrg:
    s_.ViewportOrg = pt;
    break;
  case TMetaOp::SetWindowExt:
    extent(s_.WindowExt);
    break;
  case TMetaOp::SetViewportExt:
    extent(s_.ViewportExt);
    break;
  case TMetaOp::OffsetWindowOrg:
    s_.WindowOrg += pt;
    break;
  case TMetaOp::OffsetViewportOrg:
    s_.ViewportOrg += pt;
    break;
  case TMetaOp::ScaleWindowExt:
    scale(s_.WindowExt);
    break;
  case TMetaOp::ScaleViewportExt:
    scale(s_.ViewportExt);
    break;
  case TMetaOp::SetWorldTransform:
    if (Invertible(x)) s_.World = x;
    break;
  default: { // ModifyWorldTransform
    QTransform world = s_.World;
    switch (c.Value) {
    case 1:
      world = QTransform();
      break;
    case 2:
      world = x * world;
      break;
    case 3:
      world = world * x;
      break;
    case 4:
      world = x;
      break;
    default:
      return;
    }
    if (Invertible(world)) s_.World = world;
  }
  }
  UpdateTransform();
}

void TMetafilePlayer::UpdateTransform() {
  double sx = 1, sy = 1;
  auto fixed = [&](double mmPerUnit) {
    sx = header_.UnitsPerMmX * mmPerUnit;
    sy = -header_.UnitsPerMmY * mmPerUnit; // the y axis points up
  };
  switch (s_.MapMode) {
  case MM_LOMETRIC:
    fixed(0.1);
    break;
  case MM_HIMETRIC:
    fixed(0.01);
    break;
  case MM_LOENGLISH:
    fixed(0.254);
    break;
  case MM_HIENGLISH:
    fixed(0.0254);
    break;
  case MM_TWIPS:
    fixed(25.4 / 1440);
    break;
  case MM_ISOTROPIC:
  case MM_ANISOTROPIC:
    sx = s_.ViewportExt.x() / s_.WindowExt.x();
    sy = s_.ViewportExt.y() / s_.WindowExt.y();
    if (s_.MapMode == MM_ISOTROPIC) {
      const double m = std::min(std::abs(sx), std::abs(sy));
      sx = std::copysign(m, sx);
      sy = std::copysign(m, sy);
    }
    break;
  default:
    break;
  }
  const QTransform page(sx, 0, 0, sy, s_.ViewportOrg.x() - s_.WindowOrg.x() * sx,
                        s_.ViewportOrg.y() - s_.WindowOrg.y() * sy);
  t_ = s_.World * page * frame_;
}

QPointF TMetafilePlayer::Map(const QPointF& p) const {
  const QPointF d = t_.map(p);
  auto snap = [](double v) {
    return std::isfinite(v) ? Snap(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)) : 0.0;
  };
  return {snap(d.x()), snap(d.y())};
}

QPointF TMetafilePlayer::Map(const TPoint& p) const {
  return Map(QPointF(p.X, p.Y));
}

QRectF TMetafilePlayer::DeviceRect(const TRect& box) const {
  const QPointF a = Map(TPoint{box.Left, box.Top}), b = Map(TPoint{box.Right, box.Bottom});
  return QRectF(a, b).normalized();
}

bool TMetafilePlayer::AxisAligned() const {
  return t_.m12() == 0 && t_.m21() == 0;
}

QPainterPath TMetafilePlayer::ArcShape(const TMetaCommand& c, const QRectF& rect, QPointF start,
                                       QPointF end) const {
  QPainterPath path;
  const double rx = rect.width() / 2, ry = rect.height() / 2;
  if (rx <= 0 || ry <= 0) return path;
  const QPointF centre = rect.center();
  // The radial lines through the given points meet the ellipse at these parametric angles.
  auto angle = [&](QPointF p) {
    return std::atan2(-(p.y() - centre.y()) / ry, (p.x() - centre.x()) / rx) * 180 /
           std::numbers::pi;
  };
  const double a0 = angle(start), a1 = angle(end);
  double sweep = a1 - a0;
  if (s_.ArcDirection == 2) {
    while (sweep >= 0)
      sweep -= 360;
  } else {
    while (sweep <= 0)
      sweep += 360;
  }
  switch (c.Op) {
  case TMetaOp::Pie:
    path.moveTo(centre);
    path.arcTo(rect, a0, sweep);
    path.closeSubpath();
    break;
  case TMetaOp::Chord:
    path.arcMoveTo(rect, a0);
    path.arcTo(rect, a0, sweep);
    path.closeSubpath();
    break;
  default:
    path.arcMoveTo(rect, a0);
    path.arcTo(rect, a0, sweep);
  }
  return path;
}

QPainterPath TMetafilePlayer::BoxShape(const TMetaCommand& c, bool thin) const {
  QPainterPath path;
  QRectF rect;
  QPointF start, end;
  QTransform after;
  if (AxisAligned()) {
    // Right and bottom edges are outside: a thin outline runs through the last pixels inside.
    const QRectF r = DeviceRect(c.Box);
    if (r.isEmpty()) return path;
    rect = thin ? r.adjusted(0, 0, -1, -1) : r.adjusted(0.5, 0.5, -0.5, -0.5);
    if (c.Points.size() >= 2) {
      start = Map(c.Points[0]);
      end = Map(c.Points[1]);
    }
  } else {
    // Shapes under a rotating or shearing transform are built in logical units and mapped.
    rect = QRectF(QPointF(c.Box.Left, c.Box.Top), QPointF(c.Box.Right, c.Box.Bottom)).normalized();
    if (c.Points.size() >= 2) {
      start = QPointF(c.Points[0].X, c.Points[0].Y);
      end = QPointF(c.Points[1].X, c.Points[1].Y);
    }
    after = t_;
  }
  switch (c.Op) {
  case TMetaOp::Rectangle:
    path.addRect(rect);
    break;
  case TMetaOp::RoundRect: {
    const QPointF corner = c.Points.empty() ? QPointF() : QPointF(c.Points[0].X, c.Points[0].Y);
    const double cw = AxisAligned() ? std::abs(corner.x() * t_.m11()) : std::abs(corner.x());
    const double ch = AxisAligned() ? std::abs(corner.y() * t_.m22()) : std::abs(corner.y());
    path.addRoundedRect(rect, std::min(cw / 2, rect.width() / 2),
                        std::min(ch / 2, rect.height() / 2));
    break;
  }
  case TMetaOp::Ellipse:
    path.addEllipse(rect);
    break;
  default:
    path = ArcShape(c, rect, start, end);
  }
  return after.isIdentity() ? path : after.map(path);
}

QPainterPath TMetafilePlayer::PolyShape(const std::vector<TPoint>& points,
                                        const std::vector<int32_t>& counts, bool closed) const {
  QPainterPath path;
  path.setFillRule(s_.PolyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
  size_t next = 0;
  auto figure = [&](size_t count) {
    count = std::min(count, points.size() - next);
    for (size_t i = 0; i < count; ++i) {
      const QPointF p = Map(points[next + i]);
      if (i == 0)
        path.moveTo(p);
      else
        path.lineTo(p);
    }
    if (closed && count > 0) path.closeSubpath();
    next += count;
  };
  if (counts.empty()) figure(points.size());
  for (const int32_t count : counts)
    figure(static_cast<size_t>(std::max(0, count)));
  return path;
}

double TMetafilePlayer::PenWidth() const {
  return std::min(kMaxPenWidth, s_.Pen.Width * std::sqrt(std::abs(t_.determinant())));
}

bool TMetafilePlayer::ThinPen() const {
  return PenWidth() <= 1.5;
}

void TMetafilePlayer::ApplyRop() {
  p_.setCompositionMode(Rop2Mode(s_.Rop2));
}

void TMetafilePlayer::Emit(const QPainterPath& shape, bool fill, bool stroke) {
  if (!WithinLimits(shape)) return;
  if (inPath_) {
    path_.addPath(shape);
    return;
  }
  if (fill) Fill(shape);
  if (stroke) Stroke(shape);
}

void TMetafilePlayer::Fill(const QPainterPath& shape) {
  const TMetaBrush& b = s_.Brush;
  if (!drawable_ || b.Style == 1 || s_.Rop2 == R2_NOP || s_.Clip.isEmpty()) return;
  ApplyRop();
  if (b.Style == 2) {
    if (s_.BkMode == OPAQUE) p_.fillPath(shape, ColorOf(s_.BkColor));
    p_.fillPath(shape, QBrush(ColorOf(b.Color), HatchStyle(b.Hatch)));
  } else if ((b.Style == 3 || b.Style == 5 || b.Style == 6) && s_.BrushPattern) {
    p_.fillPath(shape, QBrush(*s_.BrushPattern));
  } else {
    p_.fillPath(shape, ColorOf(b.Color));
  }
}

void TMetafilePlayer::Stroke(const QPainterPath& shape) {
  const uint32_t style = s_.Pen.Style & 0xF;
  if (!drawable_ || style == PS_NULL || s_.Rop2 == R2_NOP || s_.Clip.isEmpty()) return;
  ApplyRop();
  QPen pen(ColorOf(s_.Pen.Color));
  const QList<qreal> dashes = DashPattern(style);
  if (ThinPen()) {
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    if (!dashes.isEmpty()) {
      // The gaps of a broken line take the background colour when the background is opaque.
      if (s_.BkMode == OPAQUE) {
        QPen gaps = pen;
        gaps.setColor(ColorOf(s_.BkColor));
        p_.strokePath(shape, gaps);
      }
      pen.setDashPattern(dashes);
    }
  } else {
    // Wide pens are drawn solid, with the end caps and joins their style asks for.
    pen.setWidthF(PenWidth());
    const uint32_t cap = s_.Pen.Style & 0x0F00, join = s_.Pen.Style & 0xF000;
    pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(join == 0x1000   ? Qt::BevelJoin
                     : join == 0x2000 ? Qt::MiterJoin
                                      : Qt::RoundJoin);
  }
  p_.strokePath(shape, pen);
}

void TMetafilePlayer::PlayDrawing(const TMetaCommand& c) {
  switch (c.Op) {
  case TMetaOp::Rectangle:
  case TMetaOp::RoundRect:
  case TMetaOp::Ellipse:
  case TMetaOp::Pie:
  case TMetaOp::Chord:
    return Emit(BoxShape(c, ThinPen()), true, true);
  case TMetaOp::Arc:
    return Emit(BoxShape(c, ThinPen()), false, true);
  case TMetaOp::ArcTo: {
    const QPainterPath arc = BoxShape(c, ThinPen());
    if (arc.isEmpty() || !WithinLimits(arc)) return;
    QPainterPath shape;
    shape.moveTo(Map(s_.Position));
    shape.lineTo(arc.elementAt(0));
    shape.addPath(arc);
    Emit(shape, false, true);
    s_.Position = t_.inverted().map(arc.currentPosition());
    return;
  }
  case TMetaOp::SetPixel:
    if (!drawable_ || s_.Clip.isEmpty() || c.Points.empty()) return;
    p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p_.fillRect(QRectF(Map(c.Points[0]), QSizeF(1, 1)), ColorOf(c.Value));
    return;
  default:
    return PlayLines(c);
  }
}

void TMetafilePlayer::PlayLines(const TMetaCommand& c) {
  const std::vector<TPoint>& pts = c.Points;
  // Figures that go on from the current position continue the path's figure.
  auto from = [&](QPainterPath& path) {
    const QPointF here = Map(s_.Position);
    if (inPath_) {
      if (path_.elementCount() == 0 || path_.currentPosition() != here) path_.moveTo(here);
      return;
    }
    path.moveTo(here);
  };
  auto finish = [&](QPainterPath& path) {
    if (!inPath_) Stroke(path);
    if (!pts.empty()) s_.Position = QPointF(pts.back().X, pts.back().Y);
  };
  QPainterPath path;
  QPainterPath& target = inPath_ ? path_ : path;
  switch (c.Op) {
  case TMetaOp::MoveTo:
    if (pts.empty()) return;
    s_.Position = QPointF(pts[0].X, pts[0].Y);
    if (inPath_) path_.moveTo(Map(pts[0]));
    return;
  case TMetaOp::LineTo:
  case TMetaOp::PolylineTo:
    from(path);
    for (const TPoint& p : pts)
      target.lineTo(Map(p));
    return finish(path);
  case TMetaOp::PolyBezierTo:
    from(path);
    for (size_t i = 0; i + 2 < pts.size(); i += 3)
      target.cubicTo(Map(pts[i]), Map(pts[i + 1]), Map(pts[i + 2]));
    return finish(path);
  case TMetaOp::PolyBezier:
    if (pts.empty()) return;
    path.moveTo(Map(pts[0]));
    for (size_t i = 1; i + 2 < pts.size(); i += 3)
      path.cubicTo(Map(pts[i]), Map(pts[i + 1]), Map(pts[i + 2]));
    return Emit(path, false, true);
  case TMetaOp::Polyline:
    return Emit(PolyShape(pts, {}, false), false, true);
  case TMetaOp::Polygon:
    return Emit(PolyShape(pts, {}, true), true, true);
  case TMetaOp::PolyPolygon:
    return Emit(PolyShape(pts, c.Counts, true), true, true);
  case TMetaOp::PolyPolyline:
    return Emit(PolyShape(pts, c.Counts, false), false, true);
  default:
    return;
  }
}

void TMetafilePlayer::PlayState(const TMetaCommand& c) {
  switch (c.Op) {
  case TMetaOp::SetBkMode:
    if (c.Value == 1 || c.Value == 2) s_.BkMode = c.Value;
    return;
  case TMetaOp::SetBkColor:
    s_.BkColor = c.Value;
    return;
  case TMetaOp::SetTextColor:
    s_.TextColor = c.Value;
    return;
  case TMetaOp::SetTextAlign:
    s_.TextAlign = static_cast<uint32_t>(c.Value);
    return;
  case TMetaOp::SetPolyFillMode:
    if (c.Value == 1 || c.Value == 2) s_.PolyFillMode = c.Value;
    return;
  case TMetaOp::SetRop2:
    if (c.Value >= 1 && c.Value <= 16) s_.Rop2 = c.Value;
    return;
  case TMetaOp::SetArcDirection:
    if (c.Value == 1 || c.Value == 2) s_.ArcDirection = c.Value;
    return;
  case TMetaOp::SaveDC:
    saved_.push_back(s_);
    return;
  default: { // RestoreDC: a negative count goes back from the last saved state
    const int64_t n = c.Value;
    const int64_t index = n < 0 ? static_cast<int64_t>(saved_.size()) + n : n - 1;
    if (n == 0 || index < 0 || index >= static_cast<int64_t>(saved_.size())) return;
    s_ = saved_[static_cast<size_t>(index)];
    saved_.resize(static_cast<size_t>(index));
    UpdateTransform();
    ApplyClip();
  }
  }
}

void TMetafilePlayer::PlayObject(const TMetaCommand& c) {
  switch (c.Op) {
  case TMetaOp::SelectObject:
    return Select(c.Handle);
  case TMetaOp::DeleteObject:
    objects_.erase(c.Handle);
    return;
  case TMetaOp::SelectPalette:
  case TMetaOp::RealizePalette:
    return; // palettes are not realized on a true-colour surface
  default: {
    auto object = std::make_unique<TObject>();
    object->Kind = c.Op;
    object->Pen = c.Pen;
    object->Brush = c.Brush;
    object->Font = c.Font;
    objects_[c.Handle] = std::move(object);
  }
  }
}

void TMetafilePlayer::Select(uint32_t handle) {
  if (handle & kStockObject) {
    const uint32_t stock = handle & ~kStockObject;
    constexpr int kGreys[] = {255, 192, 128, 64, 0};
    if (stock <= BLACK_BRUSH) {
      s_.Brush = {0, RgbColor(kGreys[stock], kGreys[stock], kGreys[stock]), 0, 0, {}, {}};
      s_.BrushPattern.reset();
    } else if (stock == NULL_BRUSH) {
      s_.Brush = {1, 0, 0, 0, {}, {}};
    } else if (stock == WHITE_PEN || stock == BLACK_PEN || stock == NULL_PEN) {
      s_.Pen = {stock == NULL_PEN ? 5u : 0u, 0, stock == WHITE_PEN ? 0xFFFFFF : 0};
    } else if (stock >= OEM_FIXED_FONT && stock != DEFAULT_PALETTE && stock <= DEFAULT_GUI_FONT) {
      s_.Font = TMetaFont();
    }
    return;
  }
  const auto found = objects_.find(handle);
  if (found == objects_.end()) return;
  TObject& object = *found->second;
  switch (object.Kind) {
  case TMetaOp::CreatePen:
    s_.Pen = object.Pen;
    break;
  case TMetaOp::CreateBrush:
    s_.Brush = object.Brush;
    if (!object.Brush.BitmapInfo.empty() && !object.Pattern)
      object.Pattern = DecodePattern(object.Brush);
    s_.BrushPattern = object.Pattern;
    break;
  case TMetaOp::CreateFont:
    s_.Font = object.Font;
    break;
  default:
    break;
  }
}

void TMetafilePlayer::ApplyClip() {
  p_.setClipRegion(s_.Clip);
}

void TMetafilePlayer::SetClip(const QRegion& region) {
  s_.Clip = region & QRegion(dest_.toAlignedRect());
  ApplyClip();
}

void TMetafilePlayer::PlayClip(const TMetaCommand& c) {
  if (!drawable_) return;
  const QRect whole = dest_.toAlignedRect();
  // Far-off rectangles are cut to the picture before they become whole pixels.
  auto pixels = [&](const QRectF& r) {
    const QRectF cut = r.intersected(QRectF(whole).adjusted(-1, -1, 1, 1));
    return QRect(QPoint(qRound(cut.left()), qRound(cut.top())),
                 QPoint(qRound(cut.right()) - 1, qRound(cut.bottom()) - 1));
  };
  auto combine = [&](const QRegion& region, int mode) {
    switch (mode) {
    case 1:
      return s_.Clip & region;
    case 2:
      return s_.Clip | region;
    case 3:
      return s_.Clip ^ region;
    case 4:
      return s_.Clip - region;
    default:
      return region;
    }
  };
  switch (c.Op) {
  case TMetaOp::IntersectClipRect:
  case TMetaOp::ExcludeClipRect: {
    const QRectF r =
        AxisAligned()
            ? DeviceRect(c.Box)
            : t_.mapRect(QRectF(QPointF(c.Box.Left, c.Box.Top), QPointF(c.Box.Right, c.Box.Bottom))
                             .normalized());
    return SetClip(combine(QRegion(pixels(r)), c.Op == TMetaOp::IntersectClipRect ? 1 : 4));
  }
  case TMetaOp::SetClipRegion: {
    if (c.Rects.empty()) {
      if (c.Value == 5) SetClip(QRegion(whole));
      return;
    }
    QRegion region;
    for (const TRect& r : c.Rects)
      region |= pixels(
          frame_.mapRect(QRectF(QPointF(r.Left, r.Top), QPointF(r.Right, r.Bottom)).normalized()));
    return SetClip(combine(region, c.Value));
  }
  default: { // SelectClipPath; without a path nothing changes
    if (path_.isEmpty()) return;
    QRegion region(path_.toFillPolygon().toPolygon(), path_.fillRule());
    path_ = QPainterPath();
    return SetClip(combine(region, c.Value));
  }
  }
}

void TMetafilePlayer::PlayPath(const TMetaCommand& c) {
  switch (c.Op) {
  case TMetaOp::BeginPath:
    inPath_ = true;
    path_ = QPainterPath();
    return;
  case TMetaOp::EndPath:
    inPath_ = false;
    return;
  case TMetaOp::AbortPath:
    inPath_ = false;
    path_ = QPainterPath();
    return;
  case TMetaOp::CloseFigure:
    if (inPath_) path_.closeSubpath();
    return;
  default: {
    if (inPath_) return;
    QPainterPath shape = path_;
    path_ = QPainterPath();
    shape.setFillRule(s_.PolyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    if (c.Op != TMetaOp::StrokePath) Fill(shape);
    if (c.Op != TMetaOp::FillPath) Stroke(shape);
  }
  }
}

void TMetafilePlayer::PlayPatBlt(const TMetaCommand& c) {
  if (!drawable_ || s_.Clip.isEmpty()) return;
  QPainterPath shape;
  shape.addRect(DeviceRect(c.Box));
  const uint32_t code = c.Rop >> 16 & 0xFF;
  if (code == 0x00 || code == 0xFF || code == 0x55) {
    p_.setCompositionMode(code == 0x55 ? QPainter::RasterOp_NotDestination
                                       : QPainter::CompositionMode_SourceOver);
    p_.fillPath(shape, code == 0xFF ? Qt::white : Qt::black);
    return;
  }
  const int rop2 = s_.Rop2;
  s_.Rop2 = code == 0x5A ? 7 : R2_COPYPEN; // pattern XOR destination, or the pattern
  Fill(shape);
  s_.Rop2 = rop2;
}

void TMetafilePlayer::PlayBlt(const TMetaCommand& c) {
  if (PatternOnly(c.Rop)) return PlayPatBlt(c);
  if (!drawable_ || s_.Clip.isEmpty() || inPath_) return;
  TBitmap bitmap;
  try {
    ReadPackedDib(c.BitmapInfo, c.Bits, bitmap);
  } catch (const Exception&) {
    return; // a bitmap we cannot read is left out
  }
  const QImage image = bitmap.Image().convertToFormat(QImage::Format_RGB32);
  QRectF source =
      QRectF(QPointF(c.Source.Left, c.Source.Top), QPointF(c.Source.Right, c.Source.Bottom));
  // Device-independent copies count their source rows from the bottom of a bottom-up bitmap.
  const bool fromBottom =
      c.BltKind == TMetaBltKind::StretchDIBits || c.BltKind == TMetaBltKind::SetDIBitsToDevice;
  if (fromBottom && BottomUpDib(c.BitmapInfo))
    source.moveTop(double(image.height()) - c.Source.Top - source.height());
  const QPointF a = Map(TPoint{c.Box.Left, c.Box.Top});
  const QPointF b = Map(TPoint{c.Box.Right, c.Box.Bottom});
  if (source.width() == 0 || source.height() == 0 || a.x() == b.x() || a.y() == b.y()) return;
  // A source given backwards mirrors the copy, as a destination given backwards does.
  const double sx = (b.x() - a.x()) / source.width(), sy = (b.y() - a.y()) / source.height();
  source = source.normalized();
  QPointF origin = a;
  if (c.Source.Right < c.Source.Left) origin.setX(b.x());
  if (c.Source.Bottom < c.Source.Top) origin.setY(b.y());
  p_.save();
  p_.setCompositionMode(BltMode(c.Rop));
  p_.translate(origin);
  p_.scale(sx, sy);
  p_.drawImage(QPointF(0, 0), image, source);
  p_.restore();
}

void TMetafilePlayer::PlayText(const TMetaCommand& c) {
  if (!drawable_ || s_.Clip.isEmpty() || c.Text.empty() || !HasGuiApplication() || inPath_) return;
  // Far more than a line of text; a damaged record must not keep the painter busy for long.
  if (c.Text.size() > kMaxTextLength) return;
  const TMetaFont& f = s_.Font;
  const double scaleX = QLineF(t_.map(QPointF(0, 0)), t_.map(QPointF(1, 0))).length();
  const double scaleY = QLineF(t_.map(QPointF(0, 0)), t_.map(QPointF(0, 1))).length();
  const double pixels = f.Height == 0 ? kDefaultFontPixels : std::abs(f.Height) * scaleY;
  QFont font(f.Face.empty() ? QString() : QString::fromStdU16String(f.Face));
  font.setPixelSize(FontPixels(pixels));
  if (f.Weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(f.Weight, 1, 1000)));
  font.setItalic(f.Italic);
  font.setUnderline(f.Underline);
  font.setStrikeOut(f.StrikeOut);
  font.setStyleStrategy(QFont::NoAntialias);
  // A positive height is the character cell's, a negative one the characters' own.
  if (f.Height > 0) {
    const QFontMetricsF probe(font);
    const double cell = probe.ascent() + probe.descent();
    if (cell > 0) font.setPixelSize(FontPixels(pixels * pixels / cell));
  }
  const QFontMetricsF metrics(font);
  const QString text = QString::fromStdU16String(c.Text);
  const bool glyphs = c.TextOptions & ETO_GLYPH_INDEX;

  // Advances: the record's own (logical units), else the font's.
  std::vector<double> offsets;
  double width = 0;
  const size_t step = (c.TextOptions & ETO_PDY) ? 2 : 1;
  if (c.Dx.size() >= step * c.Text.size()) {
    for (size_t i = 0; i < c.Text.size(); ++i) {
      offsets.push_back(Snap(width));
      width += c.Dx[i * step] * scaleX;
    }
  } else if (!glyphs) {
    width = metrics.horizontalAdvance(text);
  }

  const bool updateCp = s_.TextAlign & TA_UPDATECP;
  const QPointF reference = updateCp ? Map(s_.Position) : Map(c.Points[0]);
  const uint32_t h = s_.TextAlign & TA_HMASK, v = s_.TextAlign & TA_VMASK;
  const double x0 = h == TA_RIGHT ? -width : h == TA_CENTER ? -width / 2 : 0;
  const double base = v == TA_BASELINE ? 0 : v == TA_BOTTOM ? -metrics.descent() : metrics.ascent();

  p_.save();
  p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (c.TextOptions & (ETO_OPAQUE | ETO_CLIPPED)) {
    const QRectF box = DeviceRect(c.Box);
    if (c.TextOptions & ETO_OPAQUE) p_.fillRect(box, ColorOf(s_.BkColor));
    if (c.TextOptions & ETO_CLIPPED) p_.setClipRect(box, Qt::IntersectClip);
  }
  p_.translate(reference);
  // Text turns with a turning transform, and by its font's escapement.
  const double turned = std::atan2(t_.m12(), t_.m11()) * 180 / std::numbers::pi;
  p_.rotate((std::isfinite(turned) ? turned : 0) - f.Escapement / 10.0);
  if (s_.BkMode == OPAQUE)
    p_.fillRect(QRectF(x0, base - metrics.ascent(), width, metrics.ascent() + metrics.descent()),
                ColorOf(s_.BkColor));
  p_.setFont(font);
  p_.setPen(ColorOf(s_.TextColor));
  PaintCharacters(c, font, x0, base, offsets);
  p_.restore();
  if (updateCp) s_.Position += QPointF(width / std::max(scaleX, 1e-9), 0);
}

void TMetafilePlayer::PaintCharacters(const TMetaCommand& c, const QFont& font, double x0,
                                      double base, const std::vector<double>& offsets) {
  const bool outlines = font.pixelSize() > kMaxImageTextPixels;
  QPainterPath path;
  auto at = [&](size_t i, double x) {
    return QPointF(i < offsets.size() ? x0 + offsets[i] : x, base);
  };
  if (c.TextOptions & ETO_GLYPH_INDEX) {
    // Glyph numbers of the font the file was made with; right when the same font is here.
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return;
    const QList<quint32> indexes(c.Text.begin(), c.Text.end());
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
    QList<QPointF> positions;
    double x = x0;
    for (qsizetype i = 0; i < indexes.size(); ++i) {
      positions.push_back(at(static_cast<size_t>(i), x));
      x += advances.value(i).x();
      if (outlines) path.addPath(raw.pathForGlyph(indexes[i]).translated(positions.back()));
    }
    if (!outlines) {
      QGlyphRun run;
      run.setRawFont(raw);
      run.setGlyphIndexes(indexes);
      run.setPositions(positions);
      p_.drawGlyphRun(QPointF(0, 0), run);
    }
  } else {
    auto piece = [&](QPointF where, const QString& text) {
      if (outlines)
        path.addText(where, font, text);
      else
        p_.drawText(where, text);
    };
    if (offsets.empty()) piece(at(0, x0), QString::fromStdU16String(c.Text));
    for (size_t i = 0; i < offsets.size(); ++i)
      piece(at(i, 0), QString(QChar(c.Text[i])));
  }
  if (outlines) p_.fillPath(path, ColorOf(s_.TextColor));
}

} // namespace kestrel
