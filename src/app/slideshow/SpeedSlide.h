#pragma once
// TSpeedSlide: the "Slide Show Timer Speed" window, a stay-on-top dialog centred on the screen
// with a track bar from 1 ("Fast") to 64 ("Slow"). It starts at the stored "SlideShow" / "Timer"
// value, hands every change of the bar on at once, and stores the value when it closes, which
// frees it.

#include <QDialog>

#include <functional>

class QSlider;

namespace kestrel {

class TSpeedSlide : public QDialog {
public:
  // changed: called with each new position of the bar; store: closing stores the value (not
  // while the program is being removed).
  TSpeedSlide(std::function<void(int ticks)> changed, bool store, QWidget* parent = nullptr);
  ~TSpeedSlide() override;

  QSlider* TrackBar1 = nullptr;

private:
  std::function<void(int)> Changed;
  bool Store;
};

} // namespace kestrel
