#pragma once
// TEditingTools: the small "Tools" window that stays on top beside the picture: the tool buttons,
// the pen and fill colour panels, the pen width sample, the sniffer colour, "Adjust", the zoom
// bar, "Undo" and "Do It!", and the pointer's position. Every button hands its work to the main
// window, which does the editing on the picture.

#include "imaging/core/Canvas.h"
#include "imaging/core/Color.h"
#include "processing/editing/ToolGeometry.h"

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QToolButton;
class QPushButton;

namespace kestrel {

class TKestrelMain;

class TEditingTools : public QWidget {
public:
  explicit TEditingTools(TKestrelMain& main);

  // Marks the tool's button (none: all up) and sets the colour panels and cursor texts for it.
  void ShowTool(TEditTool tool, TFillStyle style);
  // The state of the buttons from the main window's editing state.
  void Refresh();
  // The pointer's place in picture pixels, and the shape's size texts while one is drawn.
  void ShowPosition(TPoint point);
  // The colour under the pointer (Ctrl held over the picture).
  void ShowSniffed(TColor color);
  TColor Sniffed() const { return sniffed_; }
  // The zoom buttons follow the view's magnification (1 releases them all).
  void ShowZoom(int factor);

  // Controls, named as the layout names them.
  QToolButton* CropButton = nullptr;
  QToolButton* SurfButton = nullptr;
  QToolButton* BordButton = nullptr;
  QToolButton* LineButton = nullptr;
  QToolButton* RectButton = nullptr;
  QToolButton* EllipseButton = nullptr;
  QToolButton* PenButton = nullptr;
  QToolButton* EraseButton = nullptr;
  QLabel* PenColor = nullptr;
  QLabel* FillColor = nullptr;
  QFrame* Bx = nullptr;
  QWidget* Shape1 = nullptr;
  QLabel* SnifPanel = nullptr;
  QToolButton* ColorPickBtn = nullptr;
  QToolButton* ShowFileView = nullptr;
  QToolButton* AdjustButton = nullptr;
  QToolButton* PasteButton = nullptr;
  QToolButton* InputButton = nullptr;
  QToolButton* SaveButton = nullptr;
  QToolButton* NewButton = nullptr;
  QToolButton* TextButton = nullptr;
  QToolButton* CopyButton = nullptr;
  std::array<QToolButton*, 4> ZoomButtons{}; // "X2", "X4", "X8", "X16"
  QPushButton* UndoButton = nullptr;
  QPushButton* DoItButton = nullptr;
  QLabel* StatusX = nullptr;
  QLabel* StatusY = nullptr;

  // Handlers.
  void ToolButtonClick(QToolButton* button);
  void Shape1MouseDown(bool left);
  void SnifPanelMouseDown(bool left);
  void AdjustButtonClick();
  void X2ButtonClick(int index);
  void TextButtonClick();

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  QToolButton* AddButton(const char* name, const char* caption, const char* hint,
                         bool checkable = false);
  void ShowColors();
  void ShowWidth();

  TKestrelMain& main_;
  TColor sniffed_ = clBlack;
  bool showingTool_ = false;
};

} // namespace kestrel
