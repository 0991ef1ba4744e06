#include "desktop/print/PrintSetup.h"

#include "imaging/core/Bitmap.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PrintDialog.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace kestrel {

namespace {

constexpr int kClientHeight = 320; // the diagram's taller side is 15/24 of it
constexpr int kDiagramArea = kClientHeight * 15 / 24;
constexpr const char* kMaking = "Making Memory...";
constexpr const char* kPrinting = "Printing...";
constexpr const char* kComplete = "Printing Complete!";
constexpr const char* kMessageCaption = "Kestrel!";

QFrame* Filled(QWidget* parent, const QColor& colour) {
  auto* frame = new QFrame(parent);
  frame->setAutoFillBackground(true);
  QPalette palette = frame->palette();
  palette.setColor(QPalette::Window, colour);
  frame->setPalette(palette);
  return frame;
}

} // namespace

TPrintSetup::TPrintSetup(TPrintSource source, QWidget* parent)
    : QDialog(parent), Source(std::move(source)),
      PrinterDevice(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(kCaption);
  // Without a printer the print goes into a PDF file the user names in the print dialog.
  if (!PrinterInstalled()) UsePdfFile(*PrinterDevice, {});
  BuildLayout();
  // The scale starts as a reset: 100 percent on both controls.
  SpinEdit1Change(false);
}

TPrintSetup::~TPrintSetup() {
  // The worker never waits for this thread, so waiting for it here cannot hang.
  AbortJob = true;
  if (Worker.joinable()) Worker.join();
}

void TPrintSetup::BuildLayout() {
  DiagramArea = new QWidget(this);
  DiagramArea->setFixedSize(kDiagramArea, kDiagramArea);
  Panel1 = Filled(DiagramArea, Qt::white);
  Panel1->setFrameShape(QFrame::Box);
  ImageShape = Filled(Panel1, QColor(0, 160, 0));

  auto* positions = new QGroupBox("Image Position", this);
  RadioButton1 = new QRadioButton("Center", positions);
  RadioButton2 = new QRadioButton("Top Left", positions);
  RadioButton3 = new QRadioButton("Top Right", positions);
  RadioButton4 = new QRadioButton("Bottom Left", positions);
  RadioButton5 = new QRadioButton("Bottom Right", positions);
  RadioButton6 = new QRadioButton("Top Center", positions);
  RadioButton7 = new QRadioButton("Bottom Center", positions);
  RadioButton1->setChecked(true);
  // Laid out as they sit on the page.
  auto* grid = new QGridLayout(positions);
  grid->addWidget(RadioButton2, 0, 0);
  grid->addWidget(RadioButton6, 0, 1);
  grid->addWidget(RadioButton3, 0, 2);
  grid->addWidget(RadioButton1, 1, 1);
  grid->addWidget(RadioButton4, 2, 0);
  grid->addWidget(RadioButton7, 2, 1);
  grid->addWidget(RadioButton5, 2, 2);
  for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5,
                               RadioButton6, RadioButton7})
    connect(button, &QRadioButton::toggled, this, [this](bool on) {
      if (on) RadioButton1Click();
    });

  auto* orientation = new QGroupBox("Paper Orientation", this);
  Portrait1 = new QRadioButton("Portrait", orientation);
  Landscape1 = new QRadioButton("Landscape", orientation);
  Portrait1->setChecked(true);
  PrinterDevice->setPageOrientation(QPageLayout::Portrait);
  auto* orientationRow = new QHBoxLayout(orientation);
  orientationRow->addWidget(Portrait1);
  orientationRow->addWidget(Landscape1);
  connect(Landscape1, &QRadioButton::toggled, this, [this] { OrientationClick(); });

  auto* scale = new QGroupBox("Scale Adjustment (%)", this);
  SpinEdit1 = new QSpinBox(scale);
  SpinEdit1->setRange(kMinPercent, kMaxPercent);
  SpinEdit1->setValue(100);
  // A value below 1 becomes 1 when the field is left.
  SpinEdit1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  SpinEdit1->findChild<QLineEdit*>()->setMaxLength(4);
  SpinEdit1->setFixedWidth(SpinEdit1->fontMetrics().horizontalAdvance("00000") + 40);
  TrackBar1 = new QSlider(Qt::Horizontal, scale);
  TrackBar1->setRange(kMinPercent, kMaxPercent);
  TrackBar1->setValue(100);
  TrackBar1->setTickInterval(100);
  TrackBar1->setPageStep(100);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  auto* scaleGrid = new QGridLayout(scale);
  scaleGrid->addWidget(new QLabel("Fine", scale), 0, 0);
  scaleGrid->addWidget(SpinEdit1, 0, 1, Qt::AlignLeft);
  scaleGrid->addWidget(new QLabel("Coarse", scale), 1, 0);
  scaleGrid->addWidget(TrackBar1, 1, 1);
  connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { SpinEdit1Change(false); });
  // The spin box tells nothing of an empty field: its editor does.
  connect(SpinEdit1->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
          &TPrintSetup::FieldEdited);
  connect(TrackBar1, &QSlider::valueChanged, this, [this] { SpinEdit1Change(true); });

  Button1 = new QPushButton("Print", this);
  // Enter confirms a typed scale; it does not start a print.
  Button1->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &TPrintSetup::Button1Click);

  auto* controls = new QVBoxLayout;
  controls->addWidget(positions);
  controls->addWidget(orientation);
  controls->addWidget(scale);
  controls->addStretch();
  controls->addWidget(Button1, 0, Qt::AlignRight);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(DiagramArea, 0, Qt::AlignCenter);
  layout->addLayout(controls);
  setFixedSize(std::max(sizeHint().width(), kDiagramArea * 2 + 60), kClientHeight);
}

void TPrintSetup::ShowSetup() {
  PictureChanged();
  if (parentWidget()) {
    const QRect over = parentWidget()->frameGeometry();
    move(over.center() - rect().center());
  }
  show();
  raise();
  activateWindow();
}

void TPrintSetup::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  LayoutDiagram();
}

void TPrintSetup::PictureChanged() {
  const TBitmap* shown = Source.ShownPicture ? Source.ShownPicture() : nullptr;
  const bool valid = shown && !shown->Empty() && shown->Width() > 0 && shown->Height() > 0;
  PictureSize = valid ? TSize{shown->Width(), shown->Height()} : TSize{};
  LayoutDiagram();
}

TPrintPosition TPrintSetup::Position() const {
  const QRadioButton* buttons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4,
                                   RadioButton5, RadioButton6, RadioButton7};
  for (int i = 0; i < int(std::size(buttons)); ++i)
    if (buttons[i]->isChecked()) return static_cast<TPrintPosition>(i);
  return TPrintPosition::Center;
}

void TPrintSetup::SpinEdit1Change(bool fromSlider) {
  if (Syncing) return;
  Syncing = true;
  // The field never passes its maximum, the fit: a slider beyond it leaves the field there.
  if (fromSlider)
    SpinEdit1->setValue(TrackBar1->value());
  else
    TrackBar1->setValue(SpinEdit1->value());
  Syncing = false;
  Current.Percent = SpinEdit1->value();
  LayoutDiagram();
}

void TPrintSetup::FieldEdited(const QString& text) {
  if (!text.trimmed().isEmpty()) return;
  // An empty field means 1, selected so that what is typed next replaces it.
  SpinEdit1->findChild<QLineEdit*>()->setText("1");
  SpinEdit1->selectAll();
  SpinEdit1Change(false);
}

void TPrintSetup::OrientationClick() {
  PrinterDevice->setPageOrientation(Landscape1->isChecked() ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
  LayoutDiagram();
}

void TPrintSetup::ShowPrinterOrientation() {
  const bool landscape = PrinterDevice->pageLayout().orientation() == QPageLayout::Landscape;
  const QSignalBlocker blockPortrait(Portrait1), blockLandscape(Landscape1);
  (landscape ? Landscape1 : Portrait1)->setChecked(true);
}

void TPrintSetup::RadioButton1Click() {
  ApplyPosition();
}

void TPrintSetup::LayoutDiagram() {
  if (!Panel1) return; // still being built
  // While a job runs the printer is the worker's: the page is the one it prints on.
  const TSize page = JobRunning() ? Current.Page : PrintablePage(*PrinterDevice);
  Diagram = DiagramSize(height(), page, Landscape1->isChecked());
  Panel1->setGeometry((DiagramArea->width() - Diagram.Width) / 2,
                      (DiagramArea->height() - Diagram.Height) / 2, Diagram.Width, Diagram.Height);
  Current.Page = page;
  if (PictureSize.Width <= 0 || PictureSize.Height <= 0) {
    const QSignalBlocker blockField(SpinEdit1), blockSlider(TrackBar1);
    SpinEdit1->setMaximum(kMaxPercent);
    SpinEdit1->setValue(100);
    TrackBar1->setValue(100);
    Current.Percent = 100;
    Fit = 100;
    ImageShape->hide();
    return;
  }
  Fit = FitPercentage(PictureSize, page);
  {
    const QSignalBlocker block(SpinEdit1);
    SpinEdit1->setMaximum(std::min(Fit, kMaxPercent));
  }
  Current.Percent = SpinEdit1->value();
  const TSize shape = ShapeSize(Diagram, page, PictureSize, Current.Percent);
  ImageShape->resize(shape.Width, shape.Height);
  ImageShape->show();
  ApplyPosition();
}

void TPrintSetup::ApplyPosition() {
  Current = PlacePicture(PictureSize, Current.Page, Current.Percent, Position());
  if (ImageShape->isHidden()) return;
  const TPoint at = PlaceAt(Position(), Diagram, {ImageShape->width(), ImageShape->height()});
  ImageShape->move(at.X, at.Y);
}

QString TPrintSetup::ProposedPdf() const {
  if (!PrinterDevice->outputFileName().isEmpty()) return PrinterDevice->outputFileName();
  const QString path = Source.PicturePath ? Source.PicturePath() : QString();
  if (path.isEmpty())
    return QDir(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
        .filePath("Kestrel.pdf");
  const QFileInfo file(path);
  return file.dir().filePath(file.completeBaseName() + ".pdf");
}

void TPrintSetup::Button1Click() {
  if (JobRunning()) return;
  const TBitmap* shown = Source.ShownPicture ? Source.ShownPicture() : nullptr;
  if (!shown || shown->Empty() || shown->Width() <= 0 || shown->Height() <= 0) {
    ShowMessage("You have not Selected an Image", kMessageCaption, TMsgIcon::None, this);
    return;
  }
  setWindowTitle(kMaking);
  TPrintPicture picture;
  try {
    picture = PrintPictureOf(*shown);
  } catch (const std::bad_alloc&) {
    setWindowTitle(kCaption);
    ShowMessage("Memory Error", kMessageCaption, TMsgIcon::None, this);
    return;
  }
  const bool accepted = ExecutePrintDialog(*PrinterDevice, ProposedPdf(), this);
  if (!accepted) {
    setWindowTitle(kCaption);
    return;
  }
  // The dialog may have changed the printer, the paper or the orientation: the page size, the
  // fit and the offsets are worked out again for what will be printed.
  ShowPrinterOrientation();
  PictureSize = picture.Size();
  LayoutDiagram();
  StartJob(std::move(picture));
}

void TPrintSetup::StartJob(TPrintPicture picture) {
  setWindowTitle(kPrinting);
  SetControlsEnabled(false);
  AbortJob = false;
  const QString docName =
      QFileInfo(Source.PicturePath ? Source.PicturePath() : QString()).fileName();
  Worker = std::thread([this, picture = std::move(picture), placement = Current, docName] {
    const TPrintResult result = PrintPicture(*PrinterDevice, picture, placement, docName, AbortJob);
    QMetaObject::invokeMethod(
        this, [this, result] { JobFinished(result); }, Qt::QueuedConnection);
  });
}

void TPrintSetup::JobFinished(TPrintResult result) {
  Worker.join();
  SetControlsEnabled(true);
  switch (result.Outcome) {
  case TPrintOutcome::Printed:
    setWindowTitle(kComplete);
    QTimer::singleShot(1000, this, [this] {
      if (windowTitle() == kComplete) setWindowTitle(kCaption);
    });
    break;
  case TPrintOutcome::Aborted:
    setWindowTitle(kCaption);
    ShowMessage("Printing aborted", kMessageCaption, TMsgIcon::Information, this);
    break;
  case TPrintOutcome::Failed:
    setWindowTitle(kCaption);
    ShowMessage(result.Error, "Kestrel!: Print", TMsgIcon::Error, this);
    break;
  }
  emit JobEnded(result.Outcome);
}

void TPrintSetup::WaitForJob() {
  if (!JobRunning()) return;
  QEventLoop loop;
  connect(this, &TPrintSetup::JobEnded, &loop, &QEventLoop::quit);
  loop.exec();
}

void TPrintSetup::SetControlsEnabled(bool enabled) {
  // The job owns the printer while it runs.
  for (QWidget* control : findChildren<QGroupBox*>())
    control->setEnabled(enabled);
  Button1->setEnabled(enabled);
}

void TPrintSetup::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && JobRunning()) {
    AbortJob = true;
    return;
  }
  QDialog::keyPressEvent(event);
}

} // namespace kestrel
