#include "platform/volumes/Volumes.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#include <sys/statvfs.h>

namespace kestrel {
namespace {

bool IsUnder(const QString& path, const QString& folder) {
  return path == folder || path.startsWith(folder + "/");
}

bool IsNetworkFileSystem(const QString& fs) {
  static const QStringList network = {"nfs",  "nfs4",      "cifs", "smb3",  "smbfs", "ncpfs", "afs",
                                      "ceph", "glusterfs", "9p",   "davfs", "coda",  "lustre"};
  if (network.contains(fs)) return true;
  // FUSE file systems that reach other machines.
  static const QStringList fuseNetwork = {"sshfs",  "rclone",  "s3fs",     "curlftpfs",
                                          "davfs2", "gcsfuse", "glusterfs"};
  return fs.startsWith("fuse.") && fuseNetwork.contains(fs.mid(5));
}

// /sys tells whether the block device under a partition is removable.
bool IsRemovableDevice(const QString& device) {
  if (!device.startsWith("/dev/")) return false;
  const QString canonical = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
  const QString sys = QFileInfo("/sys/class/block/" + canonical).canonicalFilePath();
  if (sys.isEmpty()) return false;
  for (const QString& folder : {sys, QFileInfo(sys).path()}) {
    QFile flag(folder + "/removable");
    if (flag.open(QIODevice::ReadOnly)) return flag.readAll().trimmed() == "1";
  }
  return false;
}

TVolume VolumeFrom(const QStorageInfo& storage) {
  TVolume volume;
  volume.Root = storage.rootPath();
  volume.Device = QString::fromLocal8Bit(storage.device());
  volume.FileSystem = QString::fromLocal8Bit(storage.fileSystemType());
  volume.Type = ClassifyVolume(volume.Root, volume.FileSystem, IsRemovableDevice(volume.Device));
  // A removable medium is listed without a label, so it is never touched for one.
  if (volume.Type != TDriveType::Removable) volume.Label = storage.name();
  return volume;
}

} // namespace

TDriveType ClassifyVolume(const QString& root, const QString& fileSystem, bool removableDevice) {
  if (IsNetworkFileSystem(fileSystem)) return TDriveType::Remote;
  if (fileSystem == "iso9660" || fileSystem == "udf") return TDriveType::CDRom;
  if (fileSystem == "tmpfs" || fileSystem == "ramfs") return TDriveType::RamDisk;
  if (removableDevice || IsUnder(root, "/media") || IsUnder(root, "/run/media"))
    return TDriveType::Removable;
  return TDriveType::Fixed;
}

QList<TVolume> MountedVolumes() {
  QList<TVolume> volumes;
  for (const QStorageInfo& storage : QStorageInfo::mountedVolumes())
    if (storage.isValid()) volumes.append(VolumeFrom(storage));
  const bool hasRoot =
      std::any_of(volumes.begin(), volumes.end(), [](const TVolume& v) { return v.Root == "/"; });
  if (!hasRoot) volumes.append(VolumeFrom(QStorageInfo::root()));
  std::sort(volumes.begin(), volumes.end(),
            [](const TVolume& a, const TVolume& b) { return a.Root < b.Root; });
  return volumes;
}

QString VolumeRootOf(const QString& path) {
  const QStorageInfo storage(path);
  return storage.isValid() ? storage.rootPath() : QString("/");
}

qint64 FreeSpace(const QString& path) {
  return VolumeSpace(path).Free;
}

TVolumeSpace VolumeSpace(const QString& path) {
  // statvfs, not QStorageInfo: the hint asks on every mouse move, and this reads no mount table.
  struct statvfs info {};
  if (::statvfs(QFile::encodeName(path).constData(), &info) != 0) return {};
  return {qint64(info.f_blocks) * qint64(info.f_frsize),
          qint64(info.f_bavail) * qint64(info.f_frsize)};
}

TCaseRules CaseRulesOf(const QString& fileSystem) {
  if (fileSystem == "msdos") return {false, false};
  static const QStringList folding = {"vfat", "exfat", "cifs", "smb3", "smbfs", "hfsplus"};
  if (folding.contains(fileSystem)) return {true, false};
  return {true, true};
}

TCaseRules CaseRulesOfPath(const QString& path) {
  return CaseRulesOf(QString::fromLocal8Bit(QStorageInfo(path).fileSystemType()));
}

} // namespace kestrel
