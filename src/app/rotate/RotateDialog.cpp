#include "app/rotate/RotateDialog.h"

#include "platform/ui/MessageBox.h"
#include "processing/rotate/Rotation.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstring>

namespace kestrel {

namespace {

constexpr int kPresets[] = {0, 20, 30, 45, 60, 90};
constexpr int kTickStep = 45;

} // namespace

TRotateDialog::TRotateDialog(TRotateHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Host(host) {
  setObjectName("RotateDialog");
  setWindowTitle("Arbitrary Rotation");
  setModal(false);
  Worker = new TRotator(this);
  Worker->OnRows = [this](const TRotatedBand& band) { RowsMade(band); };
  Worker->OnTerminate = [this](bool completed, const std::string& error) {
    RunEnded(completed, error);
  };
  FormCreate();
}

TRotateDialog::~TRotateDialog() {
  Worker->Abandon();
}

void TRotateDialog::FormCreate() {
  const int m = std::max(1, logicalDpiY() / 30);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(m, m, m, m);

  TrackBar1 = new QSlider(Qt::Horizontal, this);
  TrackBar1->setObjectName("TrackBar1");
  TrackBar1->setRange(-kMaxAngle, kMaxAngle);
  TrackBar1->setTickInterval(kTickStep);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setMinimumWidth(360);
  layout->addWidget(TrackBar1);

  auto* marks = new QHBoxLayout;
  for (size_t i = 0; i < Labels.size(); ++i) {
    if (i > 0) marks->addStretch(1);
    Labels[i] = new QLabel(QString::number(-kMaxAngle + static_cast<int>(i) * kTickStep), this);
    marks->addWidget(Labels[i]);
  }
  layout->addLayout(marks);

  auto* row = new QHBoxLayout;
  SpinEdit1 = new QSpinBox(this);
  SpinEdit1->setObjectName("SpinEdit1");
  SpinEdit1->setRange(-kMaxAngle, kMaxAngle);
  SpinEdit1->findChild<QLineEdit*>()->setMaxLength(4);
  row->addWidget(SpinEdit1);
  for (size_t i = 0; i < Presets.size(); ++i) {
    const int preset = kPresets[i];
    Presets[i] = new QPushButton(QString::number(preset), this);
    Presets[i]->setObjectName(QString("RB%1").arg(preset));
    Presets[i]->setAutoDefault(false); // Enter applies the angle, whatever has the focus
    Presets[i]->setFixedWidth(Presets[i]->fontMetrics().horizontalAdvance("000") + 2 * m);
    connect(Presets[i], &QPushButton::clicked, this, [this, preset] { RB0Click(preset); });
    row->addWidget(Presets[i]);
  }
  SpeedButton1 = new QPushButton("-", this);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setCheckable(true);
  SpeedButton1->setAutoDefault(false);
  SpeedButton1->setFixedWidth(Presets[0]->width());
  row->addWidget(SpeedButton1);
  // The busy light is the button's size plus m on every side.
  Indipanel = new QFrame(this);
  Indipanel->setObjectName("Indipanel");
  Indipanel->setAutoFillBackground(true);
  auto* light = new QHBoxLayout(Indipanel);
  light->setContentsMargins(m, m, m, m);
  Button1 = new QPushButton("Apply", Indipanel);
  Button1->setDefault(true);
  light->addWidget(Button1);
  row->addWidget(Indipanel);
  layout->addLayout(row);

  connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
  connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { SpinEdit1Change(); });
  connect(SpeedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  SpinEdit1Change();
  SetBusy(false);
}

void TRotateDialog::ShowForm() {
  show();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  raise();
}

void TRotateDialog::TrackBar1Change() {
  SpinEdit1->setValue(TrackBar1->value());
}

void TRotateDialog::SpinEdit1Change() {
  TrackBar1->setValue(SpinEdit1->value());
}

void TRotateDialog::RB0Click(int preset) {
  SpinEdit1->setValue(SpeedButton1->isChecked() ? -preset : preset);
}

void TRotateDialog::SpeedButton1Click() {
  // The button's own state has flipped too, which signs the presets from now on.
  SpinEdit1->setValue(-SpinEdit1->value());
}

void TRotateDialog::Button1Click() {
  // Another turn or a resampling is under way: nothing happens.
  if (Running()) return;
  if (Host.EditingToolsActive() && !Host.EditingWarningAccepted()) return;
  if (!TBusyClaim::NotBusy() || !Host.HasPicture()) return;
  Host.Snapshot("Arbitrary Rotation");
  StartRun(SpinEdit1->value());
}

// Prepares the source and the destination here and starts the worker. A turn that cannot be made
// (past the size limits, out of memory) is told and leaves the view as it was.
bool TRotateDialog::StartRun(int degrees) {
  TBusyClaim claim;
  if (!claim.Held()) return false;
  SetBusy(true);
  Indipanel->repaint();
  auto source = std::make_shared<TBitmap>();
  TBitmap blank;
  const TColor background = Host.ViewBackground();
  try {
    Host.RotationSource(*source);
    // Every pixel a whole number of bytes; the indices of 1- and 4-bit pictures are kept.
    if (source->BitsPerPixel() < 8) source->SetPixelFormat(pf8bit);
    TRotation(*source, degrees, background).Blank(blank);
  } catch (const std::exception& e) {
    SetBusy(false);
    ShowMessage(QString::fromStdString(e.what()), "Kestrel!", TMsgIcon::Warning, this);
    return false;
  }
  RunWidth = blank.Width();
  RunHeight = blank.Height();
  Host.RotationStarted(blank);
  Worker->Start(std::move(source), degrees, background, std::move(claim));
  return true;
}

void TRotateDialog::RowsMade(const TRotatedBand& band) {
  TBitmap& view = Host.ViewBitmap();
  // The view is the destination the run started with, unless something replaced it meanwhile.
  if (view.Width() != RunWidth || view.Height() != RunHeight ||
      static_cast<size_t>(view.BytesPerLine()) < band.RowBytes)
    return;
  for (int i = 0; i < band.Rows; ++i)
    std::memcpy(view.ScanLine(band.FirstRow + i), band.Pixels.data() + band.RowBytes * i,
                band.RowBytes);
  Host.ShowRotated();
}

void TRotateDialog::RunEnded(bool completed, const std::string& error) {
  SetBusy(false);
  Host.RotationEnded(completed && error.empty());
  if (!error.empty()) ShowMessage(QString::fromStdString(error), "Kestrel!", TMsgIcon::Error, this);
}

void TRotateDialog::StopAndWait() {
  if (!Running()) return;
  Worker->Abandon();
  SetBusy(false);
  Host.RotationEnded(false);
}

void TRotateDialog::WaitUntilIdle() {
  while (Running())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TRotateDialog::SetBusy(bool busy) {
  busy_ = busy;
  QPalette palette = Indipanel->palette();
  palette.setColor(QPalette::Window, busy ? Qt::red : Qt::green);
  Indipanel->setPalette(palette);
}

} // namespace kestrel
