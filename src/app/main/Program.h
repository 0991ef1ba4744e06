#pragma once
// The program: the application object with its handler for errors nobody caught, and the start
// of the process.

#include <QApplication>

namespace kestrel {

class TKestrelApplication : public QApplication {
public:
  TKestrelApplication(int& argc, char** argv);
  // Every event goes through here; an error that escapes a handler is shown by its kind.
  bool notify(QObject* receiver, QEvent* event) override;
};

// The name of an error's class, without its namespace ("EInOutError").
QString ErrorClassName(const std::exception& error);

// The process start: the screen-depth check, the main window and its start-up, then the message
// loop. Returns the process's exit code.
int RunKestrel(int argc, char** argv);

} // namespace kestrel
