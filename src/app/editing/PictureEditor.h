#pragma once
// TPictureEditor: the editing tools at work on the shown picture, on behalf of the main window's
// picture view. It holds the tool state (selected and active tool, colours, pen width, the shape
// rectangle, crop undo, a floating paste) and does the mouse work, the previews and the commits.
//
// Previews are composed in the overlay bitmap, a copy of the shown picture: a stroke starts from
// a share of the shown picture's pixels, and each mouse move puts back only the area the last
// outline covered and draws the new one, so a move costs the size of the shape, never of the
// picture, and only the touched rectangle is shown again. A fill is computed once per fill point
// and colour. "Do It!" makes the overlay the shown picture.

#include "imaging/core/Bitmap.h"
#include "processing/editing/TextStamp.h"
#include "processing/editing/ToolGeometry.h"

#include <QString>

#include <memory>

class QPainter;

namespace kestrel {

// What the editor needs of the viewer.
class TEditHost {
public:
  virtual ~TEditHost() = default;
  // The two picture bitmaps, the overlay, and which is shown (by the kind code).
  virtual TBitmap& ViewBitmap() = 0;
  virtual TBitmap& CropBitmap() = 0;
  virtual TBitmap& OverlayBitmap() = 0;
  virtual int ImageKind() const = 0;
  virtual void SetImageKind(int kind) = 0;
  // The first stroke of a tool: the picture counts as modified from now on.
  virtual void SetModified() = 0;
  // The shown picture was replaced (its size may differ): place it and show it whole.
  virtual void ShownReplaced() = 0;
  // The shown picture's pixels changed in place (a commit).
  virtual void ShownEdited() = 0;
  // Show this area of the picture again (picture pixels).
  virtual void Repaint(const TRect& area) = 0;
  // The view's magnification.
  virtual int Zoom() const = 0;
};

// The tool's colour slots and width, as the user sets them.
struct TToolSettings {
  TColor PenColor = clBlack;
  TColor FillColor = clWhite;
  int PenStep = 0;
};

class TPictureEditor {
public:
  explicit TPictureEditor(TEditHost& host);
  ~TPictureEditor();

  TToolSettings Settings;

  // Selecting a tool (the fill style for the fill tool).
  void SelectTool(TEditTool tool, TFillStyle style = fsSurface);
  TEditTool SelectedTool() const { return selected_; }
  TEditTool ActiveTool() const { return active_; }
  TFillStyle FillStyle() const { return style_; }

  // The mouse on the picture, at picture pixel point (the view's position divided by the zoom).
  // A left press with a tool selected starts a stroke; a press while "Adjust" is down grabs the
  // shape (left) or lets "Adjust" go (right).
  void MouseDown(TPoint point, bool left);
  void MouseMove(TPoint point);
  void MouseUp();

  // "Adjust": the shape under the pointer can be moved or resized.
  bool AdjustDown() const { return adjust_; }
  void SetAdjust(bool down);
  // The zone under a point while "Adjust" is down.
  TAdjustZone ZoneAt(TPoint point) const;
  bool Drawing() const { return drawing_; }
  bool Adjusting() const { return adjusting_; }

  // "Do It!": the preview, a paste, a text or a crop goes into the picture.
  void Commit(const QStringList& textLines = {}, const TTextStyle& textStyle = {});
  // The tools window's "Undo".
  void UndoTool();
  // "Paste": the bitmap floats over the selection until "Do It!".
  void Paste(std::unique_ptr<TBitmap> bitmap);
  bool PasteFloating() const { return paste_ != nullptr; }
  // The selection's area of the shown picture, or nothing without a selection.
  TRect SelectedArea() const;
  bool CropUndoAvailable() const { return cropUndo_; }
  // The picture was replaced or changed outside the tools (a load, a transform, an undo): the
  // preview, the selection's undo and a floating paste are dropped.
  void PictureReplaced();

  // "Text" down: Do It! with the select tool writes the text box.
  bool TextDown = false;

  // The shape rectangle (start and end corners) and the size texts of the tools window.
  const TCorners& Corners() const { return corners_; }
  bool HasShape() const { return hasShape_; }

  // The bitmap the view paints: the overlay while it holds a preview, else the shown picture.
  const TBitmap* PaintSource() const;
  // What is drawn over the picture: the selection's marching frame and a floating paste. origin
  // and zoom map picture pixels to the paint box.
  void PaintDecorations(QPainter& painter, int zoom) const;
  // Every second tick: the frame's colours alternate.
  void Tick();

private:
  TBitmap* Shown() const;
  void StartOverlay();
  void DropOverlay();
  void DrawShapePreview();
  void StrokeAt(TPoint point);
  void CommitOverlay();
  void CommitPaste();
  void CommitText(const QStringList& lines, const TTextStyle& style);
  void Crop();
  // Shows picture in the bitmap not shown now (the crop and text alternation).
  void ShowInOtherBitmap(std::unique_ptr<TBitmap> picture);
  void RepaintFrame(const TCorners& corners);

  TEditHost& host_;
  TEditTool selected_ = TEditTool::None;
  TEditTool active_ = TEditTool::None;
  TFillStyle style_ = fsSurface;
  TColor pen_ = clBlack; // the effective colours and width of the stroke under way
  TColor fill_ = clWhite;
  int width_ = 1;
  TCorners corners_{};
  TCorners previous_{};
  bool hasShape_ = false;
  bool adjust_ = false;
  bool adjusting_ = false;
  bool drawing_ = false;
  bool cropUndo_ = false;
  int kindBeforeCrop_ = 0;
  TCorners cornersBeforeCrop_{};
  TAdjustZone zone_ = TAdjustZone::Outside;
  TPoint grab_{};
  TCorners grabCorners_{};
  TPoint last_{};
  bool overlayLive_ = false; // the overlay holds the shown picture plus the preview
  TRect drawn_{};            // where the last outline or fill went on the overlay
  std::unique_ptr<TBitmap> paste_;
  bool frameInverse_ = false;
};

} // namespace kestrel
