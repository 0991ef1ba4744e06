#include "app/options/JpgOptions.h"

#include "app/view/ViewGeometry.h"
#include "platform/display/ScreenDepth.h"
#include "platform/settings/Settings.h"
#include "platform/ui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrel {
namespace {

const TSettingKey kQuality{"JpegProperties", "Quality"};
const TSettingKey kPerformance{"JpegProperties", "Performance"};
constexpr int kDefaultQuality = 85;
constexpr int kDefaultPerformance = 1;
constexpr int kQualityDigits = 3;

QComboBox* DropDown(const QStringList& items, const QString& hint, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->addItems(items);
  box->setToolTip(hint);
  return box;
}

} // namespace

void TJpegLoadOptions::ApplyTo(TGraphic* picture) const {
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture);
  if (!jpeg) return;
  jpeg->SetPixelFormat(PixelFormat);
  jpeg->SetScale(Scale);
  jpeg->SetGrayscale(Grayscale);
  jpeg->SetPerformance(Performance);
}

TJpgOptions::TJpgOptions(QWidget* parent, bool storeSettings)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      storeSettings_(storeSettings) {
  setObjectName("JpgOptions");
  setWindowTitle("Jpeg Options");
  BuildLayout();
  ReadSettings();
  SetForm(TJpgForm::Load);
}

TJpgOptions::~TJpgOptions() {
  if (!storeSettings_) return;
  try {
    WriteSetting(kQuality, JpgCompression->value());
    WriteSetting(kPerformance, performanceChoice_);
  } catch (const std::exception&) {
    // A window going away has nobody to tell; the next start reads the old values.
  }
}

void TJpgOptions::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize); // a dialog border: the size follows the form

  GroupBox1 = new QGroupBox("Image Save Options (Compression)", this);
  auto* save = new QGridLayout(GroupBox1);
  JpgCompression = new QSpinBox(GroupBox1);
  JpgCompression->setObjectName("JpgCompression");
  JpgCompression->setRange(1, 100);
  JpgCompression->installEventFilter(this);
  save->addWidget(JpgCompression, 0, 0);
  save->addWidget(new QLabel(" Quality %", GroupBox1), 0, 1);
  ProgressiveEncoding = new QCheckBox("Progressive", GroupBox1);
  save->addWidget(ProgressiveEncoding, 1, 0, 1, 2);
  layout->addWidget(GroupBox1);

  GroupBox2 = new QGroupBox("Image Load Options (Decompression)", this);
  auto* load = new QGridLayout(GroupBox2);
  cbScale = DropDown({"16:1", "8:1", "4:1", "2:1", "1:1", "1:2", "1:4", "1:8"}, "Scale", GroupBox2);
  cbScale->setCurrentIndex(kFullScaleIndex);
  cbPixelFormat = DropDown({"24 bit", "8 bit"}, "Pixel Format", GroupBox2);
  cbPixelFormat->setCurrentIndex(TJPEGImage::DefaultPixelFormat());
  cbColorSpace = DropDown({"RGB", "Grayscale"}, "Color space", GroupBox2);
  cbPerformance = DropDown({"Quality", "Speed"}, "Performance", GroupBox2);
  load->addWidget(cbScale, 0, 0);
  load->addWidget(cbPixelFormat, 0, 1);
  load->addWidget(cbColorSpace, 1, 0);
  load->addWidget(cbPerformance, 1, 1);
  ProgressiveImage = new QLabel(GroupBox2);
  ProgressiveImage->setFixedSize(8, 8);
  ProgressiveImage->setStyleSheet("background-color: red; border-radius: 4px;");
  ProgressiveImage->hide();
  Label2 = new QLabel("Progressive", GroupBox2);
  Label2->setEnabled(false);
  auto* mark = new QHBoxLayout;
  mark->addWidget(ProgressiveImage);
  mark->addWidget(Label2);
  mark->addStretch();
  load->addLayout(mark, 2, 0, 1, 2);
  layout->addWidget(GroupBox2);

  Button1 = new QPushButton("OK", this);
  connect(Button1, &QPushButton::clicked, this, [this] { done(kResultOk); });
  layout->addWidget(Button1, 0, Qt::AlignHCenter);

  for (QComboBox* box : {cbScale, cbPixelFormat, cbColorSpace, cbPerformance})
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
      if (OnLoadOptionsChanged) OnLoadOptionsChanged();
    });
  // A pick of the item already shown is a choice too.
  for (auto changed : {&QComboBox::currentIndexChanged, &QComboBox::activated})
    connect(cbPerformance, changed, this, [this](int index) { performanceChoice_ = index; });
}

void TJpgOptions::ReadSettings() {
  JpgCompression->setValue(std::clamp(ReadSetting(kQuality, kDefaultQuality), 1, 100));
  const int stored = std::clamp(ReadSetting(kPerformance, kDefaultPerformance), 0, 1);
  // Below true colour the better decoder is worth its time whatever was stored; that is this
  // session's choice, not the user's, so the stored value stays.
  cbPerformance->setCurrentIndex(ScreenDepth() > 16 ? stored : jpBestQuality);
  performanceChoice_ = stored;
}

void TJpgOptions::SetForm(TJpgForm form) {
  form_ = form;
  GroupBox1->setVisible(form != TJpgForm::Load);
  GroupBox2->setVisible(form != TJpgForm::Save);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TJpgOptions::ShowForm(TJpgForm form) {
  SetForm(form);
  show();
  raise();
}

int TJpgOptions::ExecSaveForm() {
  SetForm(TJpgForm::Save);
  setResult(0);
  return exec();
}

void TJpgOptions::done(int result) {
  lastResult_ = result;
  QDialog::done(result);
  if (OnClosed) OnClosed(result);
}

void TJpgOptions::reject() {
  // Closing the save form any other way than by "OK" gives the save up, if the user says so.
  if (form_ == TJpgForm::Save &&
      !AskYesNo("Abort Image Save ?", "Kestrel!", TMsgIcon::Question, this))
    return;
  done(kResultCancel);
}

bool TJpgOptions::eventFilter(QObject* watched, QEvent* event) {
  if (watched == JpgCompression && event->type() == QEvent::KeyPress) {
    const auto* edit = JpgCompression->findChild<QLineEdit*>();
    if (!QualityKeyAccepted(static_cast<QKeyEvent*>(event)->text(),
                            static_cast<int>(JpgCompression->cleanText().size()),
                            edit ? static_cast<int>(edit->selectedText().size()) : 0))
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

TJpegLoadOptions TJpgOptions::LoadOptions(bool fitToWindow) const {
  TJpegLoadOptions options;
  options.PixelFormat = static_cast<TJPEGPixelFormat>(std::max(cbPixelFormat->currentIndex(), 0));
  options.Scale = static_cast<TJPEGScale>(fitToWindow ? 0 : GetJpegScale());
  options.Grayscale = cbColorSpace->currentIndex() == 1;
  options.Performance = static_cast<TJPEGPerformance>(std::max(cbPerformance->currentIndex(), 0));
  return options;
}

void TJpgOptions::ApplyLoadOptions(TGraphic* picture, bool fitToWindow) const {
  LoadOptions(fitToWindow).ApplyTo(picture);
}

int TJpgOptions::GetJpegScale() const {
  const int index = cbScale->currentIndex();
  return index >= kFullScaleIndex ? index - kFullScaleIndex : 0;
}

int TJpgOptions::ScaleIndex() const {
  return cbScale->currentIndex();
}

void TJpgOptions::SetScaleIndex(int index) {
  const QSignalBlocker quiet(cbScale);
  cbScale->setCurrentIndex(std::clamp(index, 0, kScaleCount - 1));
}

void TJpgOptions::UpdateControls(const TGraphic* picture, bool loadedAsJpeg, bool textToolDown) {
  cbScale->setEnabled(!textToolDown);
  const auto* jpeg = loadedAsJpeg ? dynamic_cast<const TJPEGImage*>(picture) : nullptr;
  const bool shown = jpeg && !jpeg->Empty();
  for (QComboBox* box : {cbPixelFormat, cbColorSpace, cbPerformance})
    box->setEnabled(shown);
  const bool progressive = shown && jpeg->ProgressiveEncoding();
  ProgressiveImage->setVisible(progressive);
  Label2->setEnabled(progressive);
}

bool QualityKeyAccepted(const QString& typed, int textLength, int selectedLength) {
  if (typed.isEmpty() || typed.at(0).unicode() < 0x20) return true; // editing keys
  if (!typed.at(0).isDigit()) return false;
  return textLength - selectedLength + typed.size() <= kQualityDigits;
}

int ZoomDivisor(const TJpgOptions* window) {
  return window ? ReductionOf(window->ScaleIndex()) : 1;
}

} // namespace kestrel
