#include "browse/index/IndexName.h"

#include "platform/volumes/Volumes.h"

#include <QDir>
#include <QFileInfo>

namespace kestrel {

QString IndexNameStem(const QString& folder, const QString& volumeRoot,
                      const QString& volumeLabel) {
  const QString clean = QDir::cleanPath(folder);
  if (clean != QDir::cleanPath(volumeRoot)) return QFileInfo(clean).completeBaseName();
  QString name = volumeLabel;
  if (name.isEmpty()) name = QFileInfo(clean).fileName();
  if (name.isEmpty()) name = "Root";
  return name + "_Drive";
}

QString ProposeIndexName(const QString& folder, const QString& stem,
                         const std::function<bool(const QString& path)>& exists) {
  const QDir dir(folder);
  QString path = dir.filePath("!" + stem + "_idx.jpg");
  for (int n = 1; exists(path); ++n)
    path = dir.filePath("!" + stem + "(" + QString::number(n) + ")_idx.jpg");
  return path;
}

QString ProposeIndexNameFor(const QString& currentFile) {
  if (currentFile.isEmpty()) return {};
  const QString folder = QFileInfo(currentFile).absolutePath();
  const QString root = VolumeRootOf(folder);
  QString label;
  for (const TVolume& volume : MountedVolumes())
    if (QDir::cleanPath(volume.Root) == QDir::cleanPath(root)) label = volume.Label;
  return ProposeIndexName(folder, IndexNameStem(folder, root, label),
                          [](const QString& path) { return QFileInfo::exists(path); });
}

} // namespace kestrel
