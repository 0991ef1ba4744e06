// One-level undo: the snapshot file, and the "&Undo" item of the main window with the commands
// that take snapshots.

#include "app/undo/Undo.h"
#include "app/resample/ResampleDialog.h"
#include "app/undo/UndoFile.h"
#include "app/undo/UndoStore.h"
#include "app/view/Dpicture.h"
#include "app/view/ImageKind.h"
#include "platform/paths/Paths.h"

#include "app/view/PictureWindowFixture.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QMenu>

#include <csignal>
#include <sys/resource.h>

namespace kestrel {
namespace {

// Files past limit bytes cannot be written while the object lives, as on a full disk.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lower = saved_;
    lower.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

std::unique_ptr<TUndoStore> NewStore(const QString& folder) {
  return std::make_unique<TUndoStore>(OpenUndoFile(folder));
}

TEST(UndoStore, EveryPixelFormatComesBackAndAShortSnapshotAfterALongOneLeavesNothingOfIt) {
  test::TTempEnvironment env;
  auto store = NewStore(env.Folder("UNDO"));
  auto indexed = test::IndexedBitmap(13, 7, 16);
  auto pattern = test::PatternBitmap(301, 203);
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap bitmap;
    bitmap.Assign(format <= pf8bit ? indexed.get() : pattern.get());
    bitmap.SetPixelFormat(format);
    bitmap.SetPelsPerMeter(3780, 2835);
    store->Write(bitmap);
    const auto back = store->Read();
    EXPECT_EQ(back->PixelFormat(), format);
    EXPECT_EQ(test::SizeAndPixels(*back), test::SizeAndPixels(bitmap)) << format;
    EXPECT_EQ(back->OwnPalette().Count(), bitmap.OwnPalette().Count());
    EXPECT_EQ(back->XPelsPerMeter(), 3780);
  }
  store->Write(*pattern);
  const qint64 longSize = QFileInfo(store->FileName()).size();
  auto small = test::PatternBitmap(3, 2);
  store->Write(*small);
  EXPECT_LT(QFileInfo(store->FileName()).size(), longSize / 1000);
  EXPECT_EQ(test::SizeAndPixels(*store->Read()), test::SizeAndPixels(*small));
}

TEST(UndoStore, AWriteThatFailsLeavesNoTornSnapshot) {
  test::TTempEnvironment env;
  auto store = NewStore(env.Folder("UNDO"));
  store->Write(*test::PatternBitmap(10, 10));
  {
    const TFileSizeLimit full(4096);
    EXPECT_THROW(store->Write(*test::PatternBitmap(100, 100)), EUndoError);
  }
  EXPECT_EQ(QFileInfo(store->FileName()).size(), 0);
  EXPECT_ANY_THROW(store->Read());
}

class UndoCommand : public test::PictureWindowFixture {
protected:
  TKestrelMain* Show(const TBitmap& bitmap) { return ShowPicture(bitmap); }
  // A stroke of an editing tool: a black square, and the picture counts as edited.
  static void Draw(TKestrelMain* main) {
    TCanvas& canvas = main->ViewBitmap->Canvas();
    canvas.Brush.Color = clBlack;
    canvas.FillRect({2, 2, 9, 9});
    main->ImageModified = true;
  }
  static void Resample(TKestrelMain* main, const char* percent = "50") {
    main->Resample1Click();
    main->ResampleWindow->SizeEdit->setText(percent);
    main->ResampleWindow->Button1Click();
    main->ResampleWindow->WaitUntilIdle();
  }
  static QAction* Item(TKestrelMain* main) { return main->Commands().Action("Undo1"); }
};

TEST_F(UndoCommand, AnEditedPictureComesBackAfterTheCommandThatReplacedIt) {
  TKestrelMain* main = Show(*test::PatternBitmap(40, 30));
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(Item(main)->isEnabled());
  Draw(main);
  const auto drawn = test::SizeAndPixels(*main->ViewBitmap);
  Resample(main);
  EXPECT_EQ(main->ViewBitmap->Width(), 20);
  EXPECT_TRUE(Item(main)->isEnabled());
  EXPECT_EQ(Item(main)->text(), "Undo: Resample");

  Item(main)->trigger();
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), drawn);
  EXPECT_EQ(main->OverlayBitmap->PixelFormat(), main->ViewBitmap->PixelFormat());
  EXPECT_FALSE(Item(main)->isEnabled());
  EXPECT_EQ(Item(main)->text(), "Undo");
  EXPECT_TRUE(main->ImageModified); // what came back is still the edited picture

  // Loading another file keeps the edited picture for Undo, under the load's name.
  main->LoadPicture(Env.Folder("pics") + "/a.bmp");
  main->WaitForPicture();
  EXPECT_FALSE(main->ImageModified);
  EXPECT_EQ(Item(main)->text(), "Undo: Load From File");
  Item(main)->trigger();
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), drawn);
}

TEST_F(UndoCommand, AnUnmodifiedPictureTakesNoSnapshot) {
  TKestrelMain* main = Show(*test::PatternBitmap(40, 30));
  ASSERT_NE(main, nullptr);
  Resample(main);
  EXPECT_FALSE(Item(main)->isEnabled());
  EXPECT_EQ(QFileInfo(main->Undo->FileName()).size(), 0);
}

TEST_F(UndoCommand, WithoutAWritableUndoFolderUndoStaysOffWithOneMessageAndEditingGoesOn) {
  // A file where the folder should be: no undo file can be made, whoever runs the test.
  QDir().mkpath(QFileInfo(UndoFolderName().chopped(1)).absolutePath());
  test::WriteFile(UndoFolderName().chopped(1), "not a folder");
  TKestrelMain* main = Show(*test::PatternBitmap(40, 30));
  ASSERT_NE(main, nullptr);
  const size_t before = Messages.size();
  Draw(main);
  Resample(main);
  Draw(main);
  Resample(main, "25");
  EXPECT_EQ(main->ViewBitmap->Width(), 10); // both runs went ahead
  EXPECT_FALSE(Item(main)->isEnabled());
  ASSERT_EQ(Messages.size(), before + 1);
  EXPECT_EQ(Messages.back().Caption, "Kestrel!: Undo");
}

TEST_F(UndoCommand, AFailedSnapshotDisablesUndoAndLeavesThePicture) {
  TKestrelMain* main = Show(*test::PatternBitmap(200, 100));
  ASSERT_NE(main, nullptr);
  Draw(main);
  main->Snapshot("First");
  EXPECT_TRUE(Item(main)->isEnabled());
  const auto drawn = test::SizeAndPixels(*main->ViewBitmap);
  {
    const TFileSizeLimit full(1024);
    main->Snapshot("Second");
  }
  EXPECT_FALSE(Item(main)->isEnabled());
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), drawn);
  EXPECT_EQ(Messages.back().Caption, "Kestrel!: Undo");
}

} // namespace
} // namespace kestrel
