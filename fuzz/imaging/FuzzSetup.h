#pragma once
// What every fuzz target of the image library sets up once: a GUI application on the offscreen
// platform (text needs fonts), Qt's warnings silenced, and a small memory limit so that a damaged
// header cannot make a large picture.

#include "imaging/core/ImageLimits.h"

#include <QGuiApplication>

#include <cstdlib>

namespace kestrel::fuzz {

constexpr uint64_t kMaxBytes = uint64_t(16) << 20;

inline void SetUpOnce() {
  static const bool done = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    ImageLimits::SetMaxBytes(kMaxBytes);
    return true;
  }();
  (void)done;
}

} // namespace kestrel::fuzz
