// The Arbitrary Rotation window: its angle from the slider, the field, the presets and the sign
// button; a turn delivered into the view as it is made, always from the loaded picture; 1- and
// 4-bit pictures turned as 8-bit ones; and the flag, the light and the view as they must be after
// a turn that cannot be made or does not end.

#include "app/rotate/RotateDialog.h"

#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/ImageLimits.h"
#include "processing/rotate/Rotation.h"

#include "app/view/ViewTestSupport.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <memory>

namespace kestrel {
namespace {

// A viewer of one picture, whose view is a bitmap of its own.
class TTestHost : public TRotateHost {
public:
  bool HasPicture() const override { return Source && !Source->Empty(); }
  bool EditingToolsActive() const override { return ToolsActive; }
  bool EditingWarningAccepted() override {
    ++Warnings;
    return WarningAnswer;
  }
  void Snapshot(const QString& name) override { Snapshots << name; }
  void RotationSource(TBitmap& copy) const override { copy.Assign(Source.get()); }
  TColor ViewBackground() const override { return clNavy; }
  TBitmap& ViewBitmap() override { return *Shown; }
  void RotationStarted(const TBitmap& destination) override {
    Before.Assign(Shown.get());
    Shown->Assign(&destination);
    ++Started;
  }
  void ShowRotated() override { ++Grown; }
  void RotationEnded(bool completed) override {
    if (!completed) Shown->Assign(&Before);
    Completed.push_back(completed);
  }

  std::unique_ptr<TBitmap> Source;
  std::unique_ptr<TBitmap> Shown = std::make_unique<TBitmap>(5, 5);
  TBitmap Before;
  QStringList Snapshots;
  int Started = 0, Grown = 0;
  bool ToolsActive = false, WarningAnswer = true;
  int Warnings = 0;
  std::vector<bool> Completed;
};

class RotateWindow : public test::MainWindowFixture {
protected:
  void Open(std::unique_ptr<TBitmap> source) {
    Host.Source = std::move(source);
    Window = std::make_unique<TRotateDialog>(Host);
    Window->show(); // Enter reaches the default button of a shown window only
  }
  void Apply(int degrees) {
    Window->SpinEdit1->setValue(degrees);
    Window->Button1->click();
  }
  bool WaitForEnd() {
    return test::WaitUntil([this] { return !Window->Running(); });
  }
  // What the turn of the source by degrees is, made at once.
  std::vector<TPixelColor> Expected(int degrees) const {
    TBitmap source;
    source.Assign(Host.Source.get());
    if (source.BitsPerPixel() < 8) source.SetPixelFormat(pf8bit);
    TBitmap turned;
    RotateBitmap(source, turned, degrees, clNavy);
    return test::SizeAndPixels(turned);
  }

  TTestHost Host;
  std::unique_ptr<TRotateDialog> Window;
};

TEST_F(RotateWindow, TheAngleFromSliderFieldPresetsAndSign) {
  Open(nullptr);
  EXPECT_EQ(Window->windowTitle(), "Arbitrary Rotation");
  EXPECT_EQ(Window->SpinEdit1->value(), 0);
  Window->TrackBar1->setValue(-135);
  EXPECT_EQ(Window->SpinEdit1->value(), -135);
  Window->SpinEdit1->setValue(72);
  EXPECT_EQ(Window->TrackBar1->value(), 72);

  // "-" negates the field and signs the presets from then on.
  Window->SpinEdit1->setValue(0);
  Window->SpeedButton1->click();
  Window->Presets[3]->click(); // "45"
  EXPECT_EQ(Window->SpinEdit1->value(), -45);
  Window->SpeedButton1->click();
  EXPECT_EQ(Window->SpinEdit1->value(), 45);
  Window->Presets[5]->click(); // "90"
  EXPECT_EQ(Window->SpinEdit1->value(), 90);
  QStringList captions;
  for (const QPushButton* preset : Window->Presets)
    captions << preset->text();
  EXPECT_EQ(captions, QStringList({"0", "20", "30", "45", "60", "90"}));

  // Typed angles stay within -180 .. 180, and text that is no number is not taken.
  QLineEdit* field = Window->SpinEdit1->findChild<QLineEdit*>();
  for (const char* typed : {"360", "-720", "100000", "abc"}) {
    field->selectAll();
    QTest::keyClicks(field, typed);
    Window->SpinEdit1->interpretText();
    EXPECT_GE(Window->SpinEdit1->value(), -180) << typed;
    EXPECT_LE(Window->SpinEdit1->value(), 180) << typed;
    EXPECT_LE(field->text().size(), 4) << typed;
  }
}

TEST_F(RotateWindow, ATurnGrowsInTheViewAndAlwaysStartsFromTheLoadedPicture) {
  Open(test::PatternBitmap(600, 400));
  // Enter in the angle field applies it.
  Window->SpinEdit1->setValue(30);
  QTest::keyClick(Window->SpinEdit1, Qt::Key_Return);
  EXPECT_TRUE(Window->Running());
  EXPECT_TRUE(Window->BusyLight());
  EXPECT_FALSE(TBusyClaim::NotBusy());
  // Nothing starts while one runs.
  Window->Button1->click();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(Host.Started, 1);
  EXPECT_EQ(Host.Snapshots, QStringList({"Arbitrary Rotation"}));
  EXPECT_EQ(test::SizeAndPixels(*Host.Shown), Expected(30));
  // 400 rows and more arrive in bands of 66.
  EXPECT_GE(Host.Grown, 7);
  EXPECT_FALSE(Window->BusyLight());
  EXPECT_TRUE(TBusyClaim::NotBusy());

  // A second press at 30 turns the picture by 30, not 60.
  Window->Button1->click();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(test::SizeAndPixels(*Host.Shown), Expected(30));
  EXPECT_EQ(Host.Completed, (std::vector<bool>{true, true}));
  EXPECT_EQ(Host.Warnings, 0);

  // Under the editing tools the user is warned first, and Abort turns nothing.
  Host.ToolsActive = true;
  Host.WarningAnswer = false;
  Window->Button1->click();
  EXPECT_EQ(Host.Warnings, 1);
  EXPECT_FALSE(Window->Running());
  EXPECT_EQ(Host.Started, 2);
  Host.WarningAnswer = true;
  Window->Button1->click();
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(Host.Warnings, 2);
  EXPECT_EQ(Host.Started, 3);
}

TEST_F(RotateWindow, OneAndFourBitPicturesAreTurnedAsEightBitOnes) {
  for (const TPixelFormat format : {pf1bit, pf4bit}) {
    auto source = std::make_unique<TBitmap>();
    source->SetPixelFormat(format);
    if (format == pf4bit) source->SetPalette(SystemPalette16());
    source->SetSize(31, 17);
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < 31; ++x)
        PixelRows::SetIndex(source->ScanLine(y), x, source->BitsPerPixel(),
                            (x + y) % (1 << source->BitsPerPixel()));
    Open(std::move(source));
    Apply(-60);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(Host.Shown->PixelFormat(), pf8bit);
    EXPECT_EQ(test::SizeAndPixels(*Host.Shown), Expected(-60));
  }
}

TEST_F(RotateWindow, WhatCannotBeTurnedLeavesThePictureTheFlagAndTheLight) {
  Open(test::PatternBitmap(2000, 2000));
  Host.Shown = test::PatternBitmap(7, 3);
  // The turned picture would need twice the limit.
  ImageLimits::SetMaxBytes(16'000'000);
  Apply(45);
  ImageLimits::SetMaxBytes(0);
  EXPECT_FALSE(Window->Running());
  EXPECT_TRUE(LastMessage().contains("2828 x 2828")) << LastMessage().toStdString();
  EXPECT_EQ(Host.Started, 0);
  EXPECT_EQ(Host.Shown->Width(), 7);
  EXPECT_FALSE(Window->BusyLight());
  EXPECT_TRUE(TBusyClaim::NotBusy());

  // While the resampler holds the flag, Apply does nothing at all.
  {
    TBusyClaim resampling;
    ASSERT_TRUE(resampling.Held());
    Messages.clear();
    Apply(10);
    EXPECT_FALSE(Window->Running());
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Host.Started, 0);
  }

  // A turn ended before its end (a load comes) gives the view back as it was.
  Apply(10);
  ASSERT_TRUE(Window->Running());
  Window->StopAndWait();
  EXPECT_FALSE(Window->Running());
  EXPECT_EQ(Host.Shown->Width(), 7);
  EXPECT_EQ(Host.Completed, (std::vector<bool>{false}));
  EXPECT_TRUE(TBusyClaim::NotBusy());
  EXPECT_FALSE(Window->BusyLight());
}

// The window in the viewer: the loaded picture turned into the view, an edited picture then.
TEST_F(RotateWindow, TheViewerShowsTheTurnedPhotoAndLoadsEndATurn) {
  const QString folder = Env.Folder("Pictures");
  test::WritePicture(*test::PatternBitmap(300, 200), folder + "/photo.bmp");
  test::WritePicture(*test::PatternBitmap(40, 30), folder + "/small.bmp");
  TKestrelMain* main = Start({folder + "/photo.bmp"});
  ASSERT_NE(main, nullptr);
  main->WaitForPicture();
  main->Commands().Action("AllAngles1")->trigger();
  ASSERT_NE(main->RotateWindow, nullptr);
  EXPECT_TRUE(main->RotateWindow->isVisible());
  main->RotateWindow->SpinEdit1->setValue(30);
  main->RotateWindow->Button1->click();
  main->RotateWindow->WaitUntilIdle();
  TBitmap turned;
  RotateBitmap(*test::PatternBitmap(300, 200), turned, 30, main->ImageFrameColor);
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), test::SizeAndPixels(turned));
  EXPECT_EQ(main->ImageKind, 7);
  main->RotateWindow->Button1->click();
  main->RotateWindow->WaitUntilIdle();
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), test::SizeAndPixels(turned));
  // The turned picture is what the view is built from again, fitted or not.
  main->Commands().Action("FitToWindow1")->trigger();
  main->Commands().Action("DontScale1")->trigger();
  EXPECT_EQ(test::SizeAndPixels(*main->ViewBitmap), test::SizeAndPixels(turned));

  // A load while a turn runs ends it first; the new picture is shown as it is.
  main->RotateWindow->Button1->click();
  main->LoadPicture(folder + "/small.bmp");
  main->WaitForPicture();
  EXPECT_FALSE(main->RotateWindow->Running());
  EXPECT_TRUE(TBusyClaim::NotBusy());
  EXPECT_EQ(main->ViewBitmap->Width(), 40);
  EXPECT_EQ(main->ImageKind, 2);
}

} // namespace
} // namespace kestrel
