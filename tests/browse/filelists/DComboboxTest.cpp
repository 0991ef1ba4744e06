#include "browse/filelists/DCombobox.h"

#include "browse/filelists/DListBox.h"
#include "support/ListHelpers.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TVolume Volume(const QString& root, TDriveType type, const QString& label = {},
               const QString& device = {}) {
  return {root, label, device, "ext4", type};
}

TEST(DriveBox, ItemTextsByVolumeType) {
  EXPECT_EQ(TDCombobox::ItemText(Volume("/", TDriveType::Fixed, "System"), tcLowerCase),
            "/ [system]");
  EXPECT_EQ(TDCombobox::ItemText(Volume("/", TDriveType::Fixed, "System"), tcUpperCase),
            "/ [SYSTEM]");
  EXPECT_EQ(TDCombobox::ItemText(Volume("/data", TDriveType::Fixed), tcLowerCase), "/data");
  EXPECT_EQ(
      TDCombobox::ItemText(Volume("/media/ann/STICK", TDriveType::Removable, "Stick"), tcLowerCase),
      "/media/ann/STICK");
  EXPECT_EQ(
      TDCombobox::ItemText(Volume("/mnt/nas", TDriveType::Remote, "x", "NAS:/Export"), tcLowerCase),
      "/mnt/nas nas:/export");
  EXPECT_EQ(TDCombobox::ItemText(Volume("/mnt/nas", TDriveType::Remote, "Share"), tcLowerCase),
            "/mnt/nas [share]");
  EXPECT_EQ(TDCombobox::ItemText(Volume("/media/cd", TDriveType::CDRom, "Disc"), tcUpperCase),
            "/media/cd [DISC]");
}

class DriveBoxWithList : public ::testing::Test {
protected:
  void SetUp() override {
    Box.SetDirList(&List);
    List.SetDirectory(Env.Folder("start"));
    List.FinishReading();
  }
  int IndexOf(const QString& root) const {
    for (int i = 0; i < Box.Volumes().size(); ++i)
      if (Box.Volumes()[i].Root == root) return i;
    return -1;
  }

  test::TApplicationFirst Application;
  test::TKeepCurrentFolder KeepFolder;
  test::TTempEnvironment Env;
  TDCombobox Box;
  TDListBox List;
};

TEST_F(DriveBoxWithList, AVanishedVolumeResetsTheBoxToTheFolderListsVolume) {
  QList<TVolume> volumes = {Volume("/", TDriveType::Fixed),
                            Volume(Env.Path() + "/unplugged", TDriveType::Removable)};
  Box.SetVolumeSource([&] { return volumes; });
  const QString start = List.Directory();
  QSignalSpy changes(&Box, &TDCombobox::Change);

  Box.setCurrentIndex(1);
  emit Box.activated(1); // the user picks the stick, which is no longer there
  EXPECT_EQ(Box.Drive(), List.Drive());
  EXPECT_EQ(Box.currentIndex(), IndexOf(List.Drive()));
  EXPECT_EQ(List.Directory(), start);

  // Gone from the mounts as well: the next look at the list drops it.
  volumes.removeLast();
  Box.BuildList();
  EXPECT_EQ(Box.count(), 1);
  EXPECT_EQ(Box.Drive(), "/");
  EXPECT_EQ(changes.count(), 0);
}

TEST_F(DriveBoxWithList, ChoosingAVolumeGoesToTheFolderLastShownOnIt) {
  if (VolumeRootOf("/dev/shm") != "/dev/shm") GTEST_SKIP() << "no second volume to visit";
  const QString start = List.Directory();
  const QString home = List.Drive();
  Box.SetVolumeSource([&] {
    return QList<TVolume>{Volume(home, TDriveType::Fixed), Volume("/dev/shm", TDriveType::RamDisk)};
  });
  QSignalSpy listChanges(&List, &TDListBox::Change);
  emit Box.activated(IndexOf("/dev/shm"));
  EXPECT_EQ(List.Directory(), "/dev/shm");
  EXPECT_EQ(Box.Drive(), "/dev/shm");
  EXPECT_EQ(QDir::currentPath(), "/dev/shm");
  emit Box.activated(IndexOf(home));
  EXPECT_EQ(List.Directory(), start);
  EXPECT_EQ(listChanges.count(), 2);

  // A folder on the other volume, set on the list, moves the box along.
  List.SetDirectory("/dev/shm");
  EXPECT_EQ(Box.Drive(), "/dev/shm");
  EXPECT_EQ(Box.currentIndex(), IndexOf("/dev/shm"));
}

} // namespace
} // namespace kestrel
