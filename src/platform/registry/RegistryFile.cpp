#include "platform/registry/RegistryFile.h"

#include "platform/paths/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QtGlobal>

#include <mutex>

namespace kestrel {
namespace {

// How long a change waits for another copy's change to finish.
constexpr int kLockWaitMs = 10000;

std::mutex reporterMutex;
TRegistryFile::TDamageReporter& Reporter() {
  static TRegistryFile::TDamageReporter reporter = [](const QString& message) {
    qWarning("%s", qPrintable(message));
  };
  return reporter;
}

void ReportDamage(const QString& fileName, const QString& badName, const QString& reason) {
  const QString message = "The settings file\r" + fileName + "\rcould not be read (" + reason +
                          ").\rIt was moved aside as\r" + badName +
                          "\rand Kestrel starts on its default settings.";
  TRegistryFile::TDamageReporter reporter;
  {
    std::lock_guard lock(reporterMutex);
    reporter = Reporter();
  }
  if (reporter) reporter(message);
}

} // namespace

TRegistryFile::TRegistryFile() : Name(SettingsFileName()) {}

TRegistryFile::TRegistryFile(const QString& fileName) : Name(fileName) {}

void TRegistryFile::SetDamageReporter(TDamageReporter reporter) {
  std::lock_guard lock(reporterMutex);
  Reporter() = std::move(reporter);
}

TRegistryFile::TLoad TRegistryFile::Load(TRegistryDocument& document, QString* reason) const {
  QFile file(Name);
  if (!file.exists()) {
    document = TRegistryDocument();
    return TLoad::Missing;
  }
  if (!file.open(QIODevice::ReadOnly)) return TLoad::Unreadable;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return TLoad::Unreadable;
  auto parsed = TRegistryDocument::Parse(bytes, reason);
  if (!parsed) return TLoad::Damaged;
  document = std::move(*parsed);
  return TLoad::Loaded;
}

long TRegistryFile::ResultOf(TLoad load) {
  return load == TLoad::Unreadable ? kErrorReadFault : kErrorSuccess;
}

long TRegistryFile::LoadLocked(TRegistryDocument& document) const {
  QString reason;
  const TLoad load = Load(document, &reason);
  if (load != TLoad::Damaged) return ResultOf(load);
  const QString badName = Name + ".bad";
  QFile::remove(badName);
  if (!QFile::rename(Name, badName)) return kErrorAccessDenied;
  ReportDamage(Name, badName, reason);
  document = TRegistryDocument();
  return kErrorSuccess;
}

long TRegistryFile::Read(TRegistryDocument& document) const {
  const TLoad load = Load(document, nullptr);
  if (load != TLoad::Damaged) return ResultOf(load);
  // Damaged: another copy may be replacing it right now, so decide under the lock.
  return Modify([](TRegistryDocument&, bool*) { return kErrorSuccess; }) == kErrorSuccess
             ? Read(document)
             : kErrorReadFault;
}

long TRegistryFile::Modify(
    const std::function<long(TRegistryDocument&, bool* changed)>& change) const {
  if (!QDir().mkpath(QFileInfo(Name).absolutePath())) return kErrorWriteFault;
  QLockFile lock(Name + ".lock");
  if (!lock.tryLock(kLockWaitMs)) return kErrorLockViolation;
  TRegistryDocument document;
  if (const long result = LoadLocked(document); result != kErrorSuccess) return result;
  bool changed = false;
  if (const long result = change(document, &changed); result != kErrorSuccess || !changed)
    return result;
  QSaveFile file(Name);
  if (!file.open(QIODevice::WriteOnly)) return kErrorWriteFault;
  const QByteArray bytes = document.Serialize();
  if (file.write(bytes) != bytes.size() || !file.commit()) return kErrorWriteFault;
  return kErrorSuccess;
}

QDateTime TRegistryFile::LastWriteTime() const {
  return QFileInfo(Name).lastModified();
}

} // namespace kestrel
