// kestrel-tool: inspect and convert pictures from the command line.

#include "cli/ToolCommands.h"

#include <QGuiApplication>

#include <iostream>

int main(int argc, char** argv) {
  // Text in pictures (metafiles) needs fonts, which need a GUI application; no display is used.
  // The tool reports its own errors: the platform's notes would only clutter them.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QGuiApplication application(argc, argv);
  return kestrel::RunTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
