#include "app/canvas/NewCanvasDlg.h"

#include "imaging/core/Bitmap.h"
#include "platform/ui/MessageBox.h"
#include "processing/canvas/CanvasSize.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kestrel {
namespace {

constexpr const char* kMessageCaption = "Kestrel!: New Canvas";
constexpr int kBitsChoices[] = {4, 8, 16, 24};

QLabel* Panel(const QString& text, QWidget* parent) {
  auto* panel = new QLabel(text, parent);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setAlignment(Qt::AlignCenter);
  panel->setAutoFillBackground(true);
  return panel;
}

} // namespace

TNewCanvasDlg::TNewCanvasDlg(TNewCanvasHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Host(host) {
  setObjectName("NewCanvasDlg");
  setWindowTitle(kCaption);
  setModal(false);
  FormCreate();
}

TNewCanvasDlg::~TNewCanvasDlg() = default;

void TNewCanvasDlg::FormCreate() {
  auto* grid = new QGridLayout(this);
  ResizeExisting = new QRadioButton("Resize Existing", this);
  ResizeExisting->setObjectName("ResizeExisting");
  ResizeExisting->setChecked(true);
  NewCanvas = new QRadioButton("New Canvas", this);
  NewCanvas->setObjectName("NewCanvas");
  grid->addWidget(ResizeExisting, 0, 0, 1, 2);
  grid->addWidget(NewCanvas, 0, 2, 1, 2);

  BitsperPixel1 = new QComboBox(this);
  BitsperPixel1->setObjectName("BitsperPixel1");
  for (int bits : kBitsChoices)
    BitsperPixel1->addItem(QString::number(bits));
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setMinimumContentsLength(16);
  grid->addWidget(new QLabel("Bits/Pixel", this), 1, 0);
  grid->addWidget(BitsperPixel1, 1, 1);
  grid->addWidget(new QLabel("Palette", this), 1, 2);
  grid->addWidget(ComboBox1, 1, 3);

  Width1 = new QLineEdit("16", this);
  Width1->setObjectName("Width1");
  Height1 = new QLineEdit("16", this);
  Height1->setObjectName("Height1");
  grid->addWidget(new QLabel("Width", this), 2, 0);
  grid->addWidget(Width1, 2, 1);
  grid->addWidget(new QLabel("Height", this), 2, 2);
  grid->addWidget(Height1, 2, 3);

  FillColor = Panel("Fill Color", this);
  FillColor->setObjectName("FillColor");
  FillColor->setToolTip("Click for Color");
  FillColor->setCursor(Qt::PointingHandCursor);
  FillColor->installEventFilter(this);
  SizeToClient = new QCheckBox("SizeToClient", this);
  SizeToClient->setObjectName("SizeToClient");
  grid->addWidget(FillColor, 3, 0, 1, 2);
  grid->addWidget(SizeToClient, 3, 2, 1, 2);

  Memory = Panel(QString(), this);
  Memory->setObjectName("Memory");
  Memory->setMinimumWidth(Memory->fontMetrics().horizontalAdvance("0000.00 MB"));
  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);
  grid->addWidget(Memory, 4, 0, 1, 2);
  grid->addWidget(Button1, 4, 2, 1, 2);

  for (QLineEdit* field : {Width1, Height1}) {
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [this] { Width1Change(); });
  }
  connect(ResizeExisting, &QRadioButton::clicked, this, [this] { ResizeExistingClick(); });
  connect(NewCanvas, &QRadioButton::clicked, this, [this] { BitsperPixel1Change(); });
  connect(BitsperPixel1, &QComboBox::currentIndexChanged, this, [this] { BitsperPixel1Change(); });
  connect(SizeToClient, &QCheckBox::clicked, this, [this] { SizeToClientClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  // The fields read "16" while the request stays 1 x 1 until they change.
  width_ = height_ = 1;
  SetFillColor(fill_);
  BitsperPixel1Change();
}

void TNewCanvasDlg::ShowForm() {
  show();
  raise();
  activateWindow();
}

void TNewCanvasDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

bool TNewCanvasDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && (watched == Width1 || watched == Height1))
    Width1Exit(static_cast<QLineEdit*>(watched));
  if (watched == FillColor && event->type() == QEvent::MouseButtonPress) FillColorClick();
  return QDialog::eventFilter(watched, event);
}

void TNewCanvasDlg::FormShow() {
  SetFillColor(Host.PaintBoxColor());
  const bool picture = Host.HasPicture();
  // Only a shown picture can be resized.
  ResizeExisting->setEnabled(picture);
  (picture ? ResizeExisting : NewCanvas)->setChecked(true);
  BitsFromShown();
  BitsperPixel1Change();
  SizeToClientClick();
}

void TNewCanvasDlg::SetFillColor(TColor color) {
  fill_ = color & 0xFFFFFF;
  QPalette palette = FillColor->palette();
  palette.setColor(QPalette::Window, ToQColor(fill_));
  palette.setColor(QPalette::WindowText, ToQColor(ContrastColor(fill_)));
  FillColor->setPalette(palette);
}

void TNewCanvasDlg::FillColorClick() {
  Host.ShowPaintBox();
}

void TNewCanvasDlg::Width1Change() {
  width_ = RequestedSide(Width1->text());
  height_ = RequestedSide(Height1->text());
  UpdateMemory();
}

void TNewCanvasDlg::Width1Exit(QLineEdit* field) {
  const QString clamped = QString::number(ClampedSide(field->text()));
  if (field->text() != clamped) field->setText(clamped);
}

void TNewCanvasDlg::SetFields(int64_t width, int64_t height) {
  Width1->setText(QString::number(width));
  Height1->setText(QString::number(height));
}

void TNewCanvasDlg::SizeToClientClick() {
  if (SizeToClient->isChecked()) {
    rememberedWidth_ = width_;
    rememberedHeight_ = height_;
    const QSize client = Host.ViewClientSize();
    SetFields(std::max(client.width(), 1), std::max(client.height(), 1));
    return;
  }
  const TBitmap* shown = Host.ShownBitmap();
  if (Host.HasPicture() && shown) {
    TBitmap full;
    Host.ShownAtFullSize(full);
    SetFields(full.Width(), full.Height());
  } else {
    SetFields(rememberedWidth_, rememberedHeight_);
  }
}

void TNewCanvasDlg::SetSizeFromGraphic(const TGraphic* graphic) {
  if (graphic && !graphic->Empty()) SetFields(graphic->Width(), graphic->Height());
  BitsperPixel1Change();
}

int TNewCanvasDlg::ChosenBits() const {
  const int index = BitsperPixel1->currentIndex();
  return index >= 0 ? kBitsChoices[index] : 0;
}

void TNewCanvasDlg::BitsFromShown() {
  const TBitmap* shown = Host.ShownBitmap();
  if (!shown) return;
  const TPixelFormat format = shown->PixelFormat();
  if (format == pfDevice || format == pf32bit) {
    BitsperPixel1->setCurrentIndex(-1);
    return;
  }
  // Other depths leave the choice as it was.
  if (const int bits = CanvasBitsOf(format))
    BitsperPixel1->setCurrentIndex(BitsperPixel1->findText(QString::number(bits)));
}

void TNewCanvasDlg::ResizeExistingClick() {
  BitsFromShown();
  BitsperPixel1Change();
}

void TNewCanvasDlg::FillPaletteList(int bits, bool imagePalette) {
  ComboBox1->clear();
  if (bits == 0) return;
  for (TCanvasPalette palette : CanvasPaletteChoices(bits, imagePalette, Host.ScreenBits()))
    ComboBox1->addItem(CanvasPaletteText(palette), static_cast<int>(palette));
  ComboBox1->setCurrentIndex(0);
}

void TNewCanvasDlg::BitsperPixel1Change() {
  const bool fresh = NewCanvas->isChecked();
  BitsperPixel1->setEnabled(fresh);
  ComboBox1->setEnabled(fresh);
  const int bits = ChosenBits();
  const bool imagePalette = Host.HasPicture() && !Host.PicturePalette().IsNull();
  // Made again only when it would change, so the user's choice stays otherwise.
  if (bits != listBits_ || imagePalette != listImagePalette_) {
    FillPaletteList(bits, imagePalette);
    listBits_ = bits;
    listImagePalette_ = imagePalette;
  }
  UpdateMemory();
}

void TNewCanvasDlg::UpdateMemory() {
  const int bits = ChosenBits();
  Memory->setText(CanvasMemoryText(width_, height_, bits ? bits : Host.ScreenBits()));
}

std::unique_ptr<TBitmap> TNewCanvasDlg::MakeCanvas(int width, int height) const {
  if (ResizeExisting->isChecked()) {
    TBitmap full;
    Host.ShownAtFullSize(full);
    return ResizedCanvas(full, width, height, fill_);
  }
  const int bits = ChosenBits() ? ChosenBits() : 24;
  const auto palette = ComboBox1->currentIndex() >= 0
                           ? static_cast<TCanvasPalette>(ComboBox1->currentData().toInt())
                           : TCanvasPalette::None;
  return EmptyCanvas(width, height, bits, MakeCanvasPalette(palette, Host.PicturePalette()), fill_);
}

void TNewCanvasDlg::Button1Click() {
  if (!SideInRange(Width1->text()) || !SideInRange(Height1->text())) {
    Width1Exit(Width1);
    Width1Exit(Height1);
    ShowMessage("Width and height must each be between 1 and 5000 pixels.", kMessageCaption,
                TMsgIcon::Warning, this);
    return;
  }
  if (ResizeExisting->isChecked() && !Host.HasPicture()) return;
  const int width = ClampedSide(Width1->text());
  const int height = ClampedSide(Height1->text());
  std::unique_ptr<TBitmap> canvas;
  try {
    canvas = MakeCanvas(width, height);
  } catch (const std::exception& e) {
    ShowMessage(QString("A canvas of %1 x %2 pixels cannot be made: %3")
                    .arg(width)
                    .arg(height)
                    .arg(QString::fromStdString(e.what())),
                kMessageCaption, TMsgIcon::Error, this);
    return;
  }
  Host.ReplaceCanvas(std::move(canvas));
  close();
}

} // namespace kestrel
