#pragma once
// TCanvas: drawing on a picture. A canvas draws on a surface (a TBitmap, a TDibGraphic or a QImage
// the caller owns) with Qt's painter, aliased so that colours stay exact:
// - on 15/16/24/32-bit storage with the copy pen mode it paints in place through a QImage view;
// - otherwise the touched rectangle is painted in a 32-bit scratch and only the pixels that
//   changed are written back, palette storage taking the nearest palette entry (as a palette
//   device does), so untouched pixels keep their exact index.
// Coordinates follow the usual device conventions: right and bottom edges are exclusive for
// rectangles and ellipses, LineTo does not set its end pixel, a destination rectangle given
// backwards mirrors a copy.
// Text needs a QGuiApplication (fonts); everything else works without one.

#include "imaging/core/Color.h"
#include "imaging/core/PixelStorage.h"
#include "imaging/core/Types.h"

#include <QImage>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

class QPainter;

namespace kestrel {

class TGraphic;

// Something the canvas can copy pixels from.
class TImageSource {
public:
  virtual ~TImageSource() = default;
  virtual int SourceWidth() const = 0;
  virtual int SourceHeight() const = 0;
  // Colours of pixels x0 .. x0 + count - 1 of row y (row 0 at the top); the range lies inside.
  virtual void ReadPixels(int x0, int y, int count, TPixelColor* out) const = 0;
  // The storage and colour table behind the source when it has one: copies between two such
  // sources of the same depth and colours move the stored values themselves, so palette indices
  // survive exactly.
  virtual const TPixelStorage* RawStorage() const { return nullptr; }
  virtual const TColorTable* RawColorTable() const { return nullptr; }
};

// Something the canvas draws on.
class TCanvasSurface : public TImageSource {
public:
  // Stores colours at pixels x0 .. x0 + count - 1 of row y; palette storage keeps the nearest
  // entry.
  virtual void WritePixels(int x0, int y, int count, const TPixelColor* colors) = 0;
  // The colour the surface holds after a write of color (quantised, or the nearest palette
  // entry's colour).
  virtual TPixelColor Representable(TPixelColor color) = 0;
  // A new top-down QImage over the pixel memory that Qt's painter can draw on in place (never a
  // shared copy, which would detach), or a null image.
  virtual QImage DirectView() { return {}; }
  virtual TPixelStorage* RawStorageForWrite() { return nullptr; }
  // Called before and after the canvas changes pixels.
  virtual void SurfaceChanging() {}
  virtual void SurfaceChanged() {}
};

// An image source over a QImage (any format; converted once to 32 bits when needed).
class TQImageSource : public TImageSource {
public:
  explicit TQImageSource(const QImage& image);
  int SourceWidth() const override { return image_.width(); }
  int SourceHeight() const override { return image_.height(); }
  void ReadPixels(int x0, int y, int count, TPixelColor* out) const override;

private:
  QImage image_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// How pen and brush colours combine with what is there (the 16 binary raster operations).
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;
// Flood fill: fill the connected area of one colour, or spread until a border colour.
enum TFillStyle { fsSurface, fsBorder };
// How a stretched copy picks pixels: deleting (or repeating) whole lines and columns without
// blending, or averaging (halftone).
enum TStretchMode { smDeleteScans = 3, smHalftone = 4 };

// Ternary raster operations of block copies (the usual codes; any code works).
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

struct TFont {
  std::string Name = "Sans Serif";
  int Size = 8; // points
  TColor Color = clBlack;
  TFontStyles Style = 0;
  int PixelsPerInch = 96;
  // Character height in pixels, negative as usual (-Size * PixelsPerInch / 72, rounded).
  int Height() const;
  void SetHeight(int height);
};

class TCanvas {
public:
  // Draws on surface, which must outlive the canvas.
  explicit TCanvas(TCanvasSurface& surface);
  // Draws on a QImage the caller owns (it must outlive the canvas and keep its size).
  explicit TCanvas(QImage& image);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TPen Pen;
  TBrush Brush;
  TFont Font;
  TCopyMode CopyMode = cmSrcCopy;
  TStretchMode StretchMode = smDeleteScans;
  // Called after every drawing operation that may have changed pixels (and before, OnChanging).
  std::function<void()> OnChange;
  std::function<void()> OnChanging;

  int Width() const;
  int Height() const;
  TRect ClipRect() const { return {0, 0, Width(), Height()}; }

  TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint p) { penPos_ = p; }
  void MoveTo(int x, int y) { penPos_ = {x, y}; }
  // A line from the pen position to (x, y), without its end pixel; the pen moves there.
  void LineTo(int x, int y);
  void Polyline(std::span<const TPoint> points);
  // A closed polygon, filled with the brush and outlined with the pen.
  void Polygon(std::span<const TPoint> points);
  // Filled with the brush and outlined with the pen, within x1 <= x < x2, y1 <= y < y2.
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  // The brush over rect, no outline.
  void FillRect(const TRect& rect);
  // A one-pixel border in the brush colour.
  void FrameRect(const TRect& rect);
  // Scan-line flood fill with the brush from (x, y), 4-connected. fsSurface: fills the connected
  // pixels of colour color (nothing when (x, y) has another colour); fsBorder: fills outward
  // until pixels of colour color. Colours compare as the surface holds them.
  void FloodFill(int x, int y, TColor color, TFillStyle style);

  // Text with its top-left corner at (x, y); an opaque brush fills the text cell first. The pen
  // position moves to the end of the text.
  void TextOut(int x, int y, const std::string& text);
  // Text clipped to rect.
  void TextRect(const TRect& rect, int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text) const;
  int TextWidth(const std::string& text) const { return TextExtent(text).Width; }
  int TextHeight(const std::string& text) const { return TextExtent(text).Height; }

  // The graphic at its own size with its top-left corner at (x, y), or stretched into rect.
  void Draw(int x, int y, TGraphic& graphic);
  void StretchDraw(const TRect& rect, TGraphic& graphic);
  // Copies srcRect of source (possibly this canvas) into dest, stretched with StretchMode and
  // combined by CopyMode. A rectangle given backwards (right < left) covers the pixels from
  // right + 1 to left and mirrors the copy along that axis: Rect(W - 1, 0, -1, H) is the picture
  // turned left to right.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& srcRect);
  // The same from any image source; pixels whose colour equals transparent are left alone. With
  // within, only the pixels of dest inside it are written (each the pixel the whole copy puts
  // there), so a part of a stretched copy can be redone alone.
  void StretchBlt(const TRect& dest, const TImageSource& source, const TRect& srcRect,
                  std::optional<TPixelColor> transparent = std::nullopt,
                  std::optional<TRect> within = std::nullopt);
  // Lets paint draw with Qt's painter (aliased, canvas coordinates) on a 32-bit copy of the pixels
  // under bounds, clipped to the canvas; the pixels it changed are written back, palette surfaces
  // taking the nearest entry. For drawing that blends with or combines the pixels beneath:
  // transparent images, raster operations.
  void PaintOnCopy(const TRect& bounds, const std::function<void(QPainter&)>& paint);

  // "Pixels": the colour of a pixel (-1 outside the surface), and setting one (ignored outside).
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  // The lock worker threads take around their work on a shared bitmap (recursive).
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return lockCount_.load(); }

  TCanvasSurface& Surface() { return *surface_; }

private:
  template <class Paint> void PaintShape(TRect bounds, Paint&& paint);
  void SetUpPainter(QPainter& painter, bool withPen, bool withBrush) const;
  bool ThinSolidPen() const;
  void DrawSegments(QPainter& painter, std::span<const TPoint> points, bool closed) const;
  TRect BoundsOf(std::span<const TPoint> points) const;
  void Changing();
  void Changed();

  std::unique_ptr<TCanvasSurface> ownedSurface_;
  TCanvasSurface* surface_;
  TPoint penPos_;
  std::recursive_mutex lock_;
  std::atomic<int> lockCount_{0};
};

} // namespace kestrel
