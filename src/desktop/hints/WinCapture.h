#pragma once
// TWinCapture: the program's one-time hint and warning box ("Never show me this again"). The
// captures show kinds 1 and 2 before they start, the resampler 3, the rotation 4, the text tool 5
// and the gallery 7. Each kind shows at most once per run, and never again once the user ticked
// the box, until the installation window restores all hints.

#include "desktop/hints/HintMasks.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kestrel {

// Continue or Abort as the user chose; NotShown when the hint is held back, which callers take
// as Continue (the user saw it once and went on).
enum class THintResult { Continue, Abort, NotShown };

class TWinCapture : public QDialog {
public:
  explicit TWinCapture(QWidget* parent = nullptr);

  // Readies the box for kind: false when the hint is held back (nothing is shown then).
  bool Prepare(int kind);
  // Shows the hint of kind and waits for the user.
  THintResult ShowModal(int kind);
  // Shows the hint of kind without waiting (the user may practise meanwhile).
  void ShowModeless(int kind);
  // Every hint shows again.
  void RestoreAll() { masks_.RestoreAll(); }
  // While the program is being removed, closing the box stores nothing.
  void SetRemoving(bool removing) { removing_ = removing; }
  const THintMasks& Masks() const { return masks_; }

  QLabel* Label1 = nullptr;
  QPushButton* Button1 = nullptr; // "Continue"
  QPushButton* Button2 = nullptr; // "Abort", for the warnings (kinds 3 and 4)
  QCheckBox* DontShowAgain = nullptr;

  void done(int result) override;

private:
  void FormClose();

  THintMasks masks_;
  int kind_ = 0;
  bool removing_ = false;
};

} // namespace kestrel
