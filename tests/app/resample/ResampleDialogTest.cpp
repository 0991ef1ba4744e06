// The Resample window: the new size from any of its three fields, the sample rates it chooses, what
// it refuses, a run delivered into the view as the box resampler makes it, stopping, and the main
// window's loads and animated GIFs meeting a run.

#include "app/resample/ResampleDialog.h"

#include "imaging/core/ImageLimits.h"
#include "processing/busy/BusyFlag.h"

#include "app/view/ViewTestSupport.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <cstring>
#include <memory>
#include <vector>

namespace kestrel {
namespace {

// A viewer of one picture, whose view is a bitmap of its own.
class TTestHost : public TResampleHost {
public:
  const TGraphic* Picture() const override { return Source.get(); }
  void PictureCopy(TBitmap& copy, TColor) const override {
    copy.Assign(Source.get());
    copy.SetPixelFormat(pf24bit);
  }
  bool PictureAnimated() const override { return Animated; }
  TColor ViewBackground() const override { return clNavy; }
  QSize ViewClientSize() const override { return Client; }
  TBitmap& ViewBitmap() override { return *Shown; }
  void ResampleStarted() override { ++Started; }
  void ShowResampled(bool ended) override { ended ? ++Ended : ++Shown_; }
  void FocusFileList() override {}
  bool EditedSourceAccepted() override { return Accepted; }
  // The name, and the width of what was shown when the snapshot was taken.
  void Snapshot(const QString& name) override {
    Snapshots.push_back(name + " " + QString::number(Shown->Width()));
  }

  std::unique_ptr<TBitmap> Source;
  std::unique_ptr<TBitmap> Shown = std::make_unique<TBitmap>(5, 5);
  bool Animated = false;
  bool Accepted = true; // the answer to the warning about an edited picture
  QSize Client{800, 600};
  int Started = 0, Shown_ = 0, Ended = 0;
  std::vector<QString> Snapshots;
};

class ResampleWindow : public test::MainWindowFixture {
protected:
  void Open(int width, int height) {
    Host.Source = width > 0 ? test::PatternBitmap(width, height) : nullptr;
    Window = std::make_unique<TResampleDialog>(Host);
    Window->Refresh();
  }
  std::vector<int> Fields() const {
    return {Window->WidthEdit->text().toInt(), Window->HeightEdit->text().toInt(),
            Window->SizeEdit->text().toInt()};
  }
  std::vector<int> Rates() const {
    return {Window->XSampleRate->value(), Window->YSampleRate->value()};
  }
  // What the box resampler makes of the picture at the window's size and rates.
  std::unique_ptr<TBitmap> Expected() const {
    auto expected = std::make_unique<TBitmap>();
    BoxResample(*Host.Source, *expected,
                {static_cast<int>(Window->NewWidth()),
                 static_cast<int>(Window->NewHeight()),
                 {Window->XSampleRate->value(), Window->YSampleRate->value()},
                 clNavy,
                 true});
    return expected;
  }
  bool WaitForEnd() {
    return test::WaitUntil([this] { return !Window->Running(); });
  }

  TTestHost Host;
  std::unique_ptr<TResampleDialog> Window;
};

TEST_F(ResampleWindow, SizesAndRatesFromEachField) {
  Open(640, 480);
  EXPECT_EQ(Window->CurrentSize->text(), "Original Size  640  x  480");
  EXPECT_TRUE(Window->Speed->isChecked());
  Window->SizeEdit->setText("50");
  EXPECT_EQ(Fields(), (std::vector<int>{320, 240, 50}));
  EXPECT_EQ(Rates(), (std::vector<int>{1, 1}));
  Window->Quality->click();
  EXPECT_EQ(Rates(), (std::vector<int>{1, 3}));

  Window->WidthEdit->setText("1280");
  EXPECT_EQ(Fields(), (std::vector<int>{1280, 960, 200}));
  EXPECT_EQ(Rates(), (std::vector<int>{3, 3}));
  Window->Speed->click();
  EXPECT_EQ(Rates(), (std::vector<int>{2, 2}));
  Window->HeightEdit->setText("120");
  EXPECT_EQ(Fields(), (std::vector<int>{160, 120, 25}));

  // Manual rates stay as typed whatever the size.
  Window->Manual->setChecked(true);
  Window->XSampleRate->setValue(7);
  Window->SizeEdit->setText("300");
  EXPECT_EQ(Rates(), (std::vector<int>{7, 2}));

  // Fit To Client fills the side of the view the picture is relatively wider in.
  Window->Manual->setChecked(false);
  Host.Client = {1000, 300};
  Window->FitToClient->setChecked(true);
  EXPECT_EQ(Fields(), (std::vector<int>{400, 300, 62}));
}

TEST_F(ResampleWindow, FieldsTakeDigitsOnlyAndSizeStopsAtItsLimit) {
  Open(640, 480);
  Window->SizeEdit->clear();
  QTest::keyClicks(Window->SizeEdit, "1500");
  EXPECT_EQ(Window->SizeEdit->text(), "1000");
  EXPECT_EQ(Fields(), (std::vector<int>{6400, 4800, 1000}));
  QTest::keyClicks(Window->SizeEdit, "7"); // a fifth digit
  EXPECT_EQ(Window->SizeEdit->text(), "1000");
  // A width ten times past the limit keeps the percentage at it.
  Window->WidthEdit->setText("64000");
  EXPECT_EQ(Fields(), (std::vector<int>{64000, 48000, 1000}));

  QTest::keyClicks(Window->WidthEdit, "ab");
  EXPECT_EQ(Window->WidthEdit->text(), "64000");
  Window->HeightEdit->selectAll();
  Window->HeightEdit->insert("-5"); // as a paste arrives
  EXPECT_EQ(Window->HeightEdit->text(), "48000");
}

TEST_F(ResampleWindow, APictureOfNoSizeDividesByNothing) {
  Open(0, 0);
  EXPECT_EQ(Window->CurrentSize->text(), "Original Size  0  x  0");
  Window->WidthEdit->setText("300");
  Window->HeightEdit->setText("200");
  Window->SizeEdit->setText("50");
  EXPECT_EQ(Fields(), (std::vector<int>{0, 0, 50}));
  Window->Button1Click();
  EXPECT_EQ(LastMessage(), "The Graphic is Not Valid");
  EXPECT_FALSE(Window->Running());
}

TEST_F(ResampleWindow, RefusesWhatItCannotMake) {
  Open(640, 480);
  const auto refusal = [this] {
    Messages.clear();
    Window->Button1Click();
    EXPECT_FALSE(Window->Running());
    return LastMessage();
  };
  Window->SizeEdit->clear();
  EXPECT_EQ(refusal(), "Invalid Size");
  Host.Animated = true; // overrides every other reason
  EXPECT_EQ(refusal(), "Sorry Cannot Resample Animated Gifs");
  Host.Animated = false;
  Window->WidthEdit->setText("2");
  EXPECT_EQ(refusal(), "Invalid Size");

  // A size past the memory limit is told, and the view keeps the old picture.
  ImageLimits::SetMaxBytes(10'000'000);
  Window->SizeEdit->setText("500");
  EXPECT_TRUE(refusal().contains("beyond the size limit"));
  ImageLimits::SetMaxBytes(0);
  EXPECT_EQ(Host.Shown->Width(), 5);
  EXPECT_EQ(Host.Started, 0);

  // While other long work holds the flag, the button does nothing at all.
  TBusyClaim rotation;
  ASSERT_TRUE(rotation.Held());
  EXPECT_EQ(refusal(), "");
  EXPECT_EQ(Host.Started, 0);
  rotation.Release();

  // The user aborts at the warning that the edited picture is not what is resampled.
  Window->SizeEdit->setText("50");
  Host.Accepted = false;
  EXPECT_EQ(refusal(), "");
  EXPECT_EQ(Host.Started, 0);
  EXPECT_TRUE(Host.Snapshots.empty());
}

TEST_F(ResampleWindow, ARunDeliversTheBoxResamplersPicture) {
  Open(300, 200);
  Window->SizeEdit->setText("150");
  Window->Quality->click();
  Window->Button1Click();
  EXPECT_TRUE(Window->Running());
  // The undo snapshot is of the picture shown before the run replaced it.
  EXPECT_EQ(Host.Snapshots, std::vector<QString>{"Resample 5"});
  EXPECT_EQ(Window->Button1->text(), "Stop");
  EXPECT_EQ(Window->Light(), TResampleDialog::TLight::Running);
  EXPECT_FALSE(TBusyClaim::NotBusy());
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(test::SizeAndPixels(*Host.Shown), test::SizeAndPixels(*Expected()));
  EXPECT_EQ(Window->Progress(), 100);
  EXPECT_EQ(Window->Button1->text(), "Resample");
  EXPECT_EQ(Window->Light(), TResampleDialog::TLight::Idle);
  EXPECT_EQ(Host.Ended, 1);
  EXPECT_GT(Host.Shown_, 0);
  EXPECT_TRUE(TBusyClaim::NotBusy());
}

TEST_F(ResampleWindow, TinyAndThinPictures) {
  Open(1, 1);
  Window->Button1Click();
  EXPECT_EQ(LastMessage(), "Invalid Size");
  Window->SizeEdit->setText("1000");
  Window->Button1Click();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(test::SizeAndPixels(*Host.Shown), test::SizeAndPixels(*Expected()));

  Open(1, 50000);
  Window->SizeEdit->setText("300");
  EXPECT_EQ(Fields(), (std::vector<int>{3, 150000, 300}));
  Window->Button1Click();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(test::SizeAndPixels(*Host.Shown), test::SizeAndPixels(*Expected()));
}

TEST_F(ResampleWindow, StopKeepsTheRowsMadeAndStartingWorksAgain) {
  Open(1200, 900);
  Window->SizeEdit->setText("200");
  Window->Quality->click();
  Window->Button1Click();
  Window->Button1Click(); // "Stop"
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(Window->Button1->text(), "Resample");
  EXPECT_TRUE(TBusyClaim::NotBusy());
  // However far the run got: its finished rows, then at most one part-made row, then the rows
  // as they were prepared (the background inside the frame).
  const std::unique_ptr<TBitmap> expected = Expected();
  TBitmap prepared;
  PrepareBoxDestination(prepared, {2400, 1800, {3, 3}, clNavy, true});
  ASSERT_EQ(Host.Shown->Width(), 2400);
  const size_t bytes = 3 * 2400;
  int y = 0;
  while (y < 1800 && std::memcmp(Host.Shown->ScanLine(y), expected->ScanLine(y), bytes) == 0)
    ++y;
  if (y < 1800 && std::memcmp(Host.Shown->ScanLine(y), prepared.ScanLine(y), bytes) != 0) ++y;
  for (; y < 1800; ++y)
    ASSERT_EQ(std::memcmp(Host.Shown->ScanLine(y), prepared.ScanLine(y), bytes), 0) << y;

  Window->Button1Click();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(test::SizeAndPixels(*Host.Shown), test::SizeAndPixels(*expected));
}

TEST_F(ResampleWindow, StopAndWaitDropsWhatTheRunHadNotDelivered) {
  Open(1200, 900);
  Window->SizeEdit->setText("200");
  Window->Button1Click();
  Window->StopAndWait();
  EXPECT_FALSE(Window->Running());
  EXPECT_TRUE(TBusyClaim::NotBusy());
  const std::vector<TPixelColor> after = test::SizeAndPixels(*Host.Shown);
  QTest::qWait(50); // anything the run had posted would arrive now
  EXPECT_EQ(test::SizeAndPixels(*Host.Shown), after);
  EXPECT_EQ(Host.Ended, 0);
}

// The main window with its Resample window.
class MainResample : public test::MainWindowFixture {
protected:
  TKestrelMain* Show(const QString& path) {
    TKestrelMain* main = Start({path});
    if (!main) return nullptr;
    main->show();
    main->WaitForPicture();
    return main;
  }
};

TEST_F(MainResample, AnAnimatedGifIsRefused) {
  TKestrelMain* main = Show(QString(KESTREL_TEST_DATA) + "/gif/gifbuild-two-frames.gif");
  ASSERT_TRUE(main);
  main->Resample1Click();
  main->ResampleWindow->Button1Click();
  EXPECT_EQ(LastMessage(), "Sorry Cannot Resample Animated Gifs");
  EXPECT_FALSE(main->Resampling());
}

TEST_F(MainResample, LoadingDuringARunStopsItFirst) {
  const QString folder = Env.Folder("Pictures");
  test::WritePicture(*test::PatternBitmap(1500, 1000), folder + "/large.bmp");
  test::WritePicture(*test::PatternBitmap(40, 30), folder + "/small.bmp");
  TKestrelMain* main = Show(folder + "/large.bmp");
  ASSERT_TRUE(main);
  main->Resample1Click();
  main->ResampleWindow->SizeEdit->setText("200");
  main->ResampleWindow->Button1Click();
  ASSERT_TRUE(main->Resampling());
  EXPECT_EQ(main->ViewBitmap->Width(), 3000);
  main->LoadPicture(folder + "/small.bmp");
  EXPECT_FALSE(main->Resampling());
  main->WaitForPicture();
  QTest::qWait(20);
  EXPECT_EQ(main->ViewBitmap->Width(), 40);
  EXPECT_EQ(main->ResampleWindow->CurrentSize->text(), "Original Size  40  x  30");
  EXPECT_TRUE(TBusyClaim::NotBusy());
}

TEST_F(MainResample, TheResampledPictureIsWhatEveryModeShowsAfterwards) {
  const QString folder = Env.Folder("Pictures");
  test::WritePicture(*test::PatternBitmap(60, 40), folder + "/p.bmp");
  TKestrelMain* main = Show(folder + "/p.bmp");
  ASSERT_TRUE(main);
  main->Resample1Click();
  main->ResampleWindow->SizeEdit->setText("200");
  main->ResampleWindow->Button1Click();
  ASSERT_TRUE(test::WaitUntil([main] { return !main->Resampling(); }));
  ASSERT_EQ(main->ViewBitmap->Width(), 120);
  main->Commands().Action("FitToWindow1")->trigger();
  main->Commands().Action("DontScale1")->trigger(); // drawn again: from the resampled picture
  EXPECT_EQ(main->ViewBitmap->Width(), 120);
  EXPECT_EQ(main->ViewBitmap->Height(), 80);
}

} // namespace
} // namespace kestrel
