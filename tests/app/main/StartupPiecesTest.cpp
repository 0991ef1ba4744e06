#include "app/main/ImageMask.h"
#include "app/undo/UndoFile.h"
#include "desktop/install/InstallRecord.h"

#include "support/TempEnvironment.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ImageMask, EveryRegisteredSpellingOnce) {
  EXPECT_EQ(ImageMask({"bmp", "tif", "tiff", "jpg", "jpeg", "png", "jpg"}),
            "*.bmp;*.tif;*.tiff;*.jpg;*.jpeg;*.png;");
  const QString mask = ImageMask(ViewerExtensions());
  EXPECT_TRUE(mask.endsWith(";"));
  for (const char* name :
       {"a.bmp", "b.JPG", "c.dcx", "d.wav", "e.jpe", "f.tif", "g.jpeg", "h.tiff"})
    EXPECT_TRUE(InImageMask(name, mask)) << name;
  for (const char* name : {"a.txt", "b.jpegx", "bmp"})
    EXPECT_FALSE(InImageMask(name, mask)) << name;
}

TEST(UndoFile, EachCopyTakesTheFirstFreeNameAndStaleFilesAreCleared) {
  test::TTempEnvironment env;
  const QString folder = env.Folder("UNDO");
  auto first = OpenUndoFile(folder);
  auto second = OpenUndoFile(folder);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(QFileInfo(first->fileName()).fileName(), "Kestrel.dat");
  EXPECT_EQ(QFileInfo(second->fileName()).fileName(), "Kestrel(1).dat");
  first->close();
  QFile::remove(first->fileName());
  auto third = OpenUndoFile(folder); // the freed first name is taken again
  EXPECT_EQ(QFileInfo(third->fileName()).fileName(), "Kestrel.dat");

  test::WriteFile(folder + "/other.txt", "keep");
  ClearUndoFolder(folder);
  EXPECT_FALSE(QFile::exists(folder + "/Kestrel.dat"));
  EXPECT_FALSE(QFile::exists(folder + "/Kestrel(1).dat"));
  EXPECT_TRUE(QFile::exists(folder + "/other.txt"));
  EXPECT_EQ(OpenUndoFile(env.Path() + "/no/such/folder"), nullptr);
}

TEST(Installation, TheRecordIsAMachineWideKeyNamedByTheVersion) {
  test::TTempEnvironment env;
  EXPECT_EQ(InstallRecordKey(), "Software\\Brackwell\\Kestrel\\Ver " + FileVersion());
  EXPECT_FALSE(IsInstalled());
  WriteInstallRecord();
  EXPECT_TRUE(IsInstalled());
  EXPECT_TRUE(QString::fromUtf8(test::FileBytes(env.StoreFile()))
                  .contains("[HKEY_LOCAL_MACHINE\\Software\\Brackwell\\Kestrel\\Ver " +
                            FileVersion() + "]\n@=\"\""));
}

} // namespace
} // namespace kestrel
