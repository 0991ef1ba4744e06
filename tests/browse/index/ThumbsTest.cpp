#include "browse/index/Thumbs.h"

#include "browse/index/IndexName.h"
#include "browse/index/IndexTestSupport.h"
#include "imaging/core/ImageLimits.h"
#include "platform/settings/Settings.h"
#include "platform/ui/MessageBox.h"
#include "processing/busy/BusyFlag.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kestrel {
namespace {

class TFakeIndexHost : public TIndexHost {
public:
  QStringList SelectedFiles() const override { return Files; }
  int FilesAvailable() const override { return static_cast<int>(Files.size()) + 2; }
  QString CurrentFile() const override { return Current; }
  bool SlideShowRunning() const override { return Slides; }
  bool PictureModified() const override { return Modified; }
  TIndexReader Reader() const override { return Read; }
  TBitmap& PageBitmap() override { return Page; }
  void IndexStarted() override { ++Started; }
  void IndexProgress() override { ++Progress; }
  void IndexEnded() override { ++Ended; }
  void RestoreFileViewUpdate() override { ++Restored; }
  void SaveIndexPage(const QString& path) override { Saved << path; }
  bool ApplicationMinimized() const override { return false; }

  QStringList Files;
  QString Current;
  bool Slides = false;
  bool Modified = false;
  TIndexReader Read = test::ReadByRegistry;
  TBitmap Page;
  int Started = 0, Progress = 0, Ended = 0, Restored = 0;
  QStringList Saved;
};

class Thumbs : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    SetMessageHandler([this](const TMessageRequest& request) {
      Messages << request.Text;
      return request.Buttons == TMsgButtons::YesNo ? Answer : TMsgResult::Ok;
    });
  }
  void TearDown() override {
    window.reset();
    SetMessageHandler({});
  }
  TThumbs& Window() {
    if (!window) window = std::make_unique<TThumbs>(Host, QSize(1024, 768), clBlack);
    return *window;
  }
  void Select(int count) {
    Host.Files.clear();
    for (const std::string& file : test::WriteFlatPictures(Pictures.path(), count, 60, 40))
      Host.Files << QString::fromStdString(file);
  }
  void Type(QLineEdit* field, const QString& text) {
    field->setText(text);
    emit field->textEdited(text);
    emit field->editingFinished();
  }
  bool RunToEnd() {
    Window().Start1Click();
    return test::WaitUntil([this] { return !Window().Running(); });
  }

  test::TTempEnvironment Env;
  QTemporaryDir Pictures;
  TFakeIndexHost Host;
  QStringList Messages;
  TMsgResult Answer = TMsgResult::No;
  std::unique_ptr<TThumbs> window;
};

TEST_F(Thumbs, StartRefusesInItsOrderAndLeavesEverythingAsItWas) {
  Host.Slides = true;
  Window().Start1Click();
  Host.Slides = false;
  {
    const TBusyClaim rotation; // another operation works on the display
    Window().Start1Click();
  }
  Window().Start1Click();
  Select(2);
  Type(Window().Height1, "");
  Window().Start1Click();
  Type(Window().Height1, "600");
  Type(Window().Width1, "");
  Window().Start1Click();
  EXPECT_EQ(Messages, (QStringList{"Please Turn Off The SlideShow",
                                   "Please Wait Canvas is in Use by another thread",
                                   "No Files Have Been Selected",
                                   "You have not set the page height correctly",
                                   "You have not set the page width correctly"}));
  EXPECT_EQ(Host.Started, 0);
  EXPECT_FALSE(Window().Running());
}

TEST_F(Thumbs, ARunBuildsThePageInTheViewersBitmapAndTheWindowComesBack) {
  Select(9);
  Window().ShowForm();
  Window().Start1Click();
  EXPECT_TRUE(Window().isHidden());
  EXPECT_EQ(Window().Light(), TThumbs::TLight::Running);
  EXPECT_EQ(Window().Start1->text(), "Stop");
  ASSERT_TRUE(test::WaitUntil([this] { return !Window().Running(); }));
  EXPECT_EQ(Host.Page.Width(), 800);
  EXPECT_EQ(Host.Page.Height(), 600);
  EXPECT_EQ(Host.Started, 1);
  EXPECT_EQ(Host.Ended, 1);
  EXPECT_GE(Host.Progress, 10); // the page, then each cell
  EXPECT_EQ(Window().LastCells().size(), 9u);
  EXPECT_EQ(Window().LastCode(), icNone); // the proposed 3 x 3 grid is full
  EXPECT_TRUE(Messages.isEmpty());
  EXPECT_TRUE(Window().isVisible());
  EXPECT_EQ(Window().Light(), TThumbs::TLight::Idle);
  EXPECT_EQ(Window().Start1->text(), "Start");
  // The first cell's picture arrived in the viewer's bitmap.
  const TRect r = Window().LastCells()[0].Picture;
  EXPECT_EQ(Host.Page.Canvas().Pixel((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), 0x3080C0);
  // The run is over: another may start at once.
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Host.Started, 2);
}

TEST_F(Thumbs, StartAsksBeforeReplacingAPictureWithUnsavedEdits) {
  Select(1);
  Host.Modified = true;
  Window().Start1Click();
  EXPECT_EQ(Messages.size(), 1);
  EXPECT_EQ(Host.Started, 0);
  Answer = TMsgResult::Yes;
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Host.Started, 1);
}

TEST_F(Thumbs, NoColumnsBecomeOneAndCellsTooSmallForPicturesAreRefused) {
  Select(1);
  Window().CheckBox1->setChecked(true); // manual layout
  Type(Window().ImagesX, "0");
  Type(Window().ImagesY, "0");
  EXPECT_TRUE(RunToEnd());
  EXPECT_EQ(Window().ImagesX->text(), "1");
  EXPECT_EQ(Window().ImagesY->text(), "1");
  EXPECT_TRUE(Messages.isEmpty());
  Type(Window().Width1, "100");
  Type(Window().ImagesX, "60");
  Window().Start1Click();
  EXPECT_FALSE(Window().Running());
  ASSERT_EQ(Messages.size(), 1);
  EXPECT_TRUE(Messages[0].startsWith("The pictures do not fit")) << Messages[0].toStdString();
  EXPECT_EQ(Host.Started, 1);
}

TEST_F(Thumbs, StopEndsTheRunBeforeTheNextPicture) {
  Select(5);
  std::atomic<bool> reading{false}, released{false};
  Host.Read = [&](const std::string& path) {
    reading = true;
    while (!released)
      std::this_thread::yield();
    return test::ReadByRegistry(path);
  };
  Window().Start1Click();
  ASSERT_TRUE(test::WaitUntil([&] { return reading.load(); }));
  // The first picture is held until Stop has been asked for.
  QTimer::singleShot(0, [&] { released = true; });
  Window().Start1Click();
  EXPECT_FALSE(Window().Running());
  EXPECT_EQ(Window().LastCells().size(), 1u);
  EXPECT_EQ(Window().Light(), TThumbs::TLight::Idle);
  EXPECT_TRUE(Window().Start1->isEnabled());
}

TEST_F(Thumbs, APageBeyondTheMemoryLimitIsReportedAndTheShownPictureIsLeftAlone) {
  Select(3);
  Host.Page.SetSize(40, 30);
  Type(Window().Width1, "5000");
  Type(Window().Height1, "5000");
  ImageLimits::SetMaxBytes(32 << 20);
  const bool ended = RunToEnd();
  ImageLimits::SetMaxBytes(0);
  ASSERT_TRUE(ended);
  EXPECT_EQ(Messages, QStringList{"ERR_OUT_OF_MEMORY"});
  EXPECT_EQ(Host.Page.Width(), 40);
  EXPECT_EQ(Host.Progress, 0);
  EXPECT_TRUE(Window().LastCells().empty());
}

TEST_F(Thumbs, FieldsAreHeldToTheirRangesWhenLeftAndTheGridFollowsThePage) {
  Select(21);
  Window().ShowForm();
  EXPECT_EQ(Window().Width1->text(), "800"); // 78 % of a 1024 x 768 screen
  EXPECT_EQ(Window().Memory->text(), "1.37 MB");
  EXPECT_EQ(Window().FilesSelected->text(), "21");
  EXPECT_EQ(Window().ImagesX->text(), "6");
  EXPECT_EQ(Window().ImagesY->text(), "4");
  Type(Window().Width1, "6000");
  EXPECT_EQ(Window().Width1->text(), "5000");
  Type(Window().Width1, "50");
  EXPECT_EQ(Window().Width1->text(), "100");
  EXPECT_EQ(Window().Settings().PageWidth, 100);
  // A tall page: sqrt(21 x 100 / 600) = 1.87, so 2 columns and 11 rows.
  EXPECT_EQ(Window().ImagesX->text(), "2");
  EXPECT_EQ(Window().ImagesY->text(), "11");
  Window().CheckBox1->setChecked(true);
  Type(Window().Width1, "800");
  EXPECT_EQ(Window().ImagesX->text(), "2"); // manual layout keeps the grid
}

TEST_F(Thumbs, SettingsAreKeptBetweenRunsAndHeldToTheirRangesWhenReadBack) {
  Window().Border2->setValue(-3);
  Window().Edit1->setText("Trip 2024");
  Window().Backgraphic->setChecked(true);
  window.reset(); // written when the window goes
  EXPECT_EQ(ReadSetting({"ThumbnailMaker", "ThumbBorder"}, QString()), "-3");
  EXPECT_EQ(ReadSetting({"ThumbnailMaker", "CheckBoxes"}, 0),
            kDefaultCheckBoxes | cbBackgroundGraphic);
  EXPECT_EQ(Window().Settings().TitleText, "Trip 2024");
  EXPECT_TRUE(Window().Tile1->isEnabled());
  window.reset();
  // A damaged store: numbers out of range or no numbers at all.
  WriteSetting({"ThumbnailMaker", "PageWidth"}, QString("99999"));
  WriteSetting({"ThumbnailMaker", "PageHeight"}, QString("tall"));
  WriteSetting({"ThumbnailMaker", "Spacing"}, QString("-4"));
  WriteSetting({"ThumbnailMaker", "TitleFontSize"}, 0);
  WriteSetting({"ThumbnailMaker", "FooterFontSize"}, 5000);
  const TIndexSettings& s = Window().Settings();
  EXPECT_EQ(s.PageWidth, 5000);
  EXPECT_EQ(s.PageHeight, 100);
  EXPECT_EQ(s.Spacing, 1);
  EXPECT_EQ(s.TitleFont.Size, kFontSizeRange.Low);
  EXPECT_EQ(s.FooterFont.Size, kFontSizeRange.High);
  Window().SetWriteSettings(false);
  Window().Edit1->setText("not kept");
  window.reset();
  EXPECT_EQ(ReadSetting({"ThumbnailMaker", "TitleText"}, QString()), "Trip 2024");
}

TEST_F(Thumbs, OneFontForAllTakesTheFaceAndOneColourTheColourKeepingEachSize) {
  Window().ChooseFont = [](TFont& font) {
    font.Name = "DejaVu Serif";
    font.Style = fsBold;
    font.Size = 30;
    font.Color = 0x0000FF;
    return true;
  };
  Window().CommonFontStyle->setChecked(true);
  Window().TitleFont1->click();
  const TIndexSettings& s = Window().Settings();
  EXPECT_EQ(s.TitleFont.Size, 30);
  EXPECT_EQ(s.CaptionFont.Name, "DejaVu Serif");
  EXPECT_EQ(s.CaptionFont.Style, fsBold);
  EXPECT_EQ(s.CaptionFont.Size, 8);
  EXPECT_EQ(s.CaptionFont.Color, clWhite);
  Window().CommonFontColor->setChecked(true);
  Window().ThumbsFont1->click();
  EXPECT_EQ(s.FooterFont.Color, 0x0000FF);
  EXPECT_EQ(s.FooterFont.Size, 14);
  EXPECT_EQ(Window().TitleFontLabel->text(), "DejaVu Serif  Size:30  color: Red");
}

TEST_F(Thumbs, SavingProposesTheFolderNameNumberedWhileTheNameIsTaken) {
  const QString trip = Env.Folder("Trip");
  Host.Current = trip + "/IMG_0001.JPG";
  Window().SaveAs1Click();
  ASSERT_EQ(Host.Saved.size(), 1);
  EXPECT_EQ(Host.Saved[0], trip + "/!Trip_idx.jpg");
  test::WriteFile(Host.Saved[0], "saved");
  Window().SaveAs1Click();
  EXPECT_EQ(Host.Saved[1], trip + "/!Trip(1)_idx.jpg");
  Host.Current.clear();
  Window().SaveAs1Click();
  EXPECT_EQ(Host.Saved.size(), 2); // no current file: nothing happens
  EXPECT_EQ(IndexNameStem("/", "/", ""), "Root_Drive");
  EXPECT_EQ(IndexNameStem("/media/card", "/media/card", "HOLIDAY"), "HOLIDAY_Drive");
  EXPECT_EQ(IndexNameStem("/media/card", "/media/card", ""), "card_Drive");
  EXPECT_EQ(IndexNameStem("/home/me/Trip.2024", "/", ""), "Trip");
  EXPECT_EQ(ProposeIndexName("/", "Root_Drive", [](const QString&) { return false; }),
            "/!Root_Drive_idx.jpg");
}

} // namespace
} // namespace kestrel
