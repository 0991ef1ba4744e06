#include "app/watcher/FileListRefresh.h"
#include "app/watcher/FilterMask.h"
#include "app/watcher/StatusLine.h"

#include "browse/filelists/FListBox.h"
#include "support/ListHelpers.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"
#include "support/Unprivileged.h"

#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(FilterMask, TheFilterTextIsWrappedInStarsAndEndsWithASemicolon) {
  EXPECT_EQ(FilterMask("jpg"), "*jpg*;");
  EXPECT_EQ(FilterMask("*.*"), "*.*;");
  EXPECT_EQ(FilterMask("*.png"), "*.png*;");
  EXPECT_EQ(FilterMask("ab*"), "*ab*;");
  // One pattern only: the semicolons of a typed list are dropped.
  EXPECT_EQ(FilterMask("*.jpg;*.png"), "*.jpg*.png*;");
  EXPECT_EQ(FilterMask(""), "*;");
}

TEST(SizeText, BytesKilobytesAndMegabytesWithUpToTwoDecimals) {
  EXPECT_EQ(SizeText(0, 0), "");
  EXPECT_EQ(SizeText(1, 0), "");
  EXPECT_EQ(SizeText(0, 1023), "1023 Bytes");
  EXPECT_EQ(SizeText(1, 1024), "Size: 1 KB");
  EXPECT_EQ(SizeText(2, 1536), "Space Free: 1.5 KB");
  EXPECT_EQ(SizeText(3, 1024 * 1024 * 5 / 4), "Memory Size of Image: 1.25 MB");
  EXPECT_EQ(SizeText(9, 1000), "Size:1000 Bytes");
  EXPECT_EQ(SizeText(0, 1100), "1.07 KB");          // 1.0742...
  EXPECT_EQ(SizeText(1, 1025), "Size: 1 KB");       // 1.00098: zeros and the point dropped
  EXPECT_EQ(SizeText(1, 1048575), "Size: 1024 KB"); // 1023.999 rounds up, still in KB
  // Megabytes are the largest unit.
  EXPECT_EQ(SizeText(0, qint64(3) << 40), "3145728 MB");
}

TEST(StatusLine, PictureSizeFileSizeAndFileCountEachWhereTheyApply) {
  const TPictureFacts picture{640, 480, " ( 24 bits/pixel )"};
  EXPECT_EQ(StatusLineText(picture, 1536, 12), "640 x 480 ( 24 bits/pixel ) 1.5 KB  12 Files");
  EXPECT_EQ(StatusLineText({}, 1536, 3), " 1.5 KB  3 Files");
  EXPECT_EQ(StatusLineText(picture, std::nullopt, 0), "640 x 480 ( 24 bits/pixel )  0 Files");
  EXPECT_EQ(StatusLineText({}, std::nullopt, 7), "  7 Files");
  // A picture without a size is not valid.
  EXPECT_EQ(StatusLineText({0, 480, " ( 8 bits/pixel )"}, std::nullopt, 1), "  1 Files");
}

class ListMemory : public ::testing::Test {
protected:
  void SetUp() override {
    for (int i = 0; i < 60; ++i)
      test::WriteFile(Folder.path() + QString("/f%1.png").arg(i, 2, 10, QChar('0')), "x");
    List.SetMultiSelect(true);
    List.resize(120, 100);
    List.SetMask("*.png");
    List.SetDirectory(Folder.path());
    List.FinishReading();
  }
  void Reread() {
    List.Reread("*.png");
    List.FinishReading();
  }
  QStringList SelectedNames() const {
    QStringList names;
    for (int i = 0; i < List.Count(); ++i)
      if (List.Selected(i)) names << List.Item(i).Name;
    return names;
  }

  test::TApplicationFirst App;
  test::TKeepCurrentFolder Keep;
  QTemporaryDir Folder;
  TFListBox List;
};

TEST_F(ListMemory, TheRememberedFileIsSelectedAgainWhereverItMoved) {
  List.SetItemIndex(40);
  List.verticalScrollBar()->setValue(List.verticalScrollBar()->maximum() / 2);
  const TListMemory memory = TListMemory::Of(List);
  EXPECT_EQ(memory.Position, 40);
  EXPECT_EQ(memory.Name, "f40.png");
  // Two names before it go away: the file moved up two places.
  QFile::remove(Folder.path() + "/f01.png");
  QFile::remove(Folder.path() + "/f02.png");
  Reread();
  memory.RestoreIn(List);
  EXPECT_EQ(SelectedNames(), QStringList({"f40.png"}));
  EXPECT_EQ(List.verticalScrollBar()->value(), memory.Scroll);
}

TEST_F(ListMemory, AGoneFileGivesItsPlaceToTheNextAndNothingPastTheEnd) {
  List.SetItemIndex(10);
  List.SetSelected(20, true);
  TListMemory memory = TListMemory::Of(List);
  EXPECT_EQ(memory.Name, "f10.png"); // the first selected one
  QFile::remove(Folder.path() + "/f10.png");
  Reread();
  memory.RestoreIn(List);
  EXPECT_EQ(SelectedNames(), QStringList({"f11.png"}));

  List.SetItemIndex(List.Count() - 1);
  memory = TListMemory::Of(List);
  QFile::remove(Folder.path() + "/f59.png");
  Reread();
  memory.RestoreIn(List);
  EXPECT_TRUE(SelectedNames().isEmpty());

  // Names match exactly: another case is another file.
  List.SetItemIndex(0);
  memory = TListMemory::Of(List);
  memory.Name = "F00.PNG";
  memory.Position = 5;
  memory.RestoreIn(List);
  EXPECT_EQ(SelectedNames(), QStringList({List.Item(5).Name}));
}

TEST(NearestExistingFolder, ClimbsToTheFirstFolderThatCanBeEntered) {
  test::TTempEnvironment env;
  const QString kept = env.Folder("a/b");
  EXPECT_EQ(NearestExistingFolder(kept + "/c/d/e"), kept);
  EXPECT_EQ(NearestExistingFolder(kept), kept);
  EXPECT_EQ(NearestExistingFolder("/no-such-folder-here/x"), "/");
  test::WriteFile(kept + "/file", "x");
  EXPECT_EQ(NearestExistingFolder(kept + "/file"), kept);
}

TEST(NearestExistingFolder, AFolderThatCannotBeEnteredIsPassedOver) {
  if (test::RerunUnprivileged()) return;
  test::TTempEnvironment env;
  const QString outer = env.Folder("outer");
  const QString closed = env.Folder("outer/closed");
  ASSERT_TRUE(QFile::setPermissions(closed, QFile::ReadOwner));
  EXPECT_EQ(NearestExistingFolder(closed), outer);
  QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(LiesIn, OnlyFilesDirectlyInTheFolder) {
  EXPECT_TRUE(LiesIn("/p/q/saved.png", "/p/q"));
  EXPECT_TRUE(LiesIn("/p/q/saved.png", "/p/q/"));
  EXPECT_FALSE(LiesIn("/p/q/r/saved.png", "/p/q"));
  EXPECT_FALSE(LiesIn("/p/saved.png", "/p/q"));
  EXPECT_FALSE(LiesIn("", "/p/q"));
}

TEST(FileStamp, ChangesWithTheFilesSizeOrTimeAndNotOtherwise) {
  QTemporaryDir folder;
  const QString file = folder.path() + "/a.png";
  test::WriteFile(file, "1234");
  const TFileStamp before = TFileStamp::Of(file);
  EXPECT_EQ(before.Size, 4);
  EXPECT_EQ(TFileStamp::Of(file), before);
  test::WriteFile(file, "123456");
  EXPECT_FALSE(TFileStamp::Of(file) == before);
  EXPECT_EQ(TFileStamp::Of(folder.path() + "/gone.png").Size, -1);
}

} // namespace
} // namespace kestrel
