#include "app/editing/PictureEditor.h"

#include "app/view/ImageKind.h"
#include "processing/editing/FloodFill.h"
#include "processing/editing/ToolDrawing.h"

#include <QPainter>

namespace kestrel {
namespace {

bool DrawsShape(TEditTool tool) {
  return tool == TEditTool::Line || tool == TEditTool::Rectangle || tool == TEditTool::Ellipse;
}

// The paint box rectangle of corners at a zoom.
QRect ZoomedFrame(const TCorners& corners, int zoom) {
  const TCorners n = NormalizedCorners(corners);
  return QRect(n.Left * zoom, n.Top * zoom, (n.Right - n.Left + 1) * zoom,
               (n.Bottom - n.Top + 1) * zoom);
}

} // namespace

TPictureEditor::TPictureEditor(TEditHost& host) : host_(host) {}

TPictureEditor::~TPictureEditor() = default;

TBitmap* TPictureEditor::Shown() const {
  const int kind = host_.ImageKind();
  if (kind == ikNone) return nullptr;
  TBitmap& shown = kind == ikCrop ? host_.CropBitmap() : host_.ViewBitmap();
  return shown.Empty() ? nullptr : &shown;
}

void TPictureEditor::SelectTool(TEditTool tool, TFillStyle style) {
  adjust_ = false;
  adjusting_ = false;
  selected_ = tool;
  if (tool == TEditTool::Fill) style_ = style;
  if (tool == TEditTool::None) {
    // Nothing is drawn over the picture any more; a stroke not done is dropped.
    active_ = TEditTool::None;
    DropOverlay();
    paste_.reset();
  }
}

void TPictureEditor::SetAdjust(bool down) {
  adjust_ = down;
  if (!down) adjusting_ = false;
}

TAdjustZone TPictureEditor::ZoneAt(TPoint point) const {
  if (!hasShape_) return TAdjustZone::Outside;
  return AdjustZoneAt(corners_, point,
                      AdjustTolerance(width_, host_.Zoom(), active_ == TEditTool::Select));
}

void TPictureEditor::MouseDown(TPoint point, bool left) {
  if (!Shown()) return;
  if (adjust_) {
    if (!left) {
      SetAdjust(false);
      return;
    }
    grab_ = point;
    grabCorners_ = corners_;
    zone_ = ZoneAt(point);
    adjusting_ = zone_ != TAdjustZone::Outside;
    return;
  }
  SetAdjust(false);
  drawing_ = left;
  if (active_ == TEditTool::Select) {
    if (hasShape_) RepaintFrame(corners_);
  } else if (left && selected_ != TEditTool::Erase) {
    // The shape before is done: a new one starts on top of it.
    Commit();
  }
  active_ = selected_;
  if (selected_ != TEditTool::None) host_.SetModified();
  pen_ = Settings.PenColor;
  fill_ = Settings.FillColor;
  width_ = PenWidthOfStep(Settings.PenStep);
  if (!drawing_) return;
  switch (active_) {
  case TEditTool::Select:
    corners_ = {point.X, point.Y, point.X, point.Y};
    hasShape_ = true;
    RepaintFrame(corners_);
    break;
  case TEditTool::Line:
  case TEditTool::Rectangle:
  case TEditTool::Ellipse:
    StartOverlay();
    corners_ = {point.X, point.Y, point.X, point.Y};
    hasShape_ = true;
    DrawShapePreview();
    break;
  case TEditTool::Fill: {
    StartOverlay();
    TBitmap& overlay = host_.OverlayBitmap();
    const TRect old = RestoreArea(overlay, *Shown(), drawn_);
    drawn_ = FloodFillBitmap(overlay, point, fill_, pen_, style_);
    host_.Repaint(UnionRects(old, drawn_));
    break;
  }
  case TEditTool::Pen:
  case TEditTool::Erase:
    StartOverlay();
    last_ = point;
    StrokeAt(point);
    break;
  case TEditTool::None:
    break;
  }
}

void TPictureEditor::MouseMove(TPoint point) {
  if (!Shown()) return;
  if (adjust_ && adjusting_) {
    const TCorners before = corners_;
    const TCorners moved =
        AdjustedCorners(grabCorners_, zone_, point.X - grab_.X, point.Y - grab_.Y);
    // A line keeps its direction: only a rectangle's corners may be put in order.
    corners_ = active_ == TEditTool::Line ? WithOrientationOf(grabCorners_, moved) : moved;
    if (active_ == TEditTool::Select) {
      RepaintFrame(before);
      RepaintFrame(corners_);
    } else if (DrawsShape(active_)) {
      DrawShapePreview();
    }
    return;
  }
  if (!drawing_) return;
  switch (active_) {
  case TEditTool::Select: {
    const TCorners before = corners_;
    corners_.Right = point.X;
    corners_.Bottom = point.Y;
    RepaintFrame(before);
    RepaintFrame(corners_);
    break;
  }
  case TEditTool::Line:
  case TEditTool::Rectangle:
  case TEditTool::Ellipse:
    corners_.Right = point.X;
    corners_.Bottom = point.Y;
    DrawShapePreview();
    break;
  case TEditTool::Pen:
  case TEditTool::Erase:
    StrokeAt(point);
    break;
  default:
    break;
  }
}

void TPictureEditor::MouseUp() {
  if (active_ == TEditTool::Select && drawing_) SetAdjust(true);
  previous_ = corners_;
  drawing_ = false;
  adjusting_ = false;
}

void TPictureEditor::StartOverlay() {
  if (overlayLive_) return;
  // A share of the shown pixels: the first outline gives the overlay a copy of its own.
  host_.OverlayBitmap().Assign(Shown());
  overlayLive_ = true;
  drawn_ = {};
}

void TPictureEditor::DropOverlay() {
  if (!overlayLive_) return;
  overlayLive_ = false;
  drawn_ = {};
  host_.OverlayBitmap().Assign(nullptr);
  host_.OverlayBitmap().SetSize(1, 1);
  if (Shown()) host_.Repaint({0, 0, Shown()->Width(), Shown()->Height()});
}

void TPictureEditor::DrawShapePreview() {
  TBitmap& overlay = host_.OverlayBitmap();
  const TRect old = RestoreArea(overlay, *Shown(), drawn_);
  drawn_ = DrawToolShape(overlay.Canvas(), active_, corners_, pen_, width_);
  host_.Repaint(UnionRects(old, drawn_));
}

void TPictureEditor::StrokeAt(TPoint point) {
  TBitmap& overlay = host_.OverlayBitmap();
  TRect touched;
  if (active_ == TEditTool::Pen) {
    touched = DrawPenSegment(overlay.Canvas(), last_, point, pen_, width_);
    last_ = point;
  } else {
    touched = EraseSquare(overlay, *Shown(), point, width_);
  }
  host_.Repaint(touched);
}

void TPictureEditor::Commit(const QStringList& textLines, const TTextStyle& textStyle) {
  SetAdjust(false);
  previous_ = corners_;
  if (active_ == TEditTool::None || !Shown()) return;
  if (active_ != TEditTool::Select) {
    if (paste_)
      CommitPaste();
    else
      CommitOverlay();
    return;
  }
  if (!hasShape_) return;
  if (paste_)
    CommitPaste();
  else if (TextDown)
    CommitText(textLines, textStyle);
  else
    Crop();
}

void TPictureEditor::CommitOverlay() {
  if (!overlayLive_) return;
  TBitmap& overlay = host_.OverlayBitmap();
  Shown()->Assign(&overlay);
  overlayLive_ = false;
  drawn_ = {};
  host_.ShownEdited();
}

void TPictureEditor::CommitPaste() {
  TBitmap* shown = Shown();
  const TCorners n = NormalizedCorners(corners_);
  shown->Canvas().StretchMode = smDeleteScans;
  shown->Canvas().StretchDraw({n.Left, n.Top, n.Right + 1, n.Bottom + 1}, *paste_);
  paste_.reset();
  overlayLive_ = false; // the overlay no longer matches the picture
  drawn_ = {};
  host_.ShownEdited();
}

void TPictureEditor::CommitText(const QStringList& lines, const TTextStyle& style) {
  const TCorners n = NormalizedCorners(corners_);
  auto written = std::make_unique<TBitmap>();
  written->Assign(Shown());
  if (WriteTextOnPicture(*written, {n.Left, n.Top}, lines, style).IsEmpty()) return;
  TextDown = false;
  ShowInOtherBitmap(std::move(written));
}

TRect TPictureEditor::SelectedArea() const {
  const TBitmap* shown = Shown();
  if (!shown || !hasShape_) return {};
  return CropArea(corners_, shown->Width(), shown->Height());
}

void TPictureEditor::Crop() {
  const TRect area = SelectedArea();
  if (area.IsEmpty()) return;
  auto cut = std::make_unique<TBitmap>();
  CutOut(*cut, *Shown(), area);
  hasShape_ = false;
  ShowInOtherBitmap(std::move(cut));
}

void TPictureEditor::ShowInOtherBitmap(std::unique_ptr<TBitmap> picture) {
  const int kind = host_.ImageKind();
  kindBeforeCrop_ = kind;
  cornersBeforeCrop_ = previous_;
  DropOverlay();
  if (kind == ikCrop) {
    host_.ViewBitmap().Assign(picture.get());
    host_.SetImageKind(ikEdited);
  } else {
    host_.CropBitmap().Assign(picture.get());
    host_.SetImageKind(ikCrop);
  }
  cropUndo_ = true;
  host_.ShownReplaced();
}

void TPictureEditor::UndoTool() {
  if (selected_ == TEditTool::Select) {
    if (!cropUndo_) {
      SetAdjust(false);
      return;
    }
    // The uncut picture is still in the other bitmap: it is shown again with its selection.
    cropUndo_ = false;
    paste_.reset();
    corners_ = cornersBeforeCrop_;
    hasShape_ = true;
    host_.SetImageKind(kindBeforeCrop_);
    host_.ShownReplaced();
    SetAdjust(true);
    return;
  }
  SetAdjust(false);
  hasShape_ = false;
  paste_.reset();
  DropOverlay();
}

void TPictureEditor::Paste(std::unique_ptr<TBitmap> bitmap) {
  if (selected_ != TEditTool::Select || !bitmap || bitmap->Empty() || !Shown()) return;
  const TCorners n = hasShape_ ? NormalizedCorners(corners_) : TCorners{};
  if (hasShape_) RepaintFrame(corners_);
  corners_ = {n.Left, n.Top, n.Left + bitmap->Width() - 1, n.Top + bitmap->Height() - 1};
  hasShape_ = true;
  active_ = TEditTool::Select;
  // The paste has a bitmap of its own: the one not shown still holds what crop undo restores.
  paste_ = std::move(bitmap);
  SetAdjust(true);
  host_.SetModified();
  RepaintFrame(corners_);
}

void TPictureEditor::PictureReplaced() {
  cropUndo_ = false;
  paste_.reset();
  hasShape_ = false;
  drawing_ = false;
  SetAdjust(false);
  overlayLive_ = false;
  drawn_ = {};
}

const TBitmap* TPictureEditor::PaintSource() const {
  const TBitmap* shown = Shown();
  const TBitmap& overlay = host_.OverlayBitmap();
  if (overlayLive_ && shown && overlay.Width() == shown->Width() &&
      overlay.Height() == shown->Height())
    return &overlay;
  return shown;
}

void TPictureEditor::PaintDecorations(QPainter& painter, int zoom) const {
  if (!hasShape_ || active_ != TEditTool::Select) return;
  const QRect frame = ZoomedFrame(corners_, zoom);
  if (paste_) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(frame, paste_->Image());
  }
  // A dotted line on its inverse: the colours swap every other tick, so the outline marches.
  const QColor a = frameInverse_ ? Qt::white : Qt::black;
  const QColor b = frameInverse_ ? Qt::black : Qt::white;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(b, 0, Qt::SolidLine));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(QPen(a, 0, Qt::DotLine));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void TPictureEditor::Tick() {
  if (!hasShape_ || active_ != TEditTool::Select) return;
  frameInverse_ = !frameInverse_;
  RepaintFrame(corners_);
}

void TPictureEditor::RepaintFrame(const TCorners& corners) {
  const TCorners n = NormalizedCorners(corners);
  host_.Repaint({n.Left - 1, n.Top - 1, n.Right + 2, n.Bottom + 2});
}

} // namespace kestrel
