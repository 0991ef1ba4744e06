#pragma once
// The one application object of a test program, made on first use (offscreen unless a platform
// is chosen), and helpers that let queued work run.

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>

#include <ostream>

#include <functional>

namespace kestrel::test {

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "kestrel-tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: widgets of static helpers may outlive main.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// A first member for fixtures whose other members are widgets: makes the application first.
struct TApplicationFirst {
  TApplicationFirst() { TestApplication(); }
};

// Processes events until done() holds or the time is up; whether it held.
inline bool WaitUntil(const std::function<bool()>& done, int milliseconds = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > milliseconds) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
  return true;
}

} // namespace kestrel::test

// Readable failure messages for Qt strings.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
  *out << '{' << texts.join("\", \"").prepend('"').append('"').toStdString() << '}';
}
QT_END_NAMESPACE
