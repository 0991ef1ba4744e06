// The editing tools from the main window: the "&Editing Tools" items, the tools window's buttons,
// the mouse work on the picture on behalf of the chosen tool, the colour a pick in the paint box
// hands over, and the periodic redraw of the selection.

#include "app/main/KestrelMain.h"

#include "app/clipboard/PictureClipboard.h"
#include "app/editing/EditingTools.h"
#include "app/editing/PictureEditor.h"
#include "app/main/ColorCycle.h"
#include "app/options/JpgOptions.h"
#include "app/view/Dpicture.h"
#include "app/view/ImageKind.h"
#include "desktop/hints/WinCapture.h"
#include "imaging/core/Bitmap.h"
#include "platform/ui/MessageBox.h"
#include "processing/editing/ToolDrawing.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QFontDialog>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <cmath>

namespace kestrel {

namespace {

constexpr int kTextHint = 5;

const char* MenuItemOf(TEditTool tool, TFillStyle style) {
  switch (tool) {
  case TEditTool::None:
    return "None1";
  case TEditTool::Select:
    return "Crop1";
  case TEditTool::Fill:
    return style == fsBorder ? "Border1" : "Surface1";
  case TEditTool::Line:
    return "LineDraw1";
  case TEditTool::Rectangle:
    return "Rectangle1";
  case TEditTool::Ellipse:
    return "Ellipse1";
  case TEditTool::Pen:
    return "Pen1";
  default:
    return nullptr; // the eraser has no menu item
  }
}

Qt::CursorShape ToolCursor(TEditTool tool) {
  switch (tool) {
  case TEditTool::Fill:
    return Qt::PointingHandCursor;
  case TEditTool::Pen:
    return Qt::UpArrowCursor;
  default:
    return Qt::CrossCursor;
  }
}

Qt::CursorShape ZoneCursor(TAdjustZone zone, TEditTool tool) {
  switch (zone) {
  case TAdjustZone::Left:
  case TAdjustZone::Right:
    return Qt::SizeHorCursor;
  case TAdjustZone::Top:
  case TAdjustZone::Bottom:
    return Qt::SizeVerCursor;
  case TAdjustZone::TopLeft:
  case TAdjustZone::BottomRight:
    return Qt::SizeFDiagCursor;
  case TAdjustZone::TopRight:
  case TAdjustZone::BottomLeft:
    return Qt::SizeBDiagCursor;
  case TAdjustZone::Inside:
    return Qt::SizeAllCursor;
  default:
    return ToolCursor(tool);
  }
}

// Whole picture pixels, also left of and above the picture.
int FloorDiv(int value, int divisor) {
  return static_cast<int>(std::floor(static_cast<double>(value) / divisor));
}

} // namespace

class TMainEditHost : public TEditHost {
public:
  explicit TMainEditHost(TKestrelMain& main) : main_(main) {}
  TBitmap& ViewBitmap() override { return *main_.ViewBitmap; }
  TBitmap& CropBitmap() override { return *main_.CropBitmap; }
  TBitmap& OverlayBitmap() override { return *main_.OverlayBitmap; }
  int ImageKind() const override { return main_.ImageKind; }
  void SetImageKind(int kind) override {
    main_.ImageKind = kind;
    // The edited picture is what rebuilds of the view start from.
    if (kind == ikEdited) main_.EditedBitmap->Assign(main_.ViewBitmap.get());
  }
  void SetModified() override {
    main_.ImageModified = true;
    main_.setWindowTitle("Modified: " + QFileInfo(main_.CurrentPicture).fileName());
  }
  void ShownReplaced() override {
    if (main_.FitImageMode()) main_.FitToImage();
    main_.PlacePicture();
    main_.PaintBox1->update();
    main_.PaintBox2->update();
    main_.UpdateStatusLine();
  }
  void ShownEdited() override {
    if (main_.ImageKind == ikEdited) main_.EditedBitmap->Assign(main_.ViewBitmap.get());
    main_.PaintBox1->update();
  }
  void Repaint(const TRect& area) override {
    if (area.IsEmpty()) return;
    const int m = Zoom();
    main_.PaintBox1->update(area.Left * m, area.Top * m, area.Width() * m, area.Height() * m);
  }
  int Zoom() const override { return main_.NormalMode() ? main_.Magnification() : 1; }

private:
  TKestrelMain& main_;
};

void TKestrelMain::CreateEditing() {
  if (Editor) return;
  EditHost = std::make_unique<TMainEditHost>(*this);
  Editor = std::make_unique<TPictureEditor>(*EditHost);
  // The eraser has no menu item: with it chosen no item is checked.
  if (QActionGroup* group = CommandSet->Action("None1")->actionGroup())
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  EditingTools = new TEditingTools(*this);
  PaintBox1->setMouseTracking(true);
  // Ctrl-press toggles transparent text; a double-click chooses the font.
  Pictext->viewport()->installEventFilter(ViewEvents);
}

void TKestrelMain::ResetToolAction() {
  if (Editor) Editor->PictureReplaced();
  if (Pictext) Pictext->hide();
}

void TKestrelMain::None1Click() {
  SelectEditTool(TEditTool::None);
  EditingTools->show();
}
void TKestrelMain::Crop1Click() {
  SelectEditTool(TEditTool::Select);
}
void TKestrelMain::Pen1Click() {
  SelectEditTool(TEditTool::Pen);
}
void TKestrelMain::Rectangle1Click() {
  SelectEditTool(TEditTool::Rectangle);
}
void TKestrelMain::LineDraw1Click() {
  SelectEditTool(TEditTool::Line);
}
void TKestrelMain::Ellipse1Click() {
  SelectEditTool(TEditTool::Ellipse);
}
void TKestrelMain::Surface1Click() {
  SelectEditTool(TEditTool::Fill, fsSurface);
}
void TKestrelMain::Border1Click() {
  SelectEditTool(TEditTool::Fill, fsBorder);
}

void TKestrelMain::SelectEditTool(TEditTool tool, int fillStyle) {
  CreateEditing();
  const auto style = static_cast<TFillStyle>(fillStyle);
  Editor->SelectTool(tool, style);
  const char* item = MenuItemOf(tool, style);
  for (QAction* action : CommandSet->Action("None1")->actionGroup()->actions())
    action->setChecked(item && action == CommandSet->Action(item));
  EditingTools->ShowTool(tool, style);
  if (tool == TEditTool::None) {
    PaintBox1->setCursor(ImageModified ? Qt::ForbiddenCursor : Qt::CrossCursor);
    PlacePictext();
    PaintBox1->update();
    return;
  }
  EditingTools->show();
  // Edits are made on the picture as it is shown at its scale, not on a fitted copy.
  if (FitWindowMode()) DontScale1Click();
  PaintBox1->setCursor(ToolCursor(tool));
  PlacePictext();
}

void TKestrelMain::TakeDrawingColor(TColor color) {
  DrawingColor = color;
  if (Pictext->isVisible()) {
    PictextBackground = color;
    SetColors(Pictext, ToQColor(PictextBackground), ToQColor(PictextColor));
    return;
  }
  if (!Editor) return;
  TToolSettings& settings = Editor->Settings;
  const TEditTool tool =
      Editor->ActiveTool() != TEditTool::None ? Editor->ActiveTool() : Editor->SelectedTool();
  (tool == TEditTool::Fill ? settings.FillColor : settings.PenColor) = color;
  EditingTools->ShowTool(Editor->SelectedTool(), Editor->FillStyle());
}

// The mouse on the picture

TPoint TKestrelMain::PicturePoint(const QPointF& position) const {
  const int m = NormalMode() ? Magnification() : 1;
  return {FloorDiv(static_cast<int>(std::floor(position.x())), m),
          FloorDiv(static_cast<int>(std::floor(position.y())), m)};
}

bool TKestrelMain::EditingViewEvent(QObject* watched, QEvent* event) {
  if (!Editor) return false;
  if (watched == Pictext->viewport()) return PictextEvent(event);
  if (watched != PaintBox1) return false;
  const bool toolChosen = Editor->SelectedTool() != TEditTool::None || Editor->AdjustDown();
  switch (event->type()) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick: {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (!toolChosen || (mouse->modifiers() & Qt::ShiftModifier)) return false;
    Editor->MouseDown(PicturePoint(mouse->position()), mouse->button() == Qt::LeftButton);
    if (!Editor->AdjustDown()) PaintBox1->setCursor(ToolCursor(Editor->SelectedTool()));
    EditingTools->Refresh();
    PlacePictext();
    return true;
  }
  case QEvent::MouseMove: {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const TPoint point = PicturePoint(mouse->position());
    if ((mouse->modifiers() & Qt::ControlModifier) && !Pictext->hasFocus() &&
        Editor->SelectedTool() != TEditTool::None)
      if (const TBitmap* source = Editor->PaintSource())
        if (point.X >= 0 && point.Y >= 0 && point.X < source->Width() && point.Y < source->Height())
          EditingTools->ShowSniffed(ColorOfPixel(source->PixelColor(point.X, point.Y)));
    if (Editor->AdjustDown() && !Editor->Adjusting())
      PaintBox1->setCursor(ZoneCursor(Editor->ZoneAt(point), Editor->SelectedTool()));
    Editor->MouseMove(point);
    if (EditingTools->isVisible()) EditingTools->ShowPosition(point);
    if (Editor->Adjusting() || Editor->Drawing()) PlacePictext();
    return toolChosen;
  }
  case QEvent::MouseButtonRelease:
    if (!toolChosen) return false;
    Editor->MouseUp();
    EditingTools->Refresh();
    return true;
  default:
    return false;
  }
}

bool TKestrelMain::PictextEvent(QEvent* event) {
  const bool press =
      event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
  if (!press) return false;
  if (static_cast<QMouseEvent*>(event)->modifiers() & Qt::ControlModifier) {
    PictextTransparent = !PictextTransparent;
    EditingTools->TextButton->setText(PictextTransparent ? "Text*" : "Text");
    return true;
  }
  if (event->type() == QEvent::MouseButtonDblClick) {
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, PictextFont, this);
    if (chosen) {
      PictextFont = font;
      Pictext->setFont(font);
    }
    return true;
  }
  return false;
}

void TKestrelMain::PlacePictext() {
  const bool shown = Editor && Editor->TextDown && Editor->SelectedTool() == TEditTool::Select &&
                     !Editor->PasteFloating() && Editor->HasShape();
  if (!shown) {
    Pictext->hide();
    return;
  }
  const TRect box = TextBoxArea(Editor->Corners());
  const int m = NormalMode() ? Magnification() : 1;
  const QPoint origin = PaintBox1->pos();
  Pictext->setGeometry(origin.x() + box.Left * m, origin.y() + box.Top * m,
                       std::max(box.Width() * m, 8), std::max(box.Height() * m, 8));
  Pictext->setFont(PictextFont);
  SetColors(Pictext, ToQColor(PictextBackground), ToQColor(PictextColor));
  Pictext->show();
  Pictext->raise();
}

void TKestrelMain::EditingTick() {
  if (!Editor) return;
  if (TickCount % 2 == 0) Editor->Tick();
  if (EditingTools->isVisible()) {
    // While the tools are out the picture is shown at its scale and no slide show runs.
    if (QAction* show = CommandSet->Action("ToolButton4"); show->isChecked()) {
      show->setChecked(false);
      ToolButton4Click();
    }
    if (FitWindowMode()) DontScale1Click();
    EditingTools->ShowZoom(NormalMode() ? Magnification() : 1);
    EditingTools->Refresh();
  }
}

// The tools window's buttons

void TKestrelMain::EditDoItClick() {
  if (!Editor) return;
  TTextStyle style;
  style.Font = PictextFont;
  style.Color = PictextColor;
  style.Background = PictextBackground;
  style.Transparent = PictextTransparent;
  Editor->Commit(Pictext->toPlainText().split('\n'), style);
  EditingTools->Refresh();
  PlacePictext();
  PaintBox1->update();
}

void TKestrelMain::EditUndoClick() {
  if (!Editor) return;
  Editor->UndoTool();
  EditingTools->Refresh();
  PlacePictext();
  PaintBox1->update();
}

void TKestrelMain::EditCopyClick() {
  if (!Editor || Editor->SelectedTool() != TEditTool::Select || !Editor->HasShape())
    return CopyImage1Click();
  const TRect area = Editor->SelectedArea();
  if (area.IsEmpty()) return; // a selection wholly outside the picture copies nothing
  TBitmap part;
  CutOut(part, *DisplayedBitmap(), area);
  CopyPicture(part);
}

void TKestrelMain::EditPasteClick() {
  if (!Editor || Editor->SelectedTool() != TEditTool::Select || !DisplayedBitmap()) return;
  TPasted pasted = PastePicture(ImageFrameColor);
  if (pasted.Outcome == TPasted::TOutcome::Failed)
    ShowMessage("Clipboard Format NotSupported", "Kestrel!", TMsgIcon::Warning, this);
  if (pasted.Outcome != TPasted::TOutcome::Picture) return;
  Editor->Paste(std::move(pasted.Bitmap));
  EditingTools->Refresh();
  PlacePictext();
}

void TKestrelMain::EditInputClick() {
  const TBitmap* shown = DisplayedBitmap();
  if (!shown || shown->Empty()) return;
  if (!AskYesNo("This replaces the reference graphic used by Resample\rArbitrary Rotation (and "
                "some other functions) with the\rImage being edited. Do you wish to proceed ?",
                "Kestrel!: Graphic Source Replacement", TMsgIcon::Question, this))
    return;
  WaitForResampler();
  Snapshot("Input"); // while the picture still counts as edited, so the copy is kept
  auto input = std::make_unique<TBitmap>();
  input->Assign(shown);
  EditedBitmap->Assign(input.get());
  Picture->ImgType = ikBmp;
  Picture->IsDIB = false;
  Picture->SetGraphic(std::move(input));
  ImageKind = ikEdited;
  ImageModified = false;
  if (Editor) {
    Editor->SelectTool(TEditTool::None);
    Editor->PictureReplaced();
    SelectEditTool(TEditTool::None);
  }
  View.ForceRebuild = true;
  View.ViewStale = true;
  RebuildView();
  PictureSizeChanged();
  RunOptions();
}

void TKestrelMain::EditSaveClick() {
  if (Editor && Editor->ActiveTool() != TEditTool::Select) Editor->Commit();
  SaveAs1Click();
}

void TKestrelMain::EditText(bool down) {
  CreateEditing();
  Editor->TextDown = down;
  if (down) {
    // Text is placed at the picture's own scale.
    if (JpgOptions && JpgOptions->ScaleIndex() != kFullScaleIndex) {
      JpgOptions->SetScaleIndex(kFullScaleIndex);
      RunOptions();
    }
    if (WinCapture) WinCapture->ShowModeless(kTextHint);
  }
  EditingTools->Refresh();
  PlacePictext();
}

void TKestrelMain::EditAdjust(bool down) {
  CreateEditing();
  Editor->SetAdjust(down);
  if (!down) PaintBox1->setCursor(ToolCursor(Editor->SelectedTool()));
  EditingTools->Refresh();
  PaintBox1->update();
}

void TKestrelMain::EditZoom(int step, bool down) {
  if (!JpgOptions) return;
  const int oldFactor = NormalMode() ? Magnification() : 1;
  QScrollBar* bars[2] = {ScrollBox1->horizontalScrollBar(), ScrollBox1->verticalScrollBar()};
  int oldRange[2], oldPosition[2];
  for (int i = 0; i < 2; ++i) {
    oldRange[i] = bars[i]->maximum() + bars[i]->pageStep();
    oldPosition[i] = bars[i]->value();
  }
  if (!down)
    JpgOptions->SetScaleIndex(kFullScaleIndex);
  else if (ScaleIndex() <= kFullScaleIndex)
    JpgOptions->SetScaleIndex(kFullScaleIndex - step);
  RunOptions();
  const int newFactor = NormalMode() ? Magnification() : 1;
  const int delta = ZoomStepOfFactor(newFactor) - ZoomStepOfFactor(oldFactor);
  const int client[2] = {ScrollBox1->viewport()->width(), ScrollBox1->viewport()->height()};
  for (int i = 0; i < 2; ++i) {
    QScrollBar* bar = bars[i];
    bar->setSingleStep(newFactor < 8 ? 16 : newFactor);
    if (oldRange[i] <= 0) continue;
    bar->setValue(ZoomScrollPosition(oldRange[i], oldPosition[i], bar->maximum() + bar->pageStep(),
                                     client[i], delta));
  }
  EditingTools->ShowZoom(newFactor);
}

} // namespace kestrel
