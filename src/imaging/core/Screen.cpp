#include "imaging/core/Screen.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <cstdlib>

namespace kestrel {

namespace {

QScreen* primaryScreen() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
             ? QGuiApplication::primaryScreen()
             : nullptr;
}

int roundedDpi(double dpi) {
  const int v = static_cast<int>(std::lround(dpi));
  return v > 0 ? v : 96;
}

} // namespace

int ScreenColorDepth() {
  if (const char* text = std::getenv("KESTREL_SCREEN_DEPTH")) {
    char* end = nullptr;
    const long depth = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && depth >= 1 && depth <= 32) return static_cast<int>(depth);
  }
  if (QScreen* screen = primaryScreen()) return screen->depth();
  return 32;
}

int ScreenLogicalDpiX() {
  QScreen* screen = primaryScreen();
  return screen ? roundedDpi(screen->logicalDotsPerInchX()) : 96;
}

int ScreenLogicalDpiY() {
  QScreen* screen = primaryScreen();
  return screen ? roundedDpi(screen->logicalDotsPerInchY()) : 96;
}

} // namespace kestrel
