#include "app/paintbox/ColorDlg.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/DefaultPalettes.h"
#include "platform/settings/Settings.h"
#include "platform/ui/MessageBox.h"
#include "processing/colour/ReduceToPalette.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrel {
namespace {

constexpr const char* kSection = "Color Picker";
const TSettingKey SizeKey{kSection, "Size"};
const TSettingKey PickedKey{kSection, "Color Picked"};
const TSettingKey TinyKey{kSection, "Tiny"};
const TSettingKey PaletteIndexKey{kSection, "Palette Index"};
constexpr int kTinyBit = 1;
constexpr int kSmallBit = 16;
constexpr int kSwatchGap = 2;

QString CustomColorName(int number) {
  return "Custom Color " + QString::number(number);
}

} // namespace

TRoundShape::TRoundShape(QWidget* parent) : QWidget(parent) {}

void TRoundShape::SetColor(TColor color) {
  color_ = color;
  update();
}

void TRoundShape::SetOutline(TColor outline) {
  outline_ = outline;
  update();
}

void TRoundShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(ToQColor(outline_));
  painter.setBrush(ToQColor(color_));
  const int radius = std::max(2, std::min(width(), height()) / 4);
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

void TRoundShape::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown) OnMouseDown(event->button());
}

// The grid's area: paints the grid image and reports presses.
class TColorDlg::TGridArea : public QWidget {
public:
  explicit TGridArea(TColorDlg& owner) : QWidget(&owner), owner_(owner) {
    setObjectName("PaintBoxGrid");
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(clWindow));
    painter.drawImage(0, 0, owner_.GridImage());
  }
  void mousePressEvent(QMouseEvent* event) override {
    owner_.GridMouseDown(event->position().toPoint(), event->modifiers());
  }

private:
  TColorDlg& owner_;
};

TColorDlg::TColorDlg(TColorDlgHost& host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Host(host) {
  setObjectName("ColorDlg");
  setWindowTitle(kCaption);
  setModal(false);
  FormCreate();
}

TColorDlg::~TColorDlg() {
  FormDestroy();
}

void TColorDlg::FormCreate() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  BuildTopPanel();
  GridBox = new TGridArea(*this);
  BuildSwatches();
  layout->addWidget(TopPanel);
  layout->addWidget(GridBox);
  layout->addWidget(SwatchPanel);

  for (const TPaletteType& type : PaletteTypes())
    ComboBox1->addItem(type.Text);
  ReadSettings();
  ShowColor(picked_, pickedCell_);

  connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
  connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
  connect(UpDown1, &QSpinBox::valueChanged, this, [this] { UpDown1Click(); });
  connect(SmallPicker, &QCheckBox::clicked, this, [this] { SmallPickerClick(); });
  connect(TinyPicker, &QCheckBox::clicked, this, [this] { TinyPickerClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  ComboBox1Change();
}

void TColorDlg::BuildTopPanel() {
  TopPanel = new QWidget(this);
  auto* grid = new QGridLayout(TopPanel);
  grid->setContentsMargins(4, 4, 4, 2);
  grid->setSpacing(3);

  ComboBox1 = new QComboBox(TopPanel);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setToolTip("Change Palettes");
  UpDown1 = new QSpinBox(TopPanel);
  UpDown1->setObjectName("UpDown1");
  UpDown1->setRange(0, kSizePositions - 1);
  UpDown1->setToolTip("Resize Paintbox");
  grid->addWidget(ComboBox1, 0, 0, 1, 3);
  grid->addWidget(UpDown1, 0, 3);

  CheckBox1 = new QCheckBox("Alt", TopPanel);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setToolTip("More Colors");
  SmallPicker = new QCheckBox("Small", TopPanel);
  SmallPicker->setObjectName("SmallPicker");
  TinyPicker = new QCheckBox("Tiny", TopPanel);
  TinyPicker->setObjectName("TinyPicker");
  TinyPicker->setToolTip("Reduce Paintbox");
  grid->addWidget(CheckBox1, 1, 0);
  grid->addWidget(SmallPicker, 1, 1);
  grid->addWidget(TinyPicker, 1, 2);

  static const char* const kChannels[] = {"R= ", "G= ", "B= "};
  for (size_t i = 0; i < Samples.size(); ++i) {
    auto* cell = new QHBoxLayout;
    cell->setSpacing(2);
    Samples[i] = new TRoundShape(TopPanel);
    Samples[i]->setFixedSize(12, 12);
    ChannelLabels[i] = new QLabel(kChannels[i], TopPanel);
    ChannelLabels[i]->setMinimumWidth(ChannelLabels[i]->fontMetrics().horizontalAdvance("G= 255"));
    cell->addWidget(Samples[i]);
    cell->addWidget(ChannelLabels[i]);
    grid->addLayout(cell, 2, static_cast<int>(i));
  }
  CurrentColor = new QLabel(TopPanel);
  CurrentColor->setObjectName("CurrentColor");
  CurrentColor->setToolTip("Current Color ");
  CurrentColor->setAutoFillBackground(true);
  CurrentColor->setAlignment(Qt::AlignCenter);
  CurrentColor->setFrameShape(QFrame::Panel);
  CurrentColor->setFrameShadow(QFrame::Sunken);
  CurrentColor->setMinimumWidth(CurrentColor->fontMetrics().horizontalAdvance("0000"));
  grid->addWidget(CurrentColor, 1, 3, 2, 1);

  Button1 = new QPushButton("Synthesize", TopPanel);
  Button1->setObjectName("Button1");
  Button1->setToolTip("Artificial Palette");
  Button1->setAutoDefault(false);
  Button1->hide();
  grid->addWidget(Button1, 3, 0, 1, 4);
}

void TColorDlg::BuildSwatches() {
  SwatchPanel = new QFrame(this);
  SwatchPanel->setObjectName("SwatchPanel");
  for (int i = 0; i < kSwatchCount; ++i) {
    auto* swatch = new TRoundShape(SwatchPanel);
    swatch->setObjectName("CustomColor" + QString::number(i + 1));
    swatch->OnMouseDown = [this, i](Qt::MouseButton button) { SwatchMouseDown(i, button); };
    Swatches[static_cast<size_t>(i)] = swatch;
  }
}

void TColorDlg::ReadSettings() {
  // A damaged or hand-edited store may hold any number: each is kept within what it can mean.
  UpDown1->setValue(std::clamp(ReadSetting(SizeKey, 1), 0, kSizePositions - 1));
  picked_ = ReadSetting(PickedKey, 0) & 0xFFFFFF;
  const int tiny = ReadSetting(TinyKey, 0);
  TinyPicker->setChecked(tiny & kTinyBit);
  SmallPicker->setChecked(tiny & kSmallBit);
  ComboBox1->setCurrentIndex(std::clamp(ReadSetting(PaletteIndexKey, 1), 0, kPaletteTypeCount - 1));
  for (int i = 0; i < kSwatchCount; ++i) {
    TSettingValue value = 0;
    try {
      ReadSetting(kSection, CustomColorName(i + 1), value);
    } catch (const std::exception&) {
      // An unreadable store leaves the swatch black.
    }
    Swatches[static_cast<size_t>(i)]->SetColor(std::get<int>(value) & 0xFFFFFF);
  }
}

void TColorDlg::FormDestroy() {
  if (!writeSettings_) return;
  try {
    const TSettingsBatch batch;
    WriteSetting(SizeKey, UpDown1->value());
    WriteSetting(PaletteIndexKey, ComboBox1->currentIndex());
    WriteSetting(PickedKey, picked_);
    WriteSetting(TinyKey, (TinyPicker->isChecked() ? kTinyBit : 0) +
                              (SmallPicker->isChecked() ? kSmallBit : 0));
    for (int i = 0; i < kSwatchCount; ++i)
      WriteSetting(kSection, CustomColorName(i + 1), Swatches[static_cast<size_t>(i)]->Color());
  } catch (const std::exception&) {
    // The store has already said why it cannot be written.
  }
}

void TColorDlg::ShowForm() {
  if (!isVisible()) {
    show();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().topRight() - QPoint(frameGeometry().width() + 16, -40));
  }
  raise();
  activateWindow();
}

void TColorDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ComboBox1Change(); // the picture may have changed while the window was hidden
}

void TColorDlg::PictureChanged() {
  if (isVisible()) ComboBox1Change();
}

void TColorDlg::LoadPaletteCopy(int type) {
  if (type == kSystemPaletteType) {
    paletteCopy_ = SystemPalette20();
    return;
  }
  const TBitmap* shown = Host.ShownBitmap();
  paletteCopy_ = shown && !shown->Empty() ? shown->Palette() : TPalette();
}

void TColorDlg::SetUpType(int type) {
  CheckBox1->setVisible(AltApplies(type));
  QString caption = kCaption;
  bool synthesize = false;
  if (type == kImagePaletteType || type == kSystemPaletteType) LoadPaletteCopy(type);
  if (type == kImagePaletteType) {
    const TBitmap* shown = Host.ShownBitmap();
    synthesize = shown && !shown->Empty() && paletteCopy_.IsNull();
    caption += ": " + QString::number(paletteCopy_.Count()) + " colors";
  }
  Button1->setVisible(synthesize);
  setWindowTitle(caption);
  grid_ = std::make_unique<TPaintBoxGrid>(type, CheckBox1->isChecked(), paletteCopy_,
                                          CellSize(UpDown1->value(), type, logicalDpiY()));
}

void TColorDlg::ComboBox1Change() {
  const int type = std::max(ComboBox1->currentIndex(), 0);
  try {
    SetUpType(type);
  } catch (const std::exception&) {
    const QSignalBlocker blocker(ComboBox1);
    ComboBox1->setCurrentIndex(kWebPaletteType);
    SetUpType(kWebPaletteType);
  }
  Redraw();
}

void TColorDlg::Button1Click() {
  TBitmap* shown = Host.ShownBitmap();
  if (!shown || shown->Empty()) return;
  try {
    // Drawn as the view draws it, over the view's background, so transparent parts count as that.
    TBitmap drawn(shown->Width(), shown->Height(), pf24bit);
    drawn.Canvas().Brush.Color = Host.ViewBackground();
    drawn.Canvas().FillRect({0, 0, drawn.Width(), drawn.Height()});
    drawn.Canvas().Draw(0, 0, *shown);
    paletteCopy_ = BuildOctreePalette(drawn, 256, 8, true);
  } catch (const std::exception& e) {
    ShowMessage(QString::fromStdString(e.what()), kCaption, TMsgIcon::Error, this);
    return;
  }
  grid_ =
      std::make_unique<TPaintBoxGrid>(kImagePaletteType, false, paletteCopy_, grid_->CellSize());
  setWindowTitle(QString(kCaption) + ": " + QString::number(paletteCopy_.Count()) + " colors");
  Redraw();
  Button1->hide();
}

void TColorDlg::CheckBox1Click() {
  ComboBox1Change();
}

void TColorDlg::UpDown1Click() {
  ComboBox1Change();
}

void TColorDlg::SmallPickerClick() {
  Arrange();
}

void TColorDlg::TinyPickerClick() {
  Arrange();
}

void TColorDlg::Redraw() {
  const TSize extent = grid_->Extent();
  QImage image(extent.Width, extent.Height, QImage::Format_RGB32);
  if (image.isNull()) {
    ShowMessage("Out of Memory AK", kCaption, TMsgIcon::Error, this);
    return;
  }
  image.fill(ToQColor(clWindow));
  {
    QPainter painter(&image);
    for (int n = 0; n <= grid_->LastCell(); ++n) {
      const TRect r = grid_->CellRect(n);
      painter.setPen(n == pickedCell_ ? Qt::white : Qt::black);
      painter.setBrush(ToQColor(grid_->CellColor(n)));
      painter.drawRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    }
  }
  gridImage_ = std::move(image);
  Arrange();
  GridBox->update();
}

void TColorDlg::Arrange() {
  ComboBox1->setFixedWidth(PaletteListWidth(UpDown1->value(), logicalDpiX()));
  const bool small = SmallPicker->isChecked();
  const bool tiny = TinyPicker->isChecked() && !small; // only the swatches are left
  TopPanel->setVisible(!tiny);
  GridBox->setVisible(!tiny);
  SwatchPanel->setVisible(!small);
  const int width = std::max(gridImage_.width(), TopPanel->sizeHint().width());
  GridBox->setFixedSize(width, gridImage_.height());

  const int side = std::max((width - kSwatchesPerRow * kSwatchGap - 8) / kSwatchesPerRow, 4);
  for (int i = 0; i < kSwatchCount; ++i)
    Swatches[static_cast<size_t>(i)]->setGeometry(
        4 + i % kSwatchesPerRow * (side + kSwatchGap),
        kSwatchGap + i / kSwatchesPerRow * (side + kSwatchGap), side, side);
  const int rows = (kSwatchCount + kSwatchesPerRow - 1) / kSwatchesPerRow;
  SwatchPanel->setFixedSize(width, rows * (side + kSwatchGap) + kSwatchGap);
}

void TColorDlg::GridMouseDown(QPoint position, Qt::KeyboardModifiers modifiers) {
  const int cell = grid_->CellAt(position.x(), position.y());
  if (cell < 0) return; // a gap, the margin or past the last cell picks nothing
  Pick(cell, modifiers);
  Redraw();
}

void TColorDlg::Pick(int cell, Qt::KeyboardModifiers modifiers) {
  const int type = grid_->Type();
  TColor color = grid_->CellColor(cell);
  if ((type == kImagePaletteType || type == kSystemPaletteType) &&
      (modifiers & Qt::ControlModifier)) {
    // Ctrl edits the picture's palette with the colour picked before; the pick stays.
    color = picked_;
    if (type == kImagePaletteType && cell < paletteCopy_.Count() && Host.ShownBitmap()) {
      Host.SetShownPaletteEntry(cell, picked_);
      LoadPaletteCopy(type);
      grid_ = std::make_unique<TPaintBoxGrid>(type, false, paletteCopy_, grid_->CellSize());
    }
  }
  HandOver(color, cell);
}

void TColorDlg::ShowColor(TColor color, int cell) {
  picked_ = color & 0xFFFFFF;
  pickedCell_ = cell;
  const int channels[] = {RedOf(picked_), GreenOf(picked_), BlueOf(picked_)};
  Samples[0]->SetColor(RgbColor(channels[0], 0, 0));
  Samples[1]->SetColor(RgbColor(0, channels[1], 0));
  Samples[2]->SetColor(RgbColor(0, 0, channels[2]));
  static const char* const kChannels[] = {"R= ", "G= ", "B= "};
  for (size_t i = 0; i < ChannelLabels.size(); ++i)
    ChannelLabels[i]->setText(kChannels[i] + QString::number(channels[i]));
  QPalette palette = CurrentColor->palette();
  palette.setColor(QPalette::Window, ToQColor(picked_));
  palette.setColor(QPalette::WindowText, ToQColor(ContrastColor(picked_)));
  CurrentColor->setPalette(palette);
  CurrentColor->setText(cell < 0 ? QString() : QString::number(cell));
}

void TColorDlg::HandOver(TColor color, int cell) {
  ShowColor(color, cell);
  Host.ColorPicked(picked_);
}

void TColorDlg::SwatchMouseDown(int index, Qt::MouseButton button) {
  TRoundShape* swatch = Swatches[static_cast<size_t>(index)];
  if (button == Qt::RightButton) {
    swatch->SetColor(picked_);
  } else if (button == Qt::LeftButton) {
    HandOver(swatch->Color(), index + 1);
    Redraw();
  }
  if (lastSwatch_ >= 0) Swatches[static_cast<size_t>(lastSwatch_)]->SetOutline(clBlack);
  swatch->SetOutline(clWhite);
  lastSwatch_ = index;
}

} // namespace kestrel
