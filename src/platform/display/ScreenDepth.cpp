#include "platform/display/ScreenDepth.h"

#include <QGuiApplication>
#include <QScreen>

#include <cstdlib>

namespace kestrel {

int ScreenDepth() {
  if (const char* text = std::getenv("KESTREL_SCREEN_DEPTH")) {
    char* end = nullptr;
    const long depth = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && depth >= 1 && depth <= 32) return static_cast<int>(depth);
  }
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  return screen ? screen->depth() : 32;
}

} // namespace kestrel
