#include "browse/filelists/PathText.h"

#include <QStringList>

namespace kestrel {

QString JoinPath(const QString& folder, const QString& name) {
  return folder.endsWith('/') ? folder + name : folder + "/" + name;
}

QString MinimizeName(const QString& path, const std::function<int(const QString&)>& width,
                     int maxWidth) {
  QStringList folders = path.split('/', Qt::SkipEmptyParts);
  const QString name = folders.isEmpty() ? QString() : folders.takeLast();
  QString result = path;
  QString drive = path.startsWith('/') ? "/" : "";
  bool cut = false;
  while (width(result) > maxWidth) {
    if (!folders.isEmpty()) {
      folders.removeFirst();
      cut = true;
    } else if (!drive.isEmpty() && cut) {
      drive.clear();
    } else {
      break;
    }
    QStringList parts = folders;
    parts.prepend("...");
    parts.append(name);
    result = drive + parts.join('/');
  }
  return result;
}

} // namespace kestrel
