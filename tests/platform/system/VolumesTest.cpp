#include "platform/volumes/Volumes.h"

#include <QDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(Volumes, TypeFollowsFileSystemAndMountPoint) {
  struct Case {
    const char* root;
    const char* fs;
    bool removable;
    TDriveType type;
  };
  const Case cases[] = {
      {"/", "ext4", false, TDriveType::Fixed},
      {"/home", "btrfs", false, TDriveType::Fixed},
      {"/media/ann/STICK", "vfat", false, TDriveType::Removable},
      {"/run/media/ann/STICK", "exfat", false, TDriveType::Removable},
      {"/mnt/usb", "vfat", true, TDriveType::Removable},
      {"/mediax", "ext4", false, TDriveType::Fixed},
      {"/mnt/server", "nfs4", false, TDriveType::Remote},
      {"/mnt/share", "cifs", false, TDriveType::Remote},
      {"/home/ann/remote", "fuse.sshfs", false, TDriveType::Remote},
      {"/media/cdrom", "iso9660", true, TDriveType::CDRom},
      {"/mnt/dvd", "udf", false, TDriveType::CDRom},
      {"/tmp", "tmpfs", false, TDriveType::RamDisk},
      {"/run/user/1000/doc", "fuse.portal", false, TDriveType::Fixed},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ClassifyVolume(c.root, c.fs, c.removable), c.type) << c.root << " " << c.fs;
}

TEST(Volumes, TheVolumesListHoldsTheVolumeOfEveryFolder) {
  const QList<TVolume> volumes = MountedVolumes();
  ASSERT_FALSE(volumes.isEmpty());
  auto listed = [&](const QString& root) {
    return std::any_of(volumes.begin(), volumes.end(),
                       [&](const TVolume& v) { return v.Root == root; });
  };
  EXPECT_TRUE(listed("/"));
  EXPECT_TRUE(listed(VolumeRootOf(QDir::currentPath())));
  EXPECT_TRUE(listed(VolumeRootOf(QDir::tempPath())));
  for (const TVolume& volume : volumes) {
    EXPECT_FALSE(volume.Root.startsWith("/proc")) << volume.Root.toStdString();
    EXPECT_FALSE(volume.Root.startsWith("/sys")) << volume.Root.toStdString();
    if (volume.Type == TDriveType::Removable) {
      EXPECT_TRUE(volume.Label.isEmpty());
    }
  }
}

TEST(Volumes, CaseRulesOfFileSystems) {
  EXPECT_TRUE(CaseRulesOf("ext4").CaseSensitive);
  EXPECT_FALSE(CaseRulesOf("vfat").CaseSensitive);
  EXPECT_TRUE(CaseRulesOf("vfat").PreservesCase);
  EXPECT_FALSE(CaseRulesOf("msdos").PreservesCase);
}

} // namespace
} // namespace kestrel
