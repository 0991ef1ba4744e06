#include "platform/paths/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace kestrel {
namespace {

// An XDG base folder: the variable when it holds an absolute path, else home + fallback.
QString XdgFolder(const char* variable, const char* fallback) {
  const QString value = qEnvironmentVariable(variable);
  if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
  return QDir::homePath() + "/" + fallback;
}

} // namespace

QString SettingsFileName() {
  return XdgFolder("XDG_CONFIG_HOME", ".config") + "/Brackwell/Kestrel.reg";
}

QString UndoFolderName() {
  return XdgFolder("XDG_CACHE_HOME", ".cache") + "/Brackwell/Kestrel/UNDO/";
}

QString WallpaperFolderName() {
  return XdgFolder("XDG_DATA_HOME", ".local/share") + "/Brackwell/Kestrel/wallpaper/";
}

QString RuntimeFolder() {
  const QString value = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
  const QString folder = QDir::tempPath() + QString("/kestrel-runtime-%1").arg(getuid());
  QDir().mkpath(folder);
  QFile::setPermissions(folder,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  return folder;
}

QString ProgramFolder() {
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) return pictures;
  return QDir::homePath();
}

QString ExecutableFile() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
  return QFileInfo("/proc/self/exe").canonicalFilePath();
}

} // namespace kestrel
