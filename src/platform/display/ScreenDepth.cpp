#include "platform/display/ScreenDepth.h"

#include <QGuiApplication>
#include <QScreen>

namespace kestrel {

int ScreenDepth() {
  bool ok = false;
  const int forced = qEnvironmentVariableIntValue("KESTREL_SCREEN_DEPTH", &ok);
  if (ok && forced > 0) return forced;
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  return screen ? screen->depth() : 24;
}

} // namespace kestrel
