#pragma once
// Tall tool windows (the gallery, the find window) are not maximised: the maximise command
// toggles them between the full height of the screen's work area, at its top, and the top and
// height they had before. Their width and place across stay as the user left them.

#include <QMargins>
#include <QObject>
#include <QRect>

#include <functional>

class QWidget;

namespace kestrel {

class TFullHeightToggle : public QObject {
public:
  // While wholeScreen answers true, full height is the whole screen's (the full-screen view
  // hides the task bar), otherwise the work area's.
  explicit TFullHeightToggle(QWidget* window, std::function<bool()> wholeScreen = {});

  // Switches between full height and the previous top and height.
  void Toggle();
  bool AtFullHeight() const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QRect FullHeight(const QRect& from) const;
  void SwitchFrom(const QRect& from);
  QMargins Decoration() const;

  QWidget* window_;
  std::function<bool()> wholeScreen_;
  QRect before_;        // the frame before the last switch to full height
  QRect applied_;       // the frame that switch gave
  QRect lastNormal_;    // the frame when last moved or sized unmaximised
  QMargins decoration_; // the window manager's frame round an unmaximised window
  bool atFullHeight_ = false;
};

} // namespace kestrel
