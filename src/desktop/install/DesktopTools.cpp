#include "desktop/install/DesktopTools.h"

#include <QProcess>
#include <QStandardPaths>

namespace kestrel {
namespace {

// The tools rewrite small databases; a minute means one is stuck.
constexpr int kToolTimeoutMs = 60000;

} // namespace

bool HasDesktopTool(const QString& tool) {
  return !QStandardPaths::findExecutable(tool).isEmpty();
}

QString RunDesktopTool(const QString& tool, const QStringList& arguments) {
  const QString program = QStandardPaths::findExecutable(tool);
  if (program.isEmpty()) return tool + " was not found.";
  QProcess process;
  process.setProcessChannelMode(QProcess::SeparateChannels);
  process.start(program, arguments);
  if (!process.waitForStarted(kToolTimeoutMs))
    return tool + " could not be started: " + process.errorString();
  if (!process.waitForFinished(kToolTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return tool + " did not finish.";
  }
  if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return {};
  const QString output = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
  const QString how = process.exitStatus() == QProcess::CrashExit
                          ? QString("stopped abnormally")
                          : "failed with exit code " + QString::number(process.exitCode());
  return tool + " " + how + (output.isEmpty() ? "." : ":\r" + output.left(400));
}

} // namespace kestrel
