#include "imaging/core/Screen.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

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

int ScreenLogicalDpiX() {
  QScreen* screen = primaryScreen();
  return screen ? roundedDpi(screen->logicalDotsPerInchX()) : 96;
}

int ScreenLogicalDpiY() {
  QScreen* screen = primaryScreen();
  return screen ? roundedDpi(screen->logicalDotsPerInchY()) : 96;
}

} // namespace kestrel
