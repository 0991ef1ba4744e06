// The Picture Index Maker from the main window: the page is built in the view from the selected
// files, shown as an edited picture, and saved under the folder's name.

#include "app/main/KestrelMain.h"
#include "app/options/JpgOptions.h"
#include "app/view/ImageKind.h"
#include "browse/index/Thumbs.h"
#include "imaging/core/Bitmap.h"
#include "platform/ui/SaveDialog.h"

#include "support/MainWindowFixture.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace kestrel {
namespace {

class MainIndex : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Pictures = Env.Folder("Trip");
    for (int i = 1; i <= 4; ++i) {
      TBitmap bitmap(120, 80, pf24bit);
      bitmap.Canvas().Brush.Color = 0x204080 * i;
      bitmap.Canvas().FillRect({0, 0, 120, 80});
      bitmap.SaveToFile(QFile::encodeName(Pictures + QString("/p%1.bmp").arg(i)).toStdString());
    }
    test::WriteFile(Pictures + "/tune.wav", "RIFF....WAVEfmt ");
    Previous = SetSaveDialogHandler([this](const TSaveDialogRequest& request) {
      Requests.push_back(request);
      return TSaveDialogAnswer{Chosen, request.InitialDir + "/" + request.FileName + ".jpg", 1};
    });
  }
  void TearDown() override {
    SetSaveDialogHandler(Previous);
    MainWindowFixture::TearDown();
  }
  TKestrelMain* ShowTrip() {
    TKestrelMain* main = Start({Pictures + "/p1.bmp"});
    if (!main) return nullptr;
    main->Timer1Timer();
    main->WaitForPicture();
    main->FListBox1->SetMultiSelect(true);
    for (int i = 0; i < main->FListBox1->Count(); ++i)
      main->FListBox1->SetSelected(i, true);
    return main;
  }

  QString Pictures;
  TSaveDialogHandler Previous;
  std::vector<TSaveDialogRequest> Requests;
  bool Chosen = true;
};

TEST_F(MainIndex, ThePageIsBuiltInTheViewFromTheSelectedFilesAndSavedUnderTheFoldersName) {
  TKestrelMain* main = ShowTrip();
  ASSERT_NE(main, nullptr);
  main->Commands().Action("Thumbs1")->trigger();
  TThumbs& maker = main->IndexMaker();
  EXPECT_TRUE(maker.isVisible());
  EXPECT_EQ(maker.FilesSelected->text(), "5");
  maker.Start1Click();
  EXPECT_FALSE(main->FListBox1->isEnabled());
  ASSERT_TRUE(test::WaitUntil([&] { return !maker.Running(); }));
  EXPECT_TRUE(main->FListBox1->isEnabled());
  EXPECT_EQ(main->ImageKind, ikEdited);
  EXPECT_EQ(main->ViewBitmap->Width(), maker.Settings().PageWidth);
  EXPECT_EQ(main->ViewBitmap->Height(), maker.Settings().PageHeight);
  EXPECT_TRUE(main->windowTitle().contains("Picture Index")) << main->windowTitle().toStdString();
  // The sound gave no picture (and was not played): its cell holds a frame only.
  ASSERT_EQ(maker.LastCells().size(), 5u);
  EXPECT_TRUE(maker.LastCells()[4].Empty);
  EXPECT_FALSE(maker.LastCells()[0].Empty);
  EXPECT_TRUE(Messages.empty());
  // Going back to the file's own view rebuilds from the page, not from the file shown before.
  main->DontScale1Click();
  EXPECT_EQ(main->ViewBitmap->Width(), maker.Settings().PageWidth);

  // The JPEG writer asks for its options in a window of its own: OK.
  QTimer answer;
  answer.setInterval(5);
  QObject::connect(&answer, &QTimer::timeout, [&answer] {
    if (auto* window = qobject_cast<TJpgOptions*>(QApplication::activeModalWidget())) {
      answer.stop();
      window->Button1->click();
    }
  });
  answer.start();
  maker.SaveAs1Click();
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Title, "Save Thumbnail Index As");
  EXPECT_EQ(Requests[0].FileName, "!Trip_idx");
  EXPECT_EQ(Requests[0].InitialDir, Pictures);
  TPicture saved;
  saved.LoadFromFile(QFile::encodeName(Pictures + "/!Trip_idx.jpg").toStdString());
  EXPECT_EQ(saved.Width(), maker.Settings().PageWidth);
  Chosen = false; // cancelled: nothing more is written
  maker.SaveAs1Click();
  EXPECT_EQ(Requests[1].FileName, "!Trip(1)_idx");
}

TEST_F(MainIndex, ThePopUpsHandTheMakerItsBackgroundPictureAndBrowseFolder) {
  TKestrelMain* main = ShowTrip();
  ASSERT_NE(main, nullptr);
  main->FListBox1->SetMultiSelect(false);
  main->FListBox1->SetItemIndex(1);
  main->Commands().Action("ThumbsBgndDialog1")->trigger();
  EXPECT_EQ(main->IndexMaker().Settings().WallpaperFile, Pictures + "/p2.bmp");
  main->Commands().Action("ThumbsDialog1")->trigger();
  EXPECT_EQ(main->IndexMaker().BrowseFolder(),
            main->DListBox1->ItemPath(main->DListBox1->ItemIndex()));
  QGuiApplication::clipboard()->setText(Pictures + "/p3.bmp");
  Answer = TMsgResult::Yes;
  main->Commands().Action("ThumbsDialog2")->trigger();
  EXPECT_EQ(main->IndexMaker().BrowseFolder(), Pictures);
  EXPECT_EQ(main->IndexMaker().BrowseName(), "p3.bmp");
  QGuiApplication::clipboard()->setText(Pictures + "/gone.bmp");
  main->Commands().Action("ThumbsDialog2")->trigger();
  EXPECT_EQ(LastMessage(), "Path Not Found");
}

} // namespace
} // namespace kestrel
