#pragma once
// TResampleDialog: the modeless, stay-on-top "Resample" window. It takes a new size as width,
// height or "Size %" (each field computing the others from the picture's size), or the size of
// the viewing area ("Fit To Client"), chooses the box resampler's sample rates for speed or for
// quality (or takes them as typed, "Manual"), and runs the resampler on the loaded picture into
// the view's bitmap, showing the result as it grows and the progress along its bottom. While it
// runs, its button reads "Stop".

#include "app/resample/Resampler.h"
#include "imaging/core/Color.h"

#include <QDialog>
#include <QSize>

#include <cstdint>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kestrel {

class TGraphic;

// What the window needs of the viewer.
class TResampleHost {
public:
  virtual ~TResampleHost() = default;
  // The loaded picture's graphic; null when none is loaded.
  virtual const TGraphic* Picture() const = 0;
  // copy becomes the loaded picture as a 24-bit bitmap (drawn on background where the picture
  // does not cover it). Raises when it cannot be made.
  virtual void PictureCopy(TBitmap& copy, TColor background) const = 0;
  // The picture is a GIF of more than one frame.
  virtual bool PictureAnimated() const = 0;
  virtual TColor ViewBackground() const = 0;
  virtual QSize ViewClientSize() const = 0;
  // The bitmap the view shows; a run replaces it by its destination.
  virtual TBitmap& ViewBitmap() = 0;
  // While the picture is being edited the user is warned that the run starts from the loaded
  // picture, not the edited one: false when the user aborts.
  virtual bool EditedSourceAccepted() = 0;
  // The undo snapshot of the shown picture, taken before a run replaces it.
  virtual void Snapshot(const QString& name) = 0;
  // The view shows the destination: a run has started, made more rows, or ended.
  virtual void ResampleStarted() = 0;
  virtual void ShowResampled(bool ended) = 0;
  // The keyboard goes back to the file list.
  virtual void FocusFileList() = 0;
};

class TResampleDialog : public QDialog {
public:
  TResampleDialog(TResampleHost& host, QWidget* parent = nullptr);
  ~TResampleDialog() override;

  static constexpr int kSizeLimit = 1000; // "Size %" at most
  static constexpr int kSizeDigits = 4;   // the digits of the limit
  static constexpr int kSideDigits = 7;   // a side in pixels: up to the largest picture

  // Shows the window centred on the screen, with the picture's size taken again.
  void ShowForm();
  // Takes the picture's size again and recomputes the new size from "Size %" (the main window
  // calls this whenever it builds the view of a new picture).
  void Refresh();
  bool Running() const { return Worker->Running(); }
  // Ends a run at once, dropping what it has not delivered yet: before a load, a close or a
  // rebuild of the view. It never waits for anything that waits for this thread.
  void StopAndWait();
  // Lets a run finish, processing events meanwhile.
  void WaitUntilIdle();

  // Handlers of the controls.
  void SizeEditChange();
  void WidthEditChange();
  void HeightEditChange();
  void FitToClientClick();
  void ManualClick();
  void MoreClick();
  void Button1Click();

  // Busy light colours round the button.
  enum class TLight { Running, Starting, Idle };
  TLight Light() const { return light_; }
  // The progress shown along the bottom, in percent.
  int Progress() const { return progress_; }
  int64_t NewWidth() const { return newWidth_; }
  int64_t NewHeight() const { return newHeight_; }

  QLabel* CurrentSize = nullptr;
  QLineEdit* WidthEdit = nullptr;
  QLineEdit* HeightEdit = nullptr;
  QLineEdit* SizeEdit = nullptr;
  QCheckBox* FitToClient = nullptr;
  QRadioButton* Quality = nullptr;
  QRadioButton* Speed = nullptr;
  QPushButton* More = nullptr;
  QFrame* MorePanel = nullptr;
  QSpinBox* XSampleRate = nullptr;
  QSpinBox* YSampleRate = nullptr;
  QCheckBox* Manual = nullptr;
  QPushButton* Button1 = nullptr;
  QFrame* Panel2 = nullptr;
  QWidget* PaintBox1 = nullptr;

protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildLayout();
  void SideChange(QLineEdit* typed, int64_t& side, int pictureSide, QLineEdit* otherField,
                  int64_t& other, int pictureOther);
  void ChooseRates();
  void SetLight(TLight light);
  void ShowProgress(int percent);
  void PaintProgress();
  void RowsMade(const TResampleBand& band);
  void RunEnded(bool completed, const std::string& error);
  void EndRun();
  QString Refusal() const;
  bool StartRun();

  TResampleHost& Host;
  TResampler* Worker = nullptr;
  int PictureWidth = 0;
  int PictureHeight = 0;
  int64_t newWidth_ = 0;
  int64_t newHeight_ = 0;
  TBoxTarget Target; // of the present run
  TLight light_ = TLight::Idle;
  int progress_ = 0;
  TColor StripColor = clBlack;
};

} // namespace kestrel
