#pragma once
// TPrintSetup, the "Print Setup" window: prints the shown picture on one page of the current
// printer (or into a PDF file when none is installed) at a scale and one of seven positions,
// with a small page diagram showing where the picture will land. The job itself runs on a
// worker; Esc while it runs aborts it.

#include "desktop/print/PrintJob.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QFrame;
class QPrinter;
class QRadioButton;
class QSlider;
class QSpinBox;
class QPushButton;

namespace kestrel {

class TBitmap;

// What the window prints: the main window's shown picture (null when none) and its file.
struct TPrintSource {
  std::function<const TBitmap*()> ShownPicture;
  std::function<QString()> PicturePath;
};

class TPrintSetup : public QDialog {
  Q_OBJECT
public:
  static constexpr const char* kCaption = "Print Setup";

  explicit TPrintSetup(TPrintSource source, QWidget* parent = nullptr);
  ~TPrintSetup() override;

  // Shows the window centred over its parent, laid out for the picture shown now.
  void ShowSetup();
  // The shown picture changed: the diagram follows it.
  void PictureChanged();

  void SpinEdit1Change(bool fromSlider);
  void OrientationClick();
  void RadioButton1Click();
  // "Print": prepares the private copy, asks the print dialog, then starts the job.
  void Button1Click();
  bool JobRunning() const { return Worker.joinable(); }
  // Processes events until the running job has ended and been reported.
  void WaitForJob();

  QPrinter& Printer() { return *PrinterDevice; }
  // The placement the next print uses (page, percent, printed size, offset).
  const TPrintPlacement& Placement() const { return Current; }
  int FitPercent() const { return Fit; }
  TPrintPosition Position() const;

  QFrame* Panel1 = nullptr;
  QFrame* ImageShape = nullptr;
  QRadioButton* RadioButton1 = nullptr; // "Center"
  QRadioButton* RadioButton2 = nullptr; // "Top Left"
  QRadioButton* RadioButton3 = nullptr; // "Top Right"
  QRadioButton* RadioButton4 = nullptr; // "Bottom Left"
  QRadioButton* RadioButton5 = nullptr; // "Bottom Right"
  QRadioButton* RadioButton6 = nullptr; // "Top Center"
  QRadioButton* RadioButton7 = nullptr; // "Bottom Center"
  QRadioButton* Portrait1 = nullptr;
  QRadioButton* Landscape1 = nullptr;
  QSpinBox* SpinEdit1 = nullptr;
  QSlider* TrackBar1 = nullptr;
  QPushButton* Button1 = nullptr;

signals:
  // A job ended (printed, aborted or failed) and was reported.
  void JobEnded(TPrintOutcome outcome);

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void BuildLayout();
  void LayoutDiagram();
  void ApplyPosition();
  void FieldEdited(const QString& text);
  void StartJob(TPrintPicture picture);
  void JobFinished(TPrintResult result);
  void SetControlsEnabled(bool enabled);
  void ShowPrinterOrientation();
  QString ProposedPdf() const;

  TPrintSource Source;
  std::unique_ptr<QPrinter> PrinterDevice;
  QWidget* DiagramArea = nullptr;
  TSize PictureSize; // of the shown picture; empty when there is none
  TSize Diagram;     // the diagram's size in its pixels
  TPrintPlacement Current;
  int Fit = 100;
  bool Syncing = false; // the slider and the field are being set from each other
  std::thread Worker;
  std::atomic<bool> AbortJob = false;
};

} // namespace kestrel
