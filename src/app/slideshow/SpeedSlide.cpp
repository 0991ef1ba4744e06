#include "app/slideshow/SpeedSlide.h"

#include "app/main/MainSettings.h"
#include "app/slideshow/SlideShow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSlider>

namespace kestrel {

TSpeedSlide::TSpeedSlide(std::function<void(int)> changed, bool store, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Changed(std::move(changed)), Store(store) {
  setObjectName("SpeedSlide");
  setWindowTitle("Slide Show Timer Speed");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(new QLabel("Fast", this));
  TrackBar1 = new QSlider(Qt::Horizontal, this);
  TrackBar1->setRange(TSlideShow::kMinTicks, TSlideShow::kMaxTicks);
  TrackBar1->setTickInterval(4);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setMinimumWidth(260);
  TrackBar1->setValue(ReadSetting(MainSettings::SlideTimer, TSlideShow::kDefaultTicks));
  layout->addWidget(TrackBar1);
  layout->addWidget(new QLabel("Slow", this));
  connect(TrackBar1, &QSlider::valueChanged, this, [this](int ticks) { Changed(ticks); });
  // The bar keeps a stored value within its range; the viewer takes that value too.
  Changed(TrackBar1->value());
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TSpeedSlide::~TSpeedSlide() {
  if (Store) WriteSetting(MainSettings::SlideTimer, TrackBar1->value());
}

} // namespace kestrel
