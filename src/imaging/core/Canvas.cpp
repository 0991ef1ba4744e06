#include "imaging/core/Canvas.h"

#include "imaging/core/Exceptions.h"
#include "imaging/core/Graphic.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace kestrel {

namespace {

// A surface over a QImage the caller owns.
class TImageSurface : public TCanvasSurface {
public:
  explicit TImageSurface(QImage& image) : image_(image) {}
  int SourceWidth() const override { return image_.width(); }
  int SourceHeight() const override { return image_.height(); }

  void ReadPixels(int x0, int y, int count, TPixelColor* out) const override {
    for (int i = 0; i < count; ++i)
      out[i] = image_.pixel(x0 + i, y) & 0xFFFFFF;
  }

  void WritePixels(int x0, int y, int count, const TPixelColor* colors) override {
    for (int i = 0; i < count; ++i)
      image_.setPixel(x0 + i, y, Stored(colors[i]));
  }

  TPixelColor Representable(TPixelColor color) override {
    if (Indexed()) return image_.color(static_cast<int>(Stored(color))) & 0xFFFFFF;
    QImage one(1, 1, image_.format());
    one.setPixel(0, 0, 0xFF000000u | color);
    return one.pixel(0, 0) & 0xFFFFFF;
  }

  QImage DirectView() override {
    if (Indexed() || image_.isNull()) return {};
    return QImage(image_.bits(), image_.width(), image_.height(), image_.bytesPerLine(),
                  image_.format());
  }

private:
  bool Indexed() const { return image_.depth() <= 8; }
  // What setPixel takes: an index for indexed images (the nearest colour), else the colour.
  uint Stored(TPixelColor color) const {
    if (!Indexed()) return 0xFF000000u | color;
    TPalette palette = TPalette::Black(std::min<qsizetype>(image_.colorCount(), 256));
    for (int i = 0; i < palette.Count(); ++i)
      palette.SetColor(i, ColorOfPixel(image_.color(i)));
    return static_cast<uint>(std::max(0, palette.NearestIndex(ColorOfPixel(color))));
  }
  QImage& image_;
};

// The 16 binary raster operations, by pen mode.
constexpr int kRop2[16] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};

TPixelColor Rop2(TPenMode mode, TPixelColor pen, TPixelColor dest) {
  const unsigned table = static_cast<unsigned>(kRop2[mode] - 1);
  uint32_t r = 0;
  if (table & 1) r |= ~pen & ~dest;
  if (table & 2) r |= ~pen & dest;
  if (table & 4) r |= pen & ~dest;
  if (table & 8) r |= pen & dest;
  return r & 0xFFFFFF;
}

// A ternary raster operation: bit (pattern << 2 | source << 1 | dest) of the code's third byte.
TPixelColor Rop3(TCopyMode mode, TPixelColor pattern, TPixelColor source, TPixelColor dest) {
  const unsigned table = mode >> 16 & 0xFF;
  uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(table >> i & 1)) continue;
    r |= ((i & 4) ? pattern : ~pattern) & ((i & 2) ? source : ~source) & ((i & 1) ? dest : ~dest);
  }
  return r & 0xFFFFFF;
}

QColor QColorOf(TColor color) {
  return QColor::fromRgb(0xFF000000u | PixelColorOf(ColorToRgb(color)));
}

Qt::PenStyle QPenStyleOf(TPenStyle style) {
  switch (style) {
  case psDash:
    return Qt::DashLine;
  case psDot:
    return Qt::DotLine;
  case psDashDot:
    return Qt::DashDotLine;
  case psDashDotDot:
    return Qt::DashDotDotLine;
  case psClear:
    return Qt::NoPen;
  default:
    return Qt::SolidLine;
  }
}

Qt::BrushStyle QBrushStyleOf(TBrushStyle style) {
  switch (style) {
  case bsClear:
    return Qt::NoBrush;
  case bsHorizontal:
    return Qt::HorPattern;
  case bsVertical:
    return Qt::VerPattern;
  case bsFDiagonal:
    return Qt::FDiagPattern;
  case bsBDiagonal:
    return Qt::BDiagPattern;
  case bsCross:
    return Qt::CrossPattern;
  case bsDiagCross:
    return Qt::DiagCrossPattern;
  default:
    return Qt::SolidPattern;
  }
}

// The pixels one side of a copy rectangle covers: [a, b) forwards; given backwards (b < a), the
// pixels from b + 1 to a, so that Rect(0, H - 1, W, -1) mirrors exactly the lines 0..H-1.
std::pair<int, int> Span(int a, int b) {
  return a <= b ? std::pair{a, b} : std::pair{b + 1, a + 1};
}

TRect SpanRect(const TRect& r) {
  const auto [left, right] = Span(r.Left, r.Right);
  const auto [top, bottom] = Span(r.Top, r.Bottom);
  return {left, top, right, bottom};
}

// The pixels of a one-pixel line from a towards b, without b itself.
QPolygon LinePixels(TPoint a, TPoint b) {
  QPolygon points;
  const int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
  const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  int err = dx + dy;
  while (a.X != b.X || a.Y != b.Y) {
    points << QPoint(a.X, a.Y);
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, a.X += sx;
    if (e2 <= dx) err += dx, a.Y += sy;
  }
  return points;
}

TRect Normalized(int x1, int y1, int x2, int y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

TRect Inflated(const TRect& r, int by) {
  return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

TRect Intersected(const TRect& a, const TRect& b) {
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
}

// Writes the runs of pixels where after differs from before.
void WriteChanged(TCanvasSurface& surface, int x0, int y, const std::vector<TPixelColor>& before,
                  const std::vector<TPixelColor>& after) {
  const int n = static_cast<int>(after.size());
  for (int x = 0; x < n;) {
    if (after[x] == before[x]) {
      ++x;
      continue;
    }
    int end = x + 1;
    while (end < n && after[end] != before[end])
      ++end;
    surface.WritePixels(x0 + x, y, end - x, after.data() + x);
    x = end;
  }
}

bool HasGuiApplication() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QFont QFontOf(const TFont& font) {
  if (!HasGuiApplication())
    throw EInvalidGraphicOperation("Drawing text needs a running application");
  QFont f(QString::fromStdString(font.Name));
  f.setPixelSize(std::max(1, std::abs(font.Height())));
  f.setBold(font.Style & fsBold);
  f.setItalic(font.Style & fsItalic);
  f.setUnderline(font.Style & fsUnderline);
  f.setStrikeOut(font.Style & fsStrikeOut);
  // Text on palette pictures must keep exact colours, so no edge blending.
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

// Destination-to-source mapping of one axis of a stretched copy: the source pixel under the
// centre of each destination pixel.
int SourceIndex(int rel, int destSize, int srcStart, int srcSize, bool mirrored) {
  if (mirrored) rel = destSize - 1 - rel;
  return srcStart + static_cast<int>((2 * static_cast<int64_t>(rel) + 1) * srcSize /
                                     (2 * static_cast<int64_t>(destSize)));
}

// Copies a stored value (index or colour bytes) of one pixel between rows of the same depth.
void CopyStoredPixel(const uint8_t* src, int sx, uint8_t* dst, int dx, int bitsPerPixel) {
  switch (bitsPerPixel) {
  case 1:
  case 4:
    PixelRows::SetIndex(dst, dx, bitsPerPixel, PixelRows::GetIndex(src, sx, bitsPerPixel));
    break;
  default: {
    const int bytes = (bitsPerPixel + 7) / 8;
    std::copy_n(src + sx * bytes, bytes, dst + dx * bytes);
  }
  }
}

bool SameColors(const TColorTable* a, const TColorTable* b, int bitsPerPixel) {
  if (bitsPerPixel > 8) return true;
  if (!a || !b) return false;
  return std::equal(a->Colors, a->Colors + (1 << bitsPerPixel), b->Colors);
}

} // namespace

TQImageSource::TQImageSource(const QImage& image)
    : image_(image.format() == QImage::Format_RGB32 ? image
                                                    : image.convertToFormat(QImage::Format_RGB32)) {
}

void TQImageSource::ReadPixels(int x0, int y, int count, TPixelColor* out) const {
  const auto* line = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
  for (int i = 0; i < count; ++i)
    out[i] = line[x0 + i] & 0xFFFFFF;
}

int TFont::Height() const {
  return -static_cast<int>(std::lround(Size * static_cast<double>(PixelsPerInch) / 72.0));
}

void TFont::SetHeight(int height) {
  Size = static_cast<int>(std::lround(-height * 72.0 / PixelsPerInch));
}

TCanvas::TCanvas(TCanvasSurface& surface) : surface_(&surface) {}

TCanvas::TCanvas(QImage& image)
    : ownedSurface_(std::make_unique<TImageSurface>(image)), surface_(ownedSurface_.get()) {}

TCanvas::~TCanvas() = default;

int TCanvas::Width() const {
  return surface_->SourceWidth();
}

int TCanvas::Height() const {
  return surface_->SourceHeight();
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging();
  surface_->SurfaceChanging();
}

void TCanvas::Changed() {
  surface_->SurfaceChanged();
  if (OnChange) OnChange();
}

void TCanvas::SetUpPainter(QPainter& painter, bool withPen, bool withBrush) const {
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (withPen && Pen.Style != psClear) {
    QPen pen(QColorOf(Pen.Color));
    pen.setStyle(QPenStyleOf(Pen.Style));
    if (Pen.Width <= 1) {
      // One-pixel lines leave out their last pixel, as device lines do.
      pen.setWidth(0);
      pen.setCapStyle(Qt::FlatCap);
      pen.setJoinStyle(Qt::MiterJoin);
    } else {
      pen.setWidth(Pen.Width);
      pen.setCapStyle(Qt::RoundCap);
      pen.setJoinStyle(Qt::RoundJoin);
    }
    painter.setPen(pen);
  } else {
    painter.setPen(Qt::NoPen);
  }
  if (withBrush && Brush.Style != bsClear)
    painter.setBrush(QBrush(QColorOf(Brush.Color), QBrushStyleOf(Brush.Style)));
  else
    painter.setBrush(Qt::NoBrush);
}

// Paints with Qt's painter: in place on direct-colour storage for the copy mode, else on a
// transparent scratch of bounds whose painted pixels are combined with the surface by the pen mode.
template <class Paint> void TCanvas::PaintShape(TRect bounds, Paint&& paint) {
  bounds = Intersected(bounds, ClipRect());
  if (bounds.IsEmpty()) return;
  Changing();
  const TPenMode mode = Pen.Mode;
  if (mode == pmCopy) {
    QImage view = surface_->DirectView();
    if (!view.isNull()) {
      QPainter painter(&view);
      paint(painter);
      painter.end();
      Changed();
      return;
    }
  }
  const int w = bounds.Width();
  QImage cover(w, bounds.Height(), QImage::Format_ARGB32);
  cover.fill(0);
  {
    QPainter painter(&cover);
    painter.translate(-bounds.Left, -bounds.Top);
    paint(painter);
  }
  std::vector<TPixelColor> before(static_cast<size_t>(w)), after(static_cast<size_t>(w));
  for (int y = 0; y < bounds.Height(); ++y) {
    const auto* painted = reinterpret_cast<const QRgb*>(cover.constScanLine(y));
    surface_->ReadPixels(bounds.Left, bounds.Top + y, w, before.data());
    for (int x = 0; x < w; ++x) {
      const TPixelColor c = painted[x] & 0xFFFFFF;
      after[x] = qAlpha(painted[x]) == 0 ? before[x]
                 : mode == pmCopy        ? c
                                         : Rop2(mode, c, before[x]);
    }
    WriteChanged(*surface_, bounds.Left, bounds.Top + y, before, after);
  }
  Changed();
}

void TCanvas::LineTo(int x, int y) {
  const TPoint from = penPos_;
  penPos_ = {x, y};
  if (Pen.Style == psClear) return;
  const std::array points{from, TPoint{x, y}};
  PaintShape(BoundsOf(points), [&](QPainter& p) { DrawSegments(p, points, false); });
}

bool TCanvas::ThinSolidPen() const {
  return Pen.Width <= 1 && (Pen.Style == psSolid || Pen.Style == psInsideFrame);
}

// Segments through points (closed: back to the first). Thin solid lines are set pixel by pixel
// so each segment leaves out its end point, as device lines do; other pens go to the painter.
void TCanvas::DrawSegments(QPainter& p, std::span<const TPoint> points, bool closed) const {
  SetUpPainter(p, true, false);
  if (!ThinSolidPen()) {
    QPolygon polygon;
    for (const TPoint& pt : points)
      polygon << QPoint(pt.X, pt.Y);
    if (closed)
      p.drawPolygon(polygon);
    else
      p.drawPolyline(polygon);
    return;
  }
  QPolygon pixels;
  for (size_t i = 0; i + 1 < points.size(); ++i)
    pixels += LinePixels(points[i], points[i + 1]);
  if (closed && points.size() > 1) pixels += LinePixels(points.back(), points.front());
  p.drawPoints(pixels);
}

TRect TCanvas::BoundsOf(std::span<const TPoint> points) const {
  TRect bounds{points[0].X, points[0].Y, points[0].X, points[0].Y};
  for (const TPoint& pt : points)
    bounds = {std::min(bounds.Left, pt.X), std::min(bounds.Top, pt.Y), std::max(bounds.Right, pt.X),
              std::max(bounds.Bottom, pt.Y)};
  return Inflated(bounds, Pen.Width + 2);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  if (points.empty()) return;
  PaintShape(BoundsOf(points), [&](QPainter& p) { DrawSegments(p, points, false); });
  penPos_ = points.back();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  if (points.empty()) return;
  PaintShape(BoundsOf(points), [&](QPainter& p) {
    if (Brush.Style != bsClear) {
      QPolygon polygon;
      for (const TPoint& pt : points)
        polygon << QPoint(pt.X, pt.Y);
      SetUpPainter(p, false, true);
      p.drawPolygon(polygon);
    }
    if (Pen.Style != psClear) DrawSegments(p, points, true);
  });
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  const TRect r = Normalized(x1, y1, x2, y2);
  if (r.IsEmpty()) return;
  PaintShape(Inflated(r, Pen.Width + 1), [&](QPainter& p) {
    SetUpPainter(p, false, true);
    if (Brush.Style != bsClear) p.drawRect(QRect(r.Left, r.Top, r.Width(), r.Height()));
    if (Pen.Style == psClear) return;
    SetUpPainter(p, true, false);
    if (Pen.Width <= 1)
      p.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    else
      p.drawRect(QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1));
  });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  const TRect r = Normalized(x1, y1, x2, y2);
  if (r.IsEmpty()) return;
  PaintShape(Inflated(r, Pen.Width + 1), [&](QPainter& p) {
    SetUpPainter(p, true, true);
    if (Pen.Width <= 1)
      p.drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    else
      p.drawEllipse(QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1));
  });
}

void TCanvas::FillRect(const TRect& rect) {
  const TRect r = Normalized(rect.Left, rect.Top, rect.Right, rect.Bottom);
  if (r.IsEmpty() || Brush.Style == bsClear) return;
  // A rectangle fill copies the brush whatever the pen mode.
  const TPenMode mode = Pen.Mode;
  Pen.Mode = pmCopy;
  PaintShape(r, [&](QPainter& p) {
    p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()),
               QBrush(QColorOf(Brush.Color), QBrushStyleOf(Brush.Style)));
  });
  Pen.Mode = mode;
}

void TCanvas::FrameRect(const TRect& rect) {
  const TRect r = Normalized(rect.Left, rect.Top, rect.Right, rect.Bottom);
  if (r.IsEmpty()) return;
  FillRect({r.Left, r.Top, r.Right, r.Top + 1});
  FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
  FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
  FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style) {
  const int w = Width(), h = Height();
  if (x < 0 || y < 0 || x >= w || y >= h || Brush.Style == bsClear) return;
  std::vector<TPixelColor> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int row = 0; row < h; ++row)
    surface_->ReadPixels(0, row, w, pixels.data() + static_cast<size_t>(row) * w);
  const TPixelColor target = surface_->Representable(PixelColorOf(ColorToRgb(color)));
  auto at = [&](int px, int py) { return pixels[static_cast<size_t>(py) * w + px]; };
  std::vector<uint8_t> filled(pixels.size(), 0);
  auto inside = [&](int px, int py) {
    if (filled[static_cast<size_t>(py) * w + px]) return false;
    return style == fsSurface ? at(px, py) == target : at(px, py) != target;
  };
  if (!inside(x, y)) return;
  // Scan-line fill: each stack entry is a seed; fill its span, then seed the rows above and below.
  TRect bounds{x, y, x + 1, y + 1};
  std::vector<TPoint> stack{{x, y}};
  while (!stack.empty()) {
    const TPoint seed = stack.back();
    stack.pop_back();
    if (!inside(seed.X, seed.Y)) continue;
    int left = seed.X, right = seed.X;
    while (left > 0 && inside(left - 1, seed.Y))
      --left;
    while (right + 1 < w && inside(right + 1, seed.Y))
      ++right;
    std::fill_n(filled.begin() + static_cast<ptrdiff_t>(seed.Y) * w + left, right - left + 1, 1);
    bounds = {std::min(bounds.Left, left), std::min(bounds.Top, seed.Y),
              std::max(bounds.Right, right + 1), std::max(bounds.Bottom, seed.Y + 1)};
    for (int ny : {seed.Y - 1, seed.Y + 1}) {
      if (ny < 0 || ny >= h) continue;
      for (int nx = left; nx <= right; ++nx) {
        if (!inside(nx, ny)) continue;
        stack.push_back({nx, ny});
        while (nx + 1 <= right && inside(nx + 1, ny))
          ++nx;
      }
    }
  }
  // The brush pattern over the filled pixels, combined by the pen mode.
  QImage cover(bounds.Width(), bounds.Height(), QImage::Format_ARGB32);
  cover.fill(0);
  {
    QPainter p(&cover);
    p.fillRect(cover.rect(), QBrush(QColorOf(Brush.Color), QBrushStyleOf(Brush.Style)));
  }
  Changing();
  std::vector<TPixelColor> before(static_cast<size_t>(bounds.Width()));
  std::vector<TPixelColor> after(before.size());
  for (int py = bounds.Top; py < bounds.Bottom; ++py) {
    const auto* brush = reinterpret_cast<const QRgb*>(cover.constScanLine(py - bounds.Top));
    for (int px = bounds.Left; px < bounds.Right; ++px) {
      const size_t i = static_cast<size_t>(px - bounds.Left);
      before[i] = at(px, py);
      const bool paint = filled[static_cast<size_t>(py) * w + px] && qAlpha(brush[i]) != 0;
      after[i] = paint ? Rop2(Pen.Mode, brush[i] & 0xFFFFFF, before[i]) : before[i];
    }
    WriteChanged(*surface_, bounds.Left, py, before, after);
  }
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) const {
  const QFontMetrics metrics(QFontOf(Font));
  return {metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  TextRect({INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2}, x, y, text);
  penPos_ = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
  const QFont font = QFontOf(Font);
  const QFontMetrics metrics(font);
  const QString q = QString::fromStdString(text);
  const int w = metrics.horizontalAdvance(q), h = metrics.height();
  // Italic and some glyphs reach past the advance; the painter clips to rect anyway.
  const TRect cell = Intersected({x, y, x + w + h, y + h}, rect);
  const TPenMode mode = Pen.Mode;
  Pen.Mode = pmCopy;
  PaintShape(cell, [&](QPainter& p) {
    p.setClipRect(QRect(cell.Left, cell.Top, cell.Width(), cell.Height()));
    if (Brush.Style != bsClear) p.fillRect(QRect(x, y, w, h), QColorOf(Brush.Color));
    p.setFont(font);
    p.setPen(QColorOf(Font.Color));
    p.drawText(x, y + metrics.ascent(), q);
  });
  Pen.Mode = mode;
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& srcRect) {
  StretchBlt(dest, *source.surface_, srcRect);
}

void TCanvas::StretchBlt(const TRect& dest, const TImageSource& source, const TRect& srcRect,
                         std::optional<TPixelColor> transparent, std::optional<TRect> within) {
  const bool mirrorX = (dest.Width() < 0) != (srcRect.Width() < 0);
  const bool mirrorY = (dest.Height() < 0) != (srcRect.Height() < 0);
  const TRect d = SpanRect(dest);
  const TRect s = SpanRect(srcRect);
  if (d.IsEmpty() || s.IsEmpty()) return;
  const TRect clip = Intersected(Intersected(d, ClipRect()), within.value_or(d));
  if (clip.IsEmpty()) return;

  // Averaging works on a smoothly scaled copy of the source rectangle, then copies 1:1.
  std::optional<TQImageSource> scaled;
  const TImageSource* from = &source;
  TRect sr = s;
  if (StretchMode == smHalftone && (d.Width() != s.Width() || d.Height() != s.Height())) {
    const TRect inside = Intersected(s, {0, 0, source.SourceWidth(), source.SourceHeight()});
    if (inside.IsEmpty()) return;
    QImage part(inside.Width(), inside.Height(), QImage::Format_RGB32);
    for (int y = 0; y < inside.Height(); ++y)
      source.ReadPixels(inside.Left, inside.Top + y, inside.Width(),
                        reinterpret_cast<TPixelColor*>(part.scanLine(y)));
    const int sw = static_cast<int>(int64_t(inside.Width()) * d.Width() / s.Width());
    const int sh = static_cast<int>(int64_t(inside.Height()) * d.Height() / s.Height());
    scaled.emplace(part.scaled(std::max(sw, 1), std::max(sh, 1), Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation));
    from = &*scaled;
    sr = {0, 0, scaled->SourceWidth(), scaled->SourceHeight()};
  }

  std::vector<int> columns;
  for (int x = clip.Left; x < clip.Right; ++x)
    columns.push_back(SourceIndex(x - d.Left, d.Width(), sr.Left, sr.Width(), mirrorX));
  const int n = clip.Width();
  const int srcW = from->SourceWidth(), srcH = from->SourceHeight();

  Changing();
  // Same depth and colours on both sides: move stored values, so palette indices stay exact.
  const TPixelStorage* rawFrom = from->RawStorage();
  TPixelStorage* rawTo = surface_->RawStorageForWrite();
  if (rawFrom && rawTo && CopyMode == cmSrcCopy && !transparent &&
      rawFrom->BitsPerPixel() == rawTo->BitsPerPixel() &&
      SameColors(from->RawColorTable(), surface_->RawColorTable(), rawTo->BitsPerPixel())) {
    // The source may be this very surface (a mirror in place): then copy from a snapshot.
    TPixelStorage snapshot;
    if (from == static_cast<const TImageSource*>(surface_)) {
      if (!snapshot.CopyFrom(*rawFrom)) throw EOutOfMemory("Out of memory");
      rawFrom = &snapshot;
    }
    std::vector<uint8_t> row(static_cast<size_t>(rawFrom->BytesPerLine()));
    for (int y = clip.Top; y < clip.Bottom; ++y) {
      const int sy = SourceIndex(y - d.Top, d.Height(), sr.Top, sr.Height(), mirrorY);
      if (sy < 0 || sy >= srcH) continue;
      std::copy_n(rawFrom->Row(sy), row.size(), row.begin());
      uint8_t* out = rawTo->Row(y);
      for (int i = 0; i < n; ++i)
        if (columns[i] >= 0 && columns[i] < srcW)
          CopyStoredPixel(row.data(), columns[i], out, clip.Left + i, rawTo->BitsPerPixel());
    }
    Changed();
    return;
  }

  // Rows of the source are read whole (clipped), so a copy within one surface reads before it
  // writes.
  std::vector<TPixelColor> srcRow(static_cast<size_t>(srcW));
  std::vector<TPixelColor> before(static_cast<size_t>(n)), after(static_cast<size_t>(n));
  const TPixelColor pattern = PixelColorOf(ColorToRgb(Brush.Color));
  std::vector<std::vector<TPixelColor>> rows;
  std::vector<int> rowSource;
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    rowSource.push_back(SourceIndex(y - d.Top, d.Height(), sr.Top, sr.Height(), mirrorY));
  }
  // Reading every needed source row first keeps in-place copies (mirrors) correct.
  const bool inPlace = from == static_cast<const TImageSource*>(surface_);
  if (inPlace) {
    rows.resize(rowSource.size());
    for (size_t i = 0; i < rowSource.size(); ++i) {
      const int sy = rowSource[i];
      if (sy < 0 || sy >= srcH) continue;
      rows[i].resize(static_cast<size_t>(srcW));
      from->ReadPixels(0, sy, srcW, rows[i].data());
    }
  }
  int cachedRow = -1;
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    const size_t ri = static_cast<size_t>(y - clip.Top);
    const int sy = rowSource[ri];
    if (sy < 0 || sy >= srcH) continue;
    const TPixelColor* line = nullptr;
    if (inPlace) {
      line = rows[ri].data();
    } else {
      if (sy != cachedRow) from->ReadPixels(0, sy, srcW, srcRow.data());
      cachedRow = sy;
      line = srcRow.data();
    }
    surface_->ReadPixels(clip.Left, y, n, before.data());
    for (int i = 0; i < n; ++i) {
      const int sx = columns[static_cast<size_t>(i)];
      if (sx < 0 || sx >= srcW || (transparent && line[sx] == *transparent)) {
        after[i] = before[i];
        continue;
      }
      after[i] = CopyMode == cmSrcCopy ? line[sx] : Rop3(CopyMode, pattern, line[sx], before[i]);
    }
    WriteChanged(*surface_, clip.Left, y, before, after);
  }
  Changed();
}

void TCanvas::PaintOnCopy(const TRect& bounds, const std::function<void(QPainter&)>& paint) {
  const TRect area =
      Intersected(Normalized(bounds.Left, bounds.Top, bounds.Right, bounds.Bottom), ClipRect());
  if (area.IsEmpty()) return;
  const int w = area.Width(), h = area.Height();
  QImage copy(w, h, QImage::Format_RGB32);
  if (copy.isNull()) throw EOutOfMemory("Out of memory");
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<TPixelColor*>(copy.scanLine(y));
    surface_->ReadPixels(area.Left, area.Top + y, w, line);
    for (int x = 0; x < w; ++x)
      line[x] |= 0xFF000000u;
  }
  {
    QPainter painter(&copy);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(-area.Left, -area.Top);
    paint(painter);
  }
  Changing();
  std::vector<TPixelColor> before(static_cast<size_t>(w)), after(static_cast<size_t>(w));
  for (int y = 0; y < h; ++y) {
    const auto* painted = reinterpret_cast<const QRgb*>(copy.constScanLine(y));
    surface_->ReadPixels(area.Left, area.Top + y, w, before.data());
    for (int x = 0; x < w; ++x)
      after[static_cast<size_t>(x)] = painted[x] & 0xFFFFFF;
    WriteChanged(*surface_, area.Left, area.Top + y, before, after);
  }
  Changed();
}

TColor TCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return -1;
  TPixelColor c = 0;
  surface_->ReadPixels(x, y, 1, &c);
  return ColorOfPixel(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  Changing();
  const TPixelColor c = PixelColorOf(ColorToRgb(color));
  surface_->WritePixels(x, y, 1, &c);
  Changed();
}

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

} // namespace kestrel
