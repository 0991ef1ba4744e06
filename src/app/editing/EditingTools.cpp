#include "app/editing/EditingTools.h"

#include "app/editing/PictureEditor.h"
#include "app/main/ColorCycle.h"
#include "app/main/KestrelMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace kestrel {
namespace {

QColor Contrast(TColor color) {
  return ToQColor(ContrastColor(color));
}

void Paint(QLabel* panel, const QColor& background, const QColor& text, const QString& caption) {
  panel->setStyleSheet(QString("QLabel { background: %1; color: %2; border: 1px solid gray; }")
                           .arg(background.name(), text.name()));
  panel->setText(caption);
}

// The round pen width sample, centred in its panel.
class TWidthSample : public QWidget {
public:
  explicit TWidthSample(QWidget* parent) : QWidget(parent) {}
  int Diameter = 4;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(
        QRectF((width() - Diameter) / 2.0, (height() - Diameter) / 2.0, Diameter, Diameter));
  }
};

const char* ToolCaption(TEditTool tool, TFillStyle style) {
  switch (tool) {
  case TEditTool::Select:
    return "Crop";
  case TEditTool::Fill:
    return style == fsBorder ? "Border Fill" : "Surface Fill";
  case TEditTool::Line:
    return "Line Draw";
  case TEditTool::Rectangle:
    return "Rectangle";
  case TEditTool::Ellipse:
    return "Ellipse";
  case TEditTool::Pen:
    return "Pen";
  case TEditTool::Erase:
    return "Erase";
  default:
    return "Tools";
  }
}

} // namespace

TEditingTools::TEditingTools(TKestrelMain& main)
    : QWidget(&main, Qt::Tool | Qt::WindowStaysOnTopHint), main_(main) {
  setObjectName("EditingTools");
  setWindowTitle("Editing Tools");
  auto* grid = new QGridLayout(this);
  grid->setSpacing(2);
  grid->setContentsMargins(4, 4, 4, 4);
  int row = 0;
  auto pair = [&](QWidget* left, QWidget* right) {
    grid->addWidget(left, row, 0);
    if (right) grid->addWidget(right, row, 1);
    ++row;
  };
  CropButton = AddButton("CropButton", "Crop", "Select Area", true);
  PenButton = AddButton("PenButton", "Pen", "Pen", true);
  SurfButton = AddButton("SurfButton", "Surf", "Surface Fill", true);
  BordButton = AddButton("BordButton", "Bord", "Border Fill", true);
  LineButton = AddButton("LineButton", "Line", "Line ", true);
  RectButton = AddButton("RectButton", "Rect", "Rectangle", true);
  EllipseButton = AddButton("EllipseButton", "Ellipse", "Ellipse", true);
  EraseButton = AddButton("EraseButton", "Erase", "Erase", true);
  pair(CropButton, PenButton);
  pair(SurfButton, BordButton);
  pair(LineButton, RectButton);
  pair(EllipseButton, EraseButton);
  for (QToolButton* tool : {CropButton, PenButton, SurfButton, BordButton, LineButton, RectButton,
                            EllipseButton, EraseButton})
    connect(tool, &QToolButton::clicked, this, [this, tool] { ToolButtonClick(tool); });

  PenColor = new QLabel(this);
  PenColor->setObjectName("PenColor");
  FillColor = new QLabel(this);
  FillColor->setObjectName("FillColor");
  for (QLabel* panel : {PenColor, FillColor}) {
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumHeight(22);
  }
  pair(PenColor, FillColor);

  Bx = new QFrame(this);
  Bx->setObjectName("Bx");
  Bx->setToolTip("Pen Width");
  Bx->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Bx->setMouseTracking(true);
  auto* bxLayout = new QHBoxLayout(Bx);
  bxLayout->setContentsMargins(2, 0, 2, 0);
  bxLayout->addWidget(new QLabel("Width     ", Bx));
  Shape1 = new TWidthSample(Bx);
  Shape1->setObjectName("Shape1");
  Shape1->setFixedSize(18, 18);
  bxLayout->addWidget(Shape1);
  SnifPanel = new QLabel(this);
  SnifPanel->setObjectName("SnifPanel");
  SnifPanel->setToolTip("Sniffer Color");
  SnifPanel->setMinimumHeight(22);
  pair(Bx, SnifPanel);
  for (QObject* watched :
       {static_cast<QObject*>(Bx), static_cast<QObject*>(Shape1), static_cast<QObject*>(SnifPanel)})
    watched->installEventFilter(this);

  ColorPickBtn = AddButton("ColorPickBtn", "Color", "Paint Box");
  ShowFileView = AddButton("ShowFileView", "Files", "Show Fileview");
  pair(ColorPickBtn, ShowFileView);
  AdjustButton = AddButton("AdjustButton", "Adjust", "Adjust Object", true);
  TextButton = AddButton("TextButton", "Text", "Write in Selected Area", true);
  pair(AdjustButton, TextButton);
  CopyButton = AddButton("CopyButton", "Copy", "Copy Selected Area");
  PasteButton = AddButton("PasteButton", "Paste", "Paste to Selected Area");
  pair(CopyButton, PasteButton);
  InputButton = AddButton("InputButton", "Input", "Transfer Graphic to Input");
  SaveButton = AddButton("SaveButton", "Save", "Save Image As");
  pair(InputButton, SaveButton);
  NewButton = AddButton("NewButton", "New", "New Canvas");
  pair(NewButton, nullptr);
  connect(ColorPickBtn, &QToolButton::clicked, this, [this] {
    if (QAction* picker = main_.Commands().Action("Color1"); picker && picker->isEnabled())
      picker->trigger();
  });
  connect(ShowFileView, &QToolButton::clicked, this,
          [this] { main_.Commands().Action("FileSelector1")->trigger(); });
  connect(AdjustButton, &QToolButton::clicked, this, &TEditingTools::AdjustButtonClick);
  connect(TextButton, &QToolButton::clicked, this, &TEditingTools::TextButtonClick);
  connect(CopyButton, &QToolButton::clicked, &main_, &TKestrelMain::EditCopyClick);
  connect(PasteButton, &QToolButton::clicked, &main_, &TKestrelMain::EditPasteClick);
  connect(InputButton, &QToolButton::clicked, &main_, &TKestrelMain::EditInputClick);
  connect(SaveButton, &QToolButton::clicked, &main_, &TKestrelMain::EditSaveClick);
  connect(NewButton, &QToolButton::clicked, &main_, &TKestrelMain::NewCanvasClick);

  auto* zoomBar = new QWidget(this);
  zoomBar->setObjectName("ZoomBar");
  auto* zoomLayout = new QHBoxLayout(zoomBar);
  zoomLayout->setContentsMargins(0, 0, 0, 0);
  zoomLayout->setSpacing(1);
  const char* zoomNames[4] = {"X2", "X4", "X8", "X16"};
  for (int i = 0; i < 4; ++i) {
    ZoomButtons[static_cast<size_t>(i)] = AddButton(zoomNames[i], zoomNames[i], zoomNames[i], true);
    zoomLayout->addWidget(ZoomButtons[static_cast<size_t>(i)], 1);
    connect(ZoomButtons[static_cast<size_t>(i)], &QToolButton::clicked, this,
            [this, i] { X2ButtonClick(i); });
  }
  grid->addWidget(zoomBar, row++, 0, 1, 2);

  UndoButton = new QPushButton("Undo", this);
  UndoButton->setObjectName("UndoButton");
  DoItButton = new QPushButton("Do It!", this);
  DoItButton->setObjectName("DoItButton");
  DoItButton->setDefault(true);
  const int high = UndoButton->sizeHint().height() * 6 / 5;
  for (QPushButton* button : {UndoButton, DoItButton})
    button->setMinimumHeight(high);
  pair(UndoButton, DoItButton);
  connect(UndoButton, &QPushButton::clicked, &main_, &TKestrelMain::EditUndoClick);
  connect(DoItButton, &QPushButton::clicked, &main_, &TKestrelMain::EditDoItClick);

  StatusX = new QLabel("X: ", this);
  StatusX->setObjectName("StatusX");
  StatusY = new QLabel("Y: ", this);
  StatusY->setObjectName("StatusY");
  pair(StatusX, StatusY);
  ShowWidth();
  ShowTool(TEditTool::None, fsSurface);
}

QToolButton* TEditingTools::AddButton(const char* name, const char* caption, const char* hint,
                                      bool checkable) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setText(caption);
  button->setToolTip(hint);
  button->setCheckable(checkable);
  button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

void TEditingTools::ToolButtonClick(QToolButton* button) {
  if (showingTool_) return;
  if (!button->isChecked()) {
    main_.SelectEditTool(TEditTool::None);
    return;
  }
  const TEditTool tool = button == CropButton                           ? TEditTool::Select
                         : button == SurfButton || button == BordButton ? TEditTool::Fill
                         : button == LineButton                         ? TEditTool::Line
                         : button == RectButton                         ? TEditTool::Rectangle
                         : button == EllipseButton                      ? TEditTool::Ellipse
                         : button == PenButton                          ? TEditTool::Pen
                                                                        : TEditTool::Erase;
  main_.PaintBox1->update();
  main_.SelectEditTool(tool, button == BordButton ? fsBorder : fsSurface);
}

void TEditingTools::ShowTool(TEditTool tool, TFillStyle style) {
  showingTool_ = true;
  const std::pair<QToolButton*, bool> marks[] = {
      {CropButton, tool == TEditTool::Select},
      {SurfButton, tool == TEditTool::Fill && style == fsSurface},
      {BordButton, tool == TEditTool::Fill && style == fsBorder},
      {LineButton, tool == TEditTool::Line},
      {RectButton, tool == TEditTool::Rectangle},
      {EllipseButton, tool == TEditTool::Ellipse},
      {PenButton, tool == TEditTool::Pen},
      {EraseButton, tool == TEditTool::Erase}};
  for (const auto& [button, down] : marks)
    button->setChecked(down);
  showingTool_ = false;
  ShowColors();
  Refresh();
}

void TEditingTools::ShowColors() {
  const TPictureEditor& editor = *main_.Editor;
  const TEditTool tool = editor.SelectedTool();
  const TToolSettings& s = editor.Settings;
  const QColor face = palette().color(QPalette::Button);
  const QColor text = palette().color(QPalette::ButtonText);
  const bool penShown = tool != TEditTool::None && tool != TEditTool::Select &&
                        !(tool == TEditTool::Fill && editor.FillStyle() == fsSurface);
  if (penShown)
    Paint(PenColor, ToQColor(s.PenColor), Contrast(s.PenColor), "Pen Color");
  else
    Paint(PenColor, face, text, "");
  if (tool == TEditTool::Fill)
    Paint(FillColor, ToQColor(s.FillColor), Contrast(s.FillColor),
          editor.FillStyle() == fsBorder ? "Border " : "Surface");
  else
    Paint(FillColor, face, text, "");
  Paint(SnifPanel, ToQColor(sniffed_), Contrast(sniffed_), "");
}

void TEditingTools::ShowWidth() {
  static_cast<TWidthSample*>(Shape1)->Diameter = PenSampleSize(main_.Editor->Settings.PenStep);
  Shape1->update();
}

void TEditingTools::Refresh() {
  const TPictureEditor& editor = *main_.Editor;
  const TEditTool active = editor.ActiveTool(), selected = editor.SelectedTool();
  const bool strokeTool = active == TEditTool::Pen || active == TEditTool::Erase;
  AdjustButton->setEnabled(!strokeTool);
  if (selected == TEditTool::Pen || selected == TEditTool::Erase)
    AdjustButton->setChecked(false);
  else
    AdjustButton->setChecked(editor.AdjustDown());
  CopyButton->setEnabled(selected == TEditTool::Select);
  PasteButton->setEnabled(selected == TEditTool::Select && !TextButton->isChecked());
  TextButton->setChecked(editor.TextDown);
  QString caption = ToolCaption(selected, editor.FillStyle());
  if (AdjustButton->isChecked()) caption += " : Adjust";
  setWindowTitle(caption);
  for (QToolButton* zoom : ZoomButtons)
    zoom->setEnabled(!TextButton->isChecked());
  ShowFileView->setEnabled(!main_.FileView->isVisible() || main_.BigScreen);
  ColorPickBtn->setEnabled(main_.Commands().Action("Color1")->isEnabled());
}

void TEditingTools::ShowPosition(TPoint point) {
  const TPictureEditor& editor = *main_.Editor;
  QString x = QString("X: %1").arg(point.X), y = QString("Y: %1").arg(point.Y);
  const TCorners c = NormalizedCorners(editor.Corners());
  if (editor.Adjusting()) {
    const TAdjustZone zone = editor.ZoneAt(point);
    if (zone == TAdjustZone::Inside) {
      x = QString("L: %1").arg(c.Left);
      y = QString("T: %1").arg(c.Top);
    } else if (zone == TAdjustZone::Outside) {
      x = QString("R: %1").arg(c.Right);
      y = QString("B: %1").arg(c.Bottom);
    } else {
      const TSize size = ShapeSize(c);
      x = QString("W: %1").arg(size.Width);
      y = QString("H: %1").arg(size.Height);
    }
  } else if (editor.Drawing() && editor.HasShape()) {
    const TSize size = ShapeSize(editor.Corners());
    x = QString("W: %1").arg(size.Width);
    y = QString("H: %1").arg(size.Height);
  }
  StatusX->setText(x);
  StatusY->setText(y);
}

void TEditingTools::ShowSniffed(TColor color) {
  sniffed_ = color;
  Paint(SnifPanel, ToQColor(color), Contrast(color), "");
}

void TEditingTools::ShowZoom(int factor) {
  const int step = factor > 1 ? ZoomStepOfFactor(factor) : 0;
  for (int i = 0; i < 4; ++i)
    ZoomButtons[static_cast<size_t>(i)]->setChecked(step == i + 1);
}

void TEditingTools::Shape1MouseDown(bool left) {
  TToolSettings& s = main_.Editor->Settings;
  s.PenStep = NextPenStep(s.PenStep, left);
  ShowWidth();
}

void TEditingTools::SnifPanelMouseDown(bool left) {
  TToolSettings& s = main_.Editor->Settings;
  (left ? s.PenColor : s.FillColor) = sniffed_;
  ShowColors();
}

void TEditingTools::AdjustButtonClick() {
  main_.EditAdjust(AdjustButton->isChecked());
}

void TEditingTools::TextButtonClick() {
  main_.EditText(TextButton->isChecked());
}

void TEditingTools::X2ButtonClick(int index) {
  const bool down = ZoomButtons[static_cast<size_t>(index)]->isChecked();
  // One at a time: the others go up.
  for (int i = 0; i < 4; ++i)
    if (i != index) ZoomButtons[static_cast<size_t>(i)]->setChecked(false);
  main_.EditZoom(index + 1, down);
}

void TEditingTools::closeEvent(QCloseEvent* event) {
  main_.SelectEditTool(TEditTool::None);
  QWidget::closeEvent(event);
}

bool TEditingTools::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    const bool left = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (watched == Bx || watched == Shape1) {
      Shape1MouseDown(left);
      return true;
    }
    if (watched == SnifPanel) {
      SnifPanelMouseDown(left);
      return true;
    }
  }
  if (watched == Bx && event->type() == QEvent::Enter) Bx->setFrameShadow(QFrame::Raised);
  if (watched == Bx && event->type() == QEvent::Leave) Bx->setFrameShadow(QFrame::Sunken);
  return QWidget::eventFilter(watched, event);
}

void TEditingTools::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    main_.EditDoItClick();
    return;
  }
  QWidget::keyPressEvent(event);
}

} // namespace kestrel
