#include "platform/sound/SoundPlayer.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

namespace kestrel {
namespace {

TSoundHandler& Handler() {
  static TSoundHandler handler;
  return handler;
}

// The process of the sound playing now (null when none): a new sound replaces it.
QPointer<QProcess>& Playing() {
  static QPointer<QProcess> playing;
  return playing;
}

void StopPlaying() {
  QProcess* process = Playing();
  if (process && process->state() != QProcess::NotRunning) process->kill();
  Playing() = nullptr;
}

} // namespace

QString SoundPlayerProgram() {
  for (const char* name : {"paplay", "aplay"}) {
    const QString program = QStandardPaths::findExecutable(name);
    if (!program.isEmpty()) return program;
  }
  return {};
}

void PlaySoundAsync(const QString& path) {
  if (const TSoundHandler& handler = Handler()) {
    handler(path);
    return;
  }
  StopPlaying();
  const QString program = SoundPlayerProgram();
  auto* application = QCoreApplication::instance();
  if (program.isEmpty() || !application) return;
  // Owned by the application, so a sound still playing at exit is ended with it.
  auto* process = new QProcess(application);
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) process->deleteLater();
  });
  QObject::connect(application, &QCoreApplication::aboutToQuit, process, [process] {
    process->kill();
    process->waitForFinished(200);
  });
  Playing() = process;
  process->start(program, {path});
}

TSoundHandler SetSoundHandler(TSoundHandler handler) {
  TSoundHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

} // namespace kestrel
