#include "desktop/install/FileWriting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kestrel {

QString WriteWholeFile(const QString& file, const QByteArray& bytes,
                       std::optional<QFileDevice::Permissions> permissions) {
  const QFileInfo info(file);
  if (!QDir().mkpath(info.absolutePath())) return "Cannot create the folder " + info.absolutePath();
  if (!permissions && info.exists()) permissions = info.permissions();
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
    return "Cannot write " + file + ": " + out.errorString();
  if (permissions && !QFile::setPermissions(file, *permissions))
    return "Cannot set the permissions of " + file;
  return {};
}

QString RemoveFile(const QString& file) {
  QFile target(file);
  if (!QFileInfo(file).exists() && !QFileInfo(file).isSymLink()) return {};
  if (!target.remove()) return "Cannot remove " + file + ": " + target.errorString();
  return {};
}

void RemoveEmptyFolders(const QString& folder, const QString& base) {
  const QString stop = QDir::cleanPath(base);
  QString current = QDir::cleanPath(folder);
  // rmdir removes a folder only when it is empty.
  while (current.startsWith(stop + "/") && QDir().rmdir(current))
    current = QFileInfo(current).path();
}

} // namespace kestrel
