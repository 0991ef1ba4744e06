#include "desktop/ontop/StayOnTop.h"

#include <QWidget>

namespace kestrel {

void SetStayOnTop(QWidget& window, bool on) {
  if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  const QRect geometry =
      window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
  const Qt::WindowStates state = window.windowState();
  window.setWindowFlag(Qt::WindowStaysOnTopHint, on);
  window.setGeometry(geometry);
  window.setWindowState(state);
  window.show();
}

} // namespace kestrel
