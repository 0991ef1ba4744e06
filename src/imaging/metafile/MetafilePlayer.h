#pragma once
// TMetafilePlayer: draws metafile commands with Qt's painter, keeping the state a drawing context
// keeps (mapping, objects, colours, modes, clipping, saved states, paths). Logical coordinates
// go through the world transform (enhanced only), the window-to-viewport mapping (to the
// reference device) and finally the picture's frame onto the destination rectangle. Drawing is
// clipped to the destination rectangle. Text needs a QGuiApplication and is left out without one.

#include "imaging/core/Bitmap.h"
#include "imaging/metafile/MetaCommand.h"
#include "imaging/metafile/MetaReader.h"

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>

#include <memory>
#include <unordered_map>
#include <vector>

class QPainter;

namespace kestrel {

class TMetafilePlayer {
public:
  // Plays onto painter, whose coordinates are device pixels, mapping the frame of header onto dest.
  TMetafilePlayer(QPainter& painter, const TMetafileHeader& header, const QRectF& dest);
  ~TMetafilePlayer();
  TMetafilePlayer(const TMetafilePlayer&) = delete;
  TMetafilePlayer& operator=(const TMetafilePlayer&) = delete;

  void Play(const TMetaCommand& command);

private:
  struct TObject;
  struct TState {
    int32_t MapMode = MM_TEXT;
    QPointF WindowOrg, ViewportOrg;
    QPointF WindowExt{1, 1}, ViewportExt{1, 1};
    QTransform World;
    TMetaPen Pen;
    TMetaBrush Brush;
    std::shared_ptr<QImage> BrushPattern;
    TMetaFont Font;
    int BkMode = 2; // 1 transparent, 2 opaque
    TColor BkColor = 0xFFFFFF;
    TColor TextColor = 0;
    uint32_t TextAlign = 0;
    int PolyFillMode = 1; // 1 alternate, 2 winding
    int Rop2 = 13;        // copy pen
    int ArcDirection = 1; // 1 counterclockwise, 2 clockwise
    QPointF Position;     // logical
    QRegion Clip;         // device
  };

  void PlayMapping(const TMetaCommand& c);
  void PlayState(const TMetaCommand& c);
  void PlayObject(const TMetaCommand& c);
  void PlayClip(const TMetaCommand& c);
  void PlayPath(const TMetaCommand& c);
  void PlayDrawing(const TMetaCommand& c);
  void PlayLines(const TMetaCommand& c);
  void PlayText(const TMetaCommand& c);
  // The characters of a text command from x0 on its baseline, at the given advances (or the
  // font's own).
  void PaintCharacters(const TMetaCommand& c, const QFont& font, double x0, double base,
                       const std::vector<double>& offsets);
  void PlayPatBlt(const TMetaCommand& c);
  void PlayBlt(const TMetaCommand& c);

  void UpdateTransform();
  QPointF Map(const TPoint& p) const;
  QPointF Map(const QPointF& p) const;
  QRectF DeviceRect(const TRect& box) const;
  bool AxisAligned() const;
  // The outline of a box-shaped command (rectangle, ellipse, arc family) in device pixels.
  QPainterPath BoxShape(const TMetaCommand& c, bool thin) const;
  QPainterPath ArcShape(const TMetaCommand& c, const QRectF& rect, QPointF start,
                        QPointF end) const;
  QPainterPath PolyShape(const std::vector<TPoint>& points, const std::vector<int32_t>& counts,
                         bool closed) const;

  // Draws a shape with the current brush (fill) and pen (stroke), or adds it to the path being
  // recorded.
  void Emit(const QPainterPath& shape, bool fill, bool stroke);
  void Fill(const QPainterPath& shape);
  void Stroke(const QPainterPath& shape);
  bool ThinPen() const;
  double PenWidth() const;
  void ApplyRop();
  void ApplyClip();
  void SetClip(const QRegion& region);
  void Select(uint32_t handle);

  QPainter& p_;
  TMetafileHeader header_;
  QRectF dest_;
  QTransform frame_; // reference device to destination
  QTransform t_;     // logical to destination
  bool drawable_ = true;
  TState s_;
  std::vector<TState> saved_;
  std::unordered_map<uint32_t, std::unique_ptr<TObject>> objects_;
  bool inPath_ = false;
  QPainterPath path_;
};

} // namespace kestrel
