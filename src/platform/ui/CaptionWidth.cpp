#include "platform/ui/CaptionWidth.h"

#include <QFontMetrics>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kestrel {

int CaptionWidth(const QWidget& window, const QString& caption) {
  if (caption.isEmpty()) return 0;
  // Title bars mostly use a bold face a little larger than the window's own, with an icon and
  // three buttons beside it.
  QFont titleFont = window.font();
  titleFont.setBold(true);
  const int text = QFontMetrics(titleFont).horizontalAdvance(caption) * 5 / 4;
  const int icons = 4 * (window.fontMetrics().height() + 8) + 24;
  const QScreen* screen = window.screen();
  const int widest = screen ? screen->availableGeometry().width() * 3 / 4 : 1024;
  return std::min(text + icons, widest);
}

} // namespace kestrel
