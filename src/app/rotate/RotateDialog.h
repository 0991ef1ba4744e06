#pragma once
// TRotateDialog: the modeless, stay-on-top "Arbitrary Rotation" window. It turns the loaded
// picture by a whole number of degrees between -180 and 180 into the view: each "Apply" starts
// again from the loaded picture, so two presses at 30 give 30 degrees, not 60. The turn runs on a
// worker while the view shows it grow; the busy light round "Apply" is red meanwhile, and the
// process-wide not-busy flag is held, so the Resample window waits too.

#include "app/rotate/Rotator.h"
#include "processing/busy/BusyFlag.h"

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace kestrel {

// What the window needs of the viewer.
class TRotateHost {
public:
  virtual ~TRotateHost() = default;
  // A picture is loaded and shown, with a size.
  virtual bool HasPicture() const = 0;
  // An editing tool is chosen: the view is turned as it stands, not the loaded picture.
  virtual bool EditingToolsActive() const = 0;
  // While the editing tools are active, the user is warned once; false: the turn is abandoned.
  virtual bool EditingWarningAccepted() = 0;
  // The undo copy of the shown picture, taken before it changes.
  virtual void Snapshot(const QString& name) = 0;
  // copy becomes what the turn starts from: the loaded picture at its own size and depth, or the
  // view while the editing tools are active. Raises when it cannot be made.
  virtual void RotationSource(TBitmap& copy) const = 0;
  virtual TColor ViewBackground() const = 0;
  // The bitmap the view shows.
  virtual TBitmap& ViewBitmap() = 0;
  // The view is to show destination (the turned picture's size, all background) while the rows
  // arrive; it keeps what it showed, for a run that does not complete.
  virtual void RotationStarted(const TBitmap& destination) = 0;
  // More rows arrived.
  virtual void ShowRotated() = 0;
  // The run ended: completed, the view keeps the turned picture; otherwise it shows again what
  // it showed before.
  virtual void RotationEnded(bool completed) = 0;
};

class TRotateDialog : public QDialog {
public:
  static constexpr int kMaxAngle = 180;

  TRotateDialog(TRotateHost& host, QWidget* parent = nullptr);
  ~TRotateDialog() override;

  // Shows the window centred on the screen, keeping its angle.
  void ShowForm();
  bool Running() const { return Worker->Running(); }
  // Ends a run at once (the view shows what it showed before): before a load, a close or a
  // rebuild of the view. It never waits for anything that waits for this thread.
  void StopAndWait();
  // Lets a run finish, processing events meanwhile.
  void WaitUntilIdle();

  // Handlers of the controls.
  void TrackBar1Change();
  void SpinEdit1Change();
  void RB0Click(int preset);
  void SpeedButton1Click();
  void Button1Click();

  // The busy light round "Apply": green when idle, red while turning.
  bool BusyLight() const { return busy_; }

  QSlider* TrackBar1 = nullptr;
  std::array<QLabel*, 9> Labels{}; // Label1 .. Label9: "-180" .. "180"
  QSpinBox* SpinEdit1 = nullptr;
  // RB0, RB20, RB30, RB45, RB60, RB90
  std::array<QPushButton*, 6> Presets{};
  QPushButton* SpeedButton1 = nullptr;
  QPushButton* Button1 = nullptr;
  QFrame* Indipanel = nullptr;

private:
  void FormCreate();
  void SetBusy(bool busy);
  bool StartRun(int degrees);
  void RowsMade(const TRotatedBand& band);
  void RunEnded(bool completed, const std::string& error);

  TRotateHost& Host;
  TRotator* Worker = nullptr;
  int RunWidth = 0; // of the destination being made
  int RunHeight = 0;
  bool busy_ = false;
};

} // namespace kestrel
