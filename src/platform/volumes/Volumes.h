#pragma once
// Mounted volumes stand in for drives: a volume's root path is its "drive", and the drive of a
// path is the root of the volume that holds it.

#include <QList>
#include <QString>

namespace kestrel {

enum class TDriveType { Removable, Fixed, Remote, CDRom, RamDisk };

struct TVolume {
  QString Root;       // the mount point
  QString Label;      // the volume label, empty when it has none
  QString Device;     // for a network volume, its connection name ("server:/export")
  QString FileSystem; // "ext4", "vfat", "nfs"...
  TDriveType Type = TDriveType::Fixed;
};

// The type of a volume from its mount point, its file system and whether its block device is
// removable.
TDriveType ClassifyVolume(const QString& root, const QString& fileSystem, bool removableDevice);
// Every mounted volume a user keeps files on (pseudo file systems are left out), sorted by root;
// the volume of "/" is always among them.
QList<TVolume> MountedVolumes();
// The root of the volume holding path ("/" when it cannot be told).
QString VolumeRootOf(const QString& path);
// The bytes a user may still write on the volume holding path; 0 when it cannot be told.
qint64 FreeSpace(const QString& path);
// The size of the volume holding path and what a user may still write on it, in bytes; zeros
// when they cannot be told.
struct TVolumeSpace {
  qint64 Size = 0;
  qint64 Free = 0;
};
TVolumeSpace VolumeSpace(const QString& path);

// How a file system treats the case of names.
struct TCaseRules {
  bool PreservesCase = true;
  bool CaseSensitive = true;
};
TCaseRules CaseRulesOf(const QString& fileSystem);
TCaseRules CaseRulesOfPath(const QString& path);

} // namespace kestrel
