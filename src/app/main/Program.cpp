#include "app/main/Program.h"

#include "app/main/KestrelMain.h"
#include "platform/display/ScreenDepth.h"
#include "platform/ui/MessageBox.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace kestrel {

TKestrelApplication::TKestrelApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Kestrel");
  setOrganizationName("Brackwell");
  setApplicationVersion(KESTREL_VERSION);
}

QString ErrorClassName(const std::exception& error) {
  const char* mangled = typeid(error).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  const QString name = status == 0 ? QString(demangled.get()) : QString(mangled);
  return name.section("::", -1);
}

bool TKestrelApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowMessage(ErrorClassName(error), "Kestrel!", TMsgIcon::Error);
  } catch (...) {
    ShowMessage("Exception", "Kestrel!", TMsgIcon::Error);
  }
  return false;
}

int RunKestrel(int argc, char** argv) {
  TKestrelApplication application(argc, argv);
  if (ScreenDepth() <= 7) {
    ShowMessage("You need 256 color mode or higher to run Kestrel!",
                "Kestrel!: Unsupported Screen Resolution", TMsgIcon::Error);
    return 1;
  }
  TKestrelMain main(QApplication::arguments());
  if (main.FormCreate() == TKestrelMain::TStart::Halt) return main.HaltCode();
  QObject::connect(&main, &TKestrelMain::Ended, &application, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  main.Launch();
  return QApplication::exec();
}

} // namespace kestrel
