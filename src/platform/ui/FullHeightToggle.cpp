#include "platform/ui/FullHeightToggle.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace kestrel {

TFullHeightToggle::TFullHeightToggle(QWidget* window, std::function<bool()> wholeScreen)
    : QObject(window), window_(window), wholeScreen_(std::move(wholeScreen)) {
  window_->installEventFilter(this);
}

QRect TFullHeightToggle::FullHeight(const QRect& from) const {
  const QScreen* screen = window_->screen();
  if (screen == nullptr) return from;
  const QRect area =
      wholeScreen_ && wholeScreen_() ? screen->geometry() : screen->availableGeometry();
  return QRect(from.left(), area.top(), from.width(), area.height());
}

bool TFullHeightToggle::AtFullHeight() const {
  return atFullHeight_ && window_->frameGeometry() == applied_;
}

void TFullHeightToggle::Toggle() {
  SwitchFrom(window_->frameGeometry());
}

void TFullHeightToggle::SwitchFrom(const QRect& from) {
  QRect target;
  if (atFullHeight_) {
    target = QRect(from.left(), before_.top(), from.width(), before_.height());
    atFullHeight_ = false;
  } else {
    before_ = from;
    target = applied_ = FullHeight(from);
    atFullHeight_ = true;
  }
  // The frame is what the user sees; the window manager draws its decoration round the client.
  window_->setGeometry(target - decoration_);
}

QMargins TFullHeightToggle::Decoration() const {
  const QRect frame = window_->frameGeometry(), client = window_->geometry();
  return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                  frame.right() - client.right(), frame.bottom() - client.bottom());
}

bool TFullHeightToggle::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return QObject::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if ((type == QEvent::Move || type == QEvent::Resize) && !window_->isMaximized()) {
    lastNormal_ = window_->frameGeometry();
    // The frame of a window shown normally. Taken once: a window manager trims the frame of a
    // maximised window, and may resize it before it says that the window is maximised.
    if (decoration_.isNull()) decoration_ = Decoration();
  }
  // Only the window system's own report counts: it follows the user's command, and a maximise
  // asked for in code is reported again by the window system anyway.
  if (type == QEvent::WindowStateChange && event->spontaneous() && window_->isMaximized()) {
    // Take the maximise back, then switch from the frame the window had before it, once the
    // window system has carried out the taking back (requests are carried out in order).
    const QRect from = lastNormal_.isValid() ? lastNormal_ : window_->normalGeometry();
    window_->setWindowState(window_->windowState() & ~Qt::WindowMaximized);
    QTimer::singleShot(0, this, [this, from] { SwitchFrom(from); });
  }
  return QObject::eventFilter(watched, event);
}

} // namespace kestrel
