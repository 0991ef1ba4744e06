#include "app/resample/ResampleDialog.h"

#include "app/main/ColorCycle.h"
#include "imaging/core/Graphic.h"
#include "imaging/core/ImageLimits.h"
#include "platform/ui/DigitsField.h"
#include "platform/ui/MessageBox.h"
#include "processing/resample/SampleRates.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

const char kCaption[] = "Kestrel!";
const char kInvalidSize[] = "Invalid Size";
const char kNotValid[] = "The Graphic is Not Valid";
const char kAnimated[] = "Sorry Cannot Resample Animated Gifs";

constexpr int kStripHeight = 12;

void Write(QLineEdit* field, int64_t value) {
  const QSignalBlocker quiet(field);
  field->setText(QString::number(value));
}

QColor LightColor(TResampleDialog::TLight light) {
  switch (light) {
  case TResampleDialog::TLight::Running:
    return Qt::red;
  case TResampleDialog::TLight::Starting:
    return Qt::yellow;
  default:
    return Qt::green;
  }
}

} // namespace

TResampleDialog::TResampleDialog(TResampleHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Host(host) {
  setObjectName("ResampleDialog");
  setWindowTitle("Resample");
  setModal(false);
  BuildLayout();
  Worker = new TResampler(this);
  Worker->OnRows = [this](const TResampleBand& band) { RowsMade(band); };
  Worker->OnProgress = [this](int percent) { ShowProgress(percent); };
  Worker->OnTerminate = [this](bool completed, const std::string& error) {
    RunEnded(completed, error);
  };
  Speed->setChecked(true);
  SetLight(TLight::Idle);
}

TResampleDialog::~TResampleDialog() {
  Worker->Abandon();
}

void TResampleDialog::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  // The window follows its contents: showing the sample rates grows it by their height.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  CurrentSize = new QLabel(this);
  layout->addWidget(CurrentSize);

  auto* sizes = new QGridLayout;
  WidthEdit = DigitsField(kSideDigits, this);
  HeightEdit = DigitsField(kSideDigits, this);
  SizeEdit = DigitsField(kSizeDigits, this);
  SizeEdit->setText("100");
  sizes->addWidget(new QLabel("Width", this), 0, 0);
  sizes->addWidget(new QLabel("Height", this), 0, 1);
  sizes->addWidget(new QLabel("Size %", this), 0, 2);
  sizes->addWidget(WidthEdit, 1, 0);
  sizes->addWidget(HeightEdit, 1, 1);
  sizes->addWidget(SizeEdit, 1, 2);
  layout->addLayout(sizes);
  FitToClient = new QCheckBox(" Fit To Client", this);
  layout->addWidget(FitToClient);

  auto* group = new QGroupBox(this);
  auto* choices = new QHBoxLayout(group);
  Quality = new QRadioButton("Quality", group);
  Speed = new QRadioButton("Speed", group);
  More = new QPushButton("More", group);
  More->setCheckable(true);
  Panel2 = new QFrame(group);
  Panel2->setAutoFillBackground(true);
  auto* light = new QHBoxLayout(Panel2);
  light->setContentsMargins(4, 4, 4, 4); // the button sits 4 pixels inside its busy light
  Button1 = new QPushButton("Resample", Panel2);
  light->addWidget(Button1);
  choices->addWidget(Quality);
  choices->addWidget(Speed);
  choices->addWidget(More);
  choices->addWidget(Panel2);
  layout->addWidget(group);

  MorePanel = new QFrame(this);
  auto* rates = new QGridLayout(MorePanel);
  XSampleRate = new QSpinBox(MorePanel);
  XSampleRate->setRange(1, kMaxXSampleRate);
  YSampleRate = new QSpinBox(MorePanel);
  YSampleRate->setRange(1, kMaxYSampleRate);
  Manual = new QCheckBox("Manual", MorePanel);
  rates->addWidget(new QLabel("X Sample Rate", MorePanel), 0, 0);
  rates->addWidget(XSampleRate, 0, 1);
  rates->addWidget(new QLabel("Y Sample Rate", MorePanel), 1, 0);
  rates->addWidget(YSampleRate, 1, 1);
  rates->addWidget(Manual, 0, 2);
  layout->addWidget(MorePanel);
  MorePanel->hide();

  PaintBox1 = new QWidget(this);
  PaintBox1->setFixedHeight(kStripHeight);
  PaintBox1->installEventFilter(this);
  layout->addWidget(PaintBox1);

  connect(SizeEdit, &QLineEdit::textChanged, this, [this] { SizeEditChange(); });
  connect(WidthEdit, &QLineEdit::textChanged, this, [this] { WidthEditChange(); });
  connect(HeightEdit, &QLineEdit::textChanged, this, [this] { HeightEditChange(); });
  connect(FitToClient, &QCheckBox::toggled, this, [this] { FitToClientClick(); });
  connect(Quality, &QRadioButton::clicked, this, [this] { ChooseRates(); });
  connect(Speed, &QRadioButton::clicked, this, [this] { ChooseRates(); });
  connect(Manual, &QCheckBox::toggled, this, [this] { ManualClick(); });
  connect(More, &QPushButton::clicked, this, [this] { MoreClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TResampleDialog::ShowForm() {
  Refresh();
  show();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  raise();
}

void TResampleDialog::Refresh() {
  ManualClick();
  StripColor = Host.ViewBackground();
  PaintBox1->update();
  const TGraphic* picture = Host.Picture();
  PictureWidth = picture && !picture->Empty() ? picture->Width() : 0;
  PictureHeight = picture && !picture->Empty() ? picture->Height() : 0;
  CurrentSize->setText(QString("Original Size  %1  x  %2").arg(PictureWidth).arg(PictureHeight));
  SizeEditChange();
  FitToClientClick();
}

// Sizes

void TResampleDialog::SizeEditChange() {
  if (SizeEdit->text().isEmpty()) return;
  int64_t percent = SizeEdit->text().toLongLong();
  if (percent > kSizeLimit) {
    percent = kSizeLimit;
    Write(SizeEdit, percent);
  }
  newWidth_ = percent * PictureWidth / 100;
  newHeight_ = percent * PictureHeight / 100;
  Write(WidthEdit, newWidth_);
  Write(HeightEdit, newHeight_);
  ChooseRates();
}

void TResampleDialog::WidthEditChange() {
  SideChange(WidthEdit, newWidth_, PictureWidth, HeightEdit, newHeight_, PictureHeight);
}

void TResampleDialog::HeightEditChange() {
  SideChange(HeightEdit, newHeight_, PictureHeight, WidthEdit, newWidth_, PictureWidth);
}

// A side typed: the other side keeps the picture's proportions, "Size %" follows (at most its
// limit). A picture of no size leaves the other fields as they are.
void TResampleDialog::SideChange(QLineEdit* typed, int64_t& side, int pictureSide,
                                 QLineEdit* otherField, int64_t& other, int pictureOther) {
  side = typed->text().toLongLong();
  if (pictureSide != 0) {
    other = side * pictureOther / pictureSide;
    Write(otherField, other);
    Write(SizeEdit, std::min<int64_t>(side * 100 / pictureSide, kSizeLimit));
  }
  ChooseRates();
}

void TResampleDialog::FitToClientClick() {
  if (!FitToClient->isChecked()) return;
  const QSize client = Host.ViewClientSize();
  if (client.width() <= 0 || client.height() <= 0) return;
  // The picture relatively wider than the view fills its width, else its height.
  if (int64_t(PictureWidth) * client.height() > int64_t(client.width()) * PictureHeight)
    WidthEdit->setText(QString::number(client.width()));
  else
    HeightEdit->setText(QString::number(client.height()));
}

void TResampleDialog::ChooseRates() {
  if (Manual->isChecked()) return;
  const TSampleRates rates =
      ChooseSampleRates(PictureWidth, PictureHeight, newWidth_, newHeight_, Quality->isChecked());
  XSampleRate->setValue(rates.X);
  YSampleRate->setValue(rates.Y);
}

void TResampleDialog::ManualClick() {
  ChooseRates();
  if (SizeEdit->text().toLongLong() > kSizeLimit) SizeEdit->setText(QString::number(kSizeLimit));
}

void TResampleDialog::MoreClick() {
  MorePanel->setVisible(!MorePanel->isVisible());
}

// Running

QString TResampleDialog::Refusal() const {
  const TGraphic* picture = Host.Picture();
  if (picture && Host.PictureAnimated()) return kAnimated;
  if (SizeEdit->text().isEmpty()) return kInvalidSize;
  if (!picture || picture->Empty() || picture->Width() <= 0 || picture->Height() <= 0)
    return kNotValid;
  // The resampler makes pictures at least 3 pixels wide.
  if (newWidth_ < 3 || newHeight_ < 1) return kInvalidSize;
  if (!ImageLimits::Fits(newWidth_, newHeight_, 24))
    return QString("A picture of %1 x %2 pixels is beyond the size limit of %3 pixels a side and "
                   "%4 MB in all")
        .arg(newWidth_)
        .arg(newHeight_)
        .arg(ImageLimits::kMaxDimension)
        .arg(ImageLimits::MaxBytes() >> 20);
  return {};
}

void TResampleDialog::Button1Click() {
  if (Running()) {
    Worker->Stop();
    return;
  }
  if (!Host.EditedSourceAccepted()) return;
  // Another long work (a rotation, the index engine) holds the flag: nothing happens.
  if (!TBusyClaim::NotBusy()) return;
  const QString refusal = Refusal();
  if (!refusal.isEmpty()) {
    ShowMessage(refusal, kCaption, TMsgIcon::Warning, this);
    return;
  }
  if (!StartRun()) return;
  Button1->setText("Stop");
  SetLight(TLight::Running);
  Host.FocusFileList();
}

// Prepares the source and the destination on this thread and starts the worker; a failure is
// told and leaves the view as it was.
bool TResampleDialog::StartRun() {
  TBusyClaim claim;
  if (!claim.Held()) return false;
  SetLight(TLight::Starting);
  ShowProgress(0);
  Target = {static_cast<int>(newWidth_),
            static_cast<int>(newHeight_),
            {XSampleRate->value(), YSampleRate->value()},
            Host.ViewBackground(),
            true};
  TBitmap source;
  TBitmap prepared;
  try {
    Host.PictureCopy(source, Target.Background);
    prepared.SetPalette(source.Palette());
    PrepareBoxDestination(prepared, Target);
  } catch (const std::exception& e) {
    SetLight(TLight::Idle);
    ShowMessage(QString::fromStdString(e.what()), kCaption, TMsgIcon::Error, this);
    return false;
  }
  Host.Snapshot("Resample");
  Host.ViewBitmap().Assign(&prepared);
  prepared.Assign(nullptr);
  Host.ResampleStarted();
  Worker->Start(std::move(claim), source, Target);
  return true;
}

void TResampleDialog::RowsMade(const TResampleBand& band) {
  TBitmap& view = Host.ViewBitmap();
  // The view is the destination the run started with, unless something replaced it meanwhile.
  if (view.Width() != Target.Width || view.Height() != Target.Height ||
      view.PixelFormat() != pf24bit)
    return;
  const size_t rowBytes = 3 * static_cast<size_t>(Target.Width);
  for (int i = 0; i < band.Rows; ++i)
    std::memcpy(view.ScanLine(band.FirstRow + i), band.Pixels.data() + rowBytes * i, rowBytes);
}

void TResampleDialog::ShowProgress(int percent) {
  progress_ = percent;
  if (isVisible()) PaintBox1->update();
  if (percent > 0) Host.ShowResampled(false);
}

void TResampleDialog::RunEnded(bool completed, const std::string& error) {
  (void)completed; // a stopped run keeps what it made, as a finished one does
  Host.ShowResampled(true);
  EndRun();
  if (!error.empty()) ShowMessage(QString::fromStdString(error), kCaption, TMsgIcon::Error, this);
}

void TResampleDialog::EndRun() {
  Button1->setText("Resample");
  SetLight(TLight::Idle);
}

void TResampleDialog::StopAndWait() {
  if (!Running()) return;
  Worker->Abandon();
  EndRun();
}

void TResampleDialog::WaitUntilIdle() {
  while (Running())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TResampleDialog::closeEvent(QCloseEvent* event) {
  if (Running()) Worker->Stop();
  QDialog::closeEvent(event);
}

// The busy light and the progress strip

void TResampleDialog::SetLight(TLight light) {
  light_ = light;
  QPalette palette = Panel2->palette();
  palette.setColor(QPalette::Window, LightColor(light));
  Panel2->setPalette(palette);
}

bool TResampleDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PaintBox1 && event->type() == QEvent::Paint) {
    PaintProgress();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TResampleDialog::PaintProgress() {
  QPainter painter(PaintBox1);
  const int width = PaintBox1->width(), height = PaintBox1->height();
  painter.fillRect(PaintBox1->rect(), ToQColor(StripColor));
  if (progress_ <= 0) return;
  const int bar = progress_ * width / 100;
  // Near the end the bar runs to the strip's end, so a run that ends short of 100 looks done.
  const int right = bar * 100 >= width * 95 - 2 ? width - 2 : bar;
  painter.fillRect(QRect(QPoint(2, 3), QPoint(right, height - 4)), Qt::blue);
}

} // namespace kestrel
