#include "browse/find/FindLocations.h"

#include "platform/volumes/Volumes.h"

#include <QDir>

namespace kestrel {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kVolumeRole = Qt::UserRole + 1;

} // namespace

TFindLocations::TFindLocations(QWidget* parent) : QListWidget(parent) {
  setIconSize({kItemHeight, kItemHeight});
  setUniformItemSizes(true);
  // A few volumes are seen at once; the results take the rest of the window's height.
  setMaximumHeight(6 * kItemHeight + 2 * frameWidth());
}

void TFindLocations::Build(const QString& folder) {
  clear();
  auto* local = new QListWidgetItem(Icons.Drive(), kLocalDrives, this);
  local->setSizeHint({0, kItemHeight});
  for (const TVolume& volume : MountedVolumes()) {
    auto* item = new QListWidgetItem(Icons.Drive(), volume.Root, this);
    item->setData(kPathRole, volume.Root);
    item->setData(kVolumeRole, volume.Root);
    item->setSizeHint({0, kItemHeight});
  }
  setCurrentRow(std::max(VolumeRow(folder), 0));
}

int TFindLocations::VolumeRow(const QString& folder) const {
  const QString root = VolumeRootOf(folder);
  for (int row = 1; row < count(); ++row)
    if (item(row)->data(kVolumeRole).toString() == root) return row;
  return -1;
}

void TFindLocations::ChooseFolder(const QString& folder) {
  if (!Built()) Build(folder);
  const QString path = QDir::cleanPath(QDir(folder).absolutePath());
  int row = VolumeRow(path);
  if (row < 0) {
    row = count();
    auto* added = new QListWidgetItem(this);
    added->setData(kVolumeRole, VolumeRootOf(path));
    added->setSizeHint({0, kItemHeight});
  }
  QListWidgetItem* chosen = item(row);
  chosen->setText(path);
  chosen->setIcon(path == chosen->data(kVolumeRole).toString() ? Icons.Drive() : Icons.Folder());
  chosen->setData(kPathRole, path);
  setCurrentRow(row);
}

QString TFindLocations::SelectedPath() const {
  const QListWidgetItem* selected = currentItem();
  return selected ? selected->data(kPathRole).toString() : QString();
}

QStringList TFindLocations::Roots(bool cd) const {
  if (!LocalDrivesSelected()) return {SelectedPath()};
  QStringList roots;
  for (const TVolume& volume : MountedVolumes())
    if (volume.Type == TDriveType::Fixed || (cd && volume.Type == TDriveType::CDRom))
      roots << volume.Root;
  return roots;
}

} // namespace kestrel
