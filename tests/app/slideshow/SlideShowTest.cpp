// The slide show, driven tick by tick: its pace at every speed, the files it steps through and
// wraps round, an empty folder and damaged files, and the speed window that sets and stores the
// pace.

#include "app/slideshow/SlideShow.h"
#include "app/slideshow/SpeedSlide.h"

#include "app/view/ViewTestSupport.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QSlider>
#include <QTimer>

namespace kestrel {
namespace {

// The ticks until the next file is due, counting the one that makes it due.
int TicksToNext(TSlideShow& show, int count) {
  for (int ticks = 1; ticks <= 1000; ++ticks)
    if (show.Tick(count)) return ticks;
  return -1;
}

TEST(SlideShowClock, EachSpeedGivesItsPaceAndAnEmptyListHoldsIt) {
  TSlideShow show;
  EXPECT_EQ(show.Ticks(), 33);
  EXPECT_FALSE(show.Tick(5)); // stopped
  show.SetRunning(true);
  EXPECT_EQ(TicksToNext(show, 5), 34);
  EXPECT_EQ(TicksToNext(show, 5), 34);
  show.SetTicks(1);
  show.Restart();
  EXPECT_EQ(TicksToNext(show, 5), 2);
  show.SetTicks(64);
  show.Restart();
  EXPECT_EQ(TicksToNext(show, 5), 65);

  // A stored value out of range is kept within it.
  show.SetTicks(0);
  EXPECT_EQ(show.Ticks(), 1);
  show.SetTicks(500);
  EXPECT_EQ(show.Ticks(), 64);

  // An empty list spends no ticks; a failed load makes the next tick move on.
  show.Restart();
  for (int i = 0; i < 200; ++i)
    EXPECT_FALSE(show.Tick(0));
  EXPECT_EQ(TicksToNext(show, 1), 65);
  show.LoadFailed();
  EXPECT_EQ(TicksToNext(show, 1), 1);

  EXPECT_EQ(TSlideShow::NextPosition(2, true, 5), 3);
  EXPECT_EQ(TSlideShow::NextPosition(4, true, 5), 0);
  EXPECT_EQ(TSlideShow::NextPosition(2, false, 5), 2);
  EXPECT_EQ(TSlideShow::NextPosition(-1, false, 3), 0);
}

class SlideShow : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Pictures = Env.Folder("Pictures");
  }
  // A window on the folder with the housekeeping timer stopped: the test gives the ticks.
  TKestrelMain* Open(const QString& path) {
    TKestrelMain* main = Start({path});
    if (!main) return nullptr;
    main->WaitForPicture();
    main->Timer1->stop();
    main->Timer1Timer(); // the first tick, which only decides the installation
    return main;
  }
  // Ticks the window n times; the name of the file shown after them.
  static QString Ticks(TKestrelMain* main, int n) {
    for (int i = 0; i < n; ++i) {
      main->Timer1Timer();
      main->WaitForPicture();
    }
    return main->FListBox1->SelectedName();
  }
  void WritePictures(const QStringList& names) {
    for (const QString& name : names)
      test::WritePicture(*test::PatternBitmap(8, 6), Pictures + "/" + name);
  }

  QString Pictures;
};

TEST_F(SlideShow, StepsThroughTheListAndWrapsRound) {
  WritePictures({"1.bmp", "2.bmp", "3.bmp", "4.bmp", "5.bmp"});
  TKestrelMain* main = Open(Pictures + "/3.bmp");
  ASSERT_NE(main, nullptr);
  main->Commands().Action("enable1")->trigger();
  EXPECT_TRUE(main->SlideShow.Running());
  EXPECT_EQ(main->Commands().Action("enable1")->text(), "Stop");
  EXPECT_TRUE(main->Commands().Action("ToolButton4")->isChecked());

  EXPECT_EQ(Ticks(main, 33), "3.bmp");
  EXPECT_EQ(Ticks(main, 1), "4.bmp");
  EXPECT_EQ(main->CurrentPicture, Pictures + "/4.bmp");
  EXPECT_EQ(Ticks(main, 34), "5.bmp");
  EXPECT_EQ(Ticks(main, 34), "1.bmp");
  EXPECT_EQ(main->ViewBitmap->Width(), 8);

  // The toolbar button stops it, and the menu item follows.
  main->Commands().Action("ToolButton4")->trigger();
  EXPECT_FALSE(main->SlideShow.Running());
  EXPECT_FALSE(main->Commands().Action("enable1")->isChecked());
  EXPECT_EQ(main->Commands().Action("enable1")->text(), "&Start");
  EXPECT_EQ(Ticks(main, 100), "1.bmp");
}

TEST_F(SlideShow, TheSpeedWindowSetsThePaceAtOnceAndStoresItWhenItCloses) {
  WritePictures({"a.bmp", "b.bmp", "c.bmp"});
  WriteSetting("SlideShow", "Timer", 500); // edited by hand
  TKestrelMain* main = Open(Pictures + "/a.bmp");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->SlideShow.Ticks(), 64);

  main->Commands().Action("AdjustTimer1")->trigger();
  ASSERT_NE(main->SpeedWindow, nullptr);
  EXPECT_EQ(main->SpeedWindow->windowTitle(), "Slide Show Timer Speed");
  EXPECT_EQ(main->SpeedWindow->TrackBar1->value(), 64);
  main->SpeedWindow->TrackBar1->setValue(1);
  EXPECT_EQ(main->SlideShow.Ticks(), 1);
  EXPECT_EQ(StoredNumber("SlideShow", "Timer"), 500);
  main->SpeedWindow->close();
  EXPECT_TRUE(test::WaitUntil([&] { return main->SpeedWindow.isNull(); }));
  EXPECT_EQ(StoredNumber("SlideShow", "Timer"), 1);

  main->Commands().Action("ToolButton4")->trigger();
  EXPECT_TRUE(main->Commands().Action("enable1")->isChecked());
  EXPECT_EQ(Ticks(main, 1), "a.bmp");
  EXPECT_EQ(Ticks(main, 1), "b.bmp");
  EXPECT_EQ(Ticks(main, 2), "c.bmp");
}

TEST_F(SlideShow, AnEmptyFolderIdlesAndTheShowGoesOnWhenFilesAppear) {
  TKestrelMain* main = Open(Pictures);
  ASSERT_NE(main, nullptr);
  main->Commands().Action("enable1")->trigger();
  EXPECT_EQ(Ticks(main, 200), "");
  EXPECT_EQ(main->ImageKind, 0);
  WritePictures({"new.bmp"});
  main->FileListRefresh();
  main->FListBox1->FinishReading();
  EXPECT_EQ(Ticks(main, 34), "new.bmp");
  EXPECT_EQ(main->CurrentPicture, Pictures + "/new.bmp");
}

TEST_F(SlideShow, DamagedFilesAreSteppedOverSilently) {
  for (const char* name : {"a.bmp", "b.png", "c.jpg", "d.gif"})
    test::WriteFile(Pictures + "/" + name, "damaged");
  TKestrelMain* main = Open(Pictures + "/a.bmp");
  ASSERT_NE(main, nullptr);
  main->Commands().Action("enable1")->trigger();
  // Each failed load makes the next tick move on.
  EXPECT_EQ(Ticks(main, 34), "b.png");
  EXPECT_EQ(Ticks(main, 1), "c.jpg");
  EXPECT_EQ(Ticks(main, 1), "d.gif");
  EXPECT_EQ(Ticks(main, 1), "a.bmp");
  EXPECT_EQ(Ticks(main, 1), "b.png");
  EXPECT_TRUE(Messages.empty()) << LastMessage().toStdString();
}

} // namespace
} // namespace kestrel
