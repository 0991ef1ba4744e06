#include "app/options/JpgOptions.h"
#include "imaging/core/Stream.h"
#include "platform/settings/Settings.h"
#include "platform/ui/MessageBox.h"

#include "ViewTestSupport.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kestrel {
namespace {

const TSettingKey kQuality{"JpegProperties", "Quality"};
const TSettingKey kPerformance{"JpegProperties", "Performance"};

class JpgOptions : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    SetMessageHandler([this](const TMessageRequest& request) {
      Questions.push_back(request);
      return Answer;
    });
  }
  void TearDown() override { SetMessageHandler({}); }
  std::unique_ptr<TJpgOptions> Make(bool store = true) {
    return std::make_unique<TJpgOptions>(nullptr, store);
  }

  test::TTempEnvironment Env;
  std::vector<TMessageRequest> Questions;
  TMsgResult Answer = TMsgResult::No;
};

TEST_F(JpgOptions, DefaultsAndTheStoredValues) {
  {
    auto window = Make();
    EXPECT_EQ(window->windowTitle(), "Jpeg Options");
    EXPECT_EQ(window->JpgCompression->value(), 85);
    EXPECT_EQ(window->JpgCompression->minimum(), 1);
    EXPECT_EQ(window->JpgCompression->maximum(), 100);
    EXPECT_FALSE(window->ProgressiveEncoding->isChecked());
    EXPECT_EQ(window->cbScale->currentText(), "1:1");
    EXPECT_EQ(window->cbScale->count(), 8);
    EXPECT_EQ(window->cbPixelFormat->currentText(), "24 bit");
    EXPECT_EQ(window->cbColorSpace->currentText(), "RGB");
    EXPECT_EQ(window->cbPerformance->currentText(), "Speed");
    EXPECT_EQ(window->cbPerformance->toolTip(), "Performance");
    EXPECT_TRUE(window->ProgressiveImage->isHidden());
    EXPECT_FALSE(window->Label2->isEnabled());
    EXPECT_EQ(ReadSetting(kQuality, -1), 85); // the first read stored the defaults
    window->JpgCompression->setValue(60);
    window->cbPerformance->setCurrentIndex(0);
  }
  // Written when the window goes, read when the next one is made.
  EXPECT_EQ(ReadSetting(kQuality, -1), 60);
  EXPECT_EQ(ReadSetting(kPerformance, -1), 0);
  WriteSetting(kPerformance, 1);
  auto window = Make(false);
  EXPECT_EQ(window->JpgCompression->value(), 60);
  EXPECT_EQ(window->cbPerformance->currentText(), "Speed");
  window->JpgCompression->setValue(20);
  window.reset(); // made not to store (the program removing itself)
  EXPECT_EQ(ReadSetting(kQuality, -1), 60);
}

TEST_F(JpgOptions, ShallowScreensStartWithTheBetterDecoderAndEightBitOutput) {
  WriteSetting(kPerformance, 1);
  {
    test::TScreenDepth screen(16);
    EXPECT_EQ(Make(false)->cbPerformance->currentText(), "Quality");
    EXPECT_EQ(Make(false)->cbPixelFormat->currentText(), "24 bit");
  }
  test::TScreenDepth screen(8);
  auto window = Make(false);
  EXPECT_EQ(window->cbPerformance->currentText(), "Quality");
  EXPECT_EQ(window->cbPixelFormat->currentText(), "8 bit");
}

TEST_F(JpgOptions, AShallowScreensQualityIsNotStoredAsTheUsersChoice) {
  WriteSetting(kPerformance, 1);
  test::TScreenDepth screen(8);
  Make().reset(); // shows "Quality", stores when it goes
  EXPECT_EQ(ReadSetting(kPerformance, -1), 1) << "the choice of a true-colour session is kept";
  Make()->cbPerformance->activated(0); // the user picks the "Quality" shown
  EXPECT_EQ(ReadSetting(kPerformance, -1), 0);
}

TEST_F(JpgOptions, TheScaleListGivesDecoderScalesAndDivisors) {
  auto window = Make(false);
  const int scale[8] = {0, 0, 0, 0, 0, 1, 2, 3};
  const int divisor[8] = {1, 1, 1, 1, 1, 2, 4, 8};
  for (int i = 0; i < 8; ++i) {
    window->SetScaleIndex(i);
    EXPECT_EQ(window->GetJpegScale(), scale[i]) << i;
    EXPECT_EQ(ZoomDivisor(window.get()), divisor[i]) << i;
    EXPECT_EQ(window->LoadOptions(true).Scale, jsFullSize) << i; // fitted: always full size
  }
  EXPECT_EQ(ZoomDivisor(nullptr), 1);
  window->cbPixelFormat->setCurrentIndex(1);
  window->cbColorSpace->setCurrentIndex(1);
  window->cbPerformance->setCurrentIndex(0);
  const TJpegLoadOptions options = window->LoadOptions(false);
  EXPECT_EQ(options.Scale, jsEighth);
  EXPECT_EQ(options.PixelFormat, jf8Bit);
  EXPECT_TRUE(options.Grayscale);
  EXPECT_EQ(options.Performance, jpBestQuality);
  TJPEGImage jpeg;
  window->ApplyLoadOptions(&jpeg, false);
  EXPECT_EQ(jpeg.Scale(), jsEighth);
  EXPECT_EQ(jpeg.PixelFormat(), jf8Bit);
  EXPECT_TRUE(jpeg.Grayscale());
  EXPECT_EQ(jpeg.Performance(), jpBestQuality);
}

TEST_F(JpgOptions, UserChangesOfTheLoadOptionsAskForARenderingButSettingTheScaleDoesNot) {
  auto window = Make(false);
  int renders = 0;
  window->OnLoadOptionsChanged = [&renders] { ++renders; };
  window->SetScaleIndex(6);
  EXPECT_EQ(renders, 0);
  for (QComboBox* box :
       {window->cbScale, window->cbPixelFormat, window->cbColorSpace, window->cbPerformance})
    box->setCurrentIndex(box->currentIndex() == 0 ? 1 : 0);
  EXPECT_EQ(renders, 4);
}

TEST(QualityKeys, DigitsUpToThreeCharactersAndEditingKeys) {
  EXPECT_TRUE(QualityKeyAccepted("7", 0, 0));
  EXPECT_TRUE(QualityKeyAccepted("7", 2, 0));
  EXPECT_FALSE(QualityKeyAccepted("7", 3, 0));
  EXPECT_TRUE(QualityKeyAccepted("7", 3, 1)); // typing over a selection
  EXPECT_FALSE(QualityKeyAccepted("x", 0, 0));
  EXPECT_FALSE(QualityKeyAccepted("-", 1, 0));
  EXPECT_FALSE(QualityKeyAccepted(" ", 1, 0));
  EXPECT_TRUE(QualityKeyAccepted("\b", 3, 0)); // backspace
  EXPECT_TRUE(QualityKeyAccepted("", 3, 0));   // arrows and the like
}

TEST_F(JpgOptions, TheQualityBoxTakesTypedDigits) {
  auto window = Make(false);
  window->ShowForm(TJpgForm::Save);
  QSpinBox* box = window->JpgCompression;
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "7x5");
  EXPECT_EQ(box->cleanText(), "75");
}

TEST_F(JpgOptions, ClosingTheSaveFormOtherThanByOkAsksWhetherToGiveUpTheSave) {
  auto window = Make(false);
  window->ShowForm(TJpgForm::Save);
  EXPECT_TRUE(window->GroupBox1->isVisibleTo(window.get()));
  EXPECT_FALSE(window->GroupBox2->isVisibleTo(window.get()));
  Answer = TMsgResult::No;
  window->close();
  ASSERT_EQ(Questions.size(), 1u);
  EXPECT_EQ(Questions[0].Text, "Abort Image Save ?");
  EXPECT_EQ(Questions[0].Caption, "Kestrel!");
  EXPECT_EQ(Questions[0].Buttons, TMsgButtons::YesNo);
  EXPECT_TRUE(window->isVisible()); // the save is still pending
  Answer = TMsgResult::Yes;
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->LastResult(), TJpgOptions::kResultCancel);
  window->ShowForm(TJpgForm::Save);
  window->Button1->click();
  EXPECT_EQ(window->LastResult(), TJpgOptions::kResultOk);
  EXPECT_EQ(Questions.size(), 2u);
  // The load form closes without a question.
  window->ShowForm(TJpgForm::Load);
  EXPECT_FALSE(window->GroupBox1->isVisibleTo(window.get()));
  EXPECT_TRUE(window->GroupBox2->isVisibleTo(window.get()));
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Questions.size(), 2u);
}

TEST_F(JpgOptions, ControlsFollowTheShownPicture) {
  auto window = Make(false);
  const auto bitmap = test::PatternBitmap(16, 16);
  TJPEGImage progressive;
  progressive.Assign(bitmap.get());
  progressive.SetProgressiveEncoding(true);
  TMemoryStream file;
  progressive.SaveToStream(file);
  file.SetPosition(0);
  TJPEGImage jpeg;
  jpeg.LoadFromStream(file);
  window->UpdateControls(&jpeg, true, false);
  EXPECT_TRUE(window->cbPixelFormat->isEnabled());
  EXPECT_TRUE(window->cbPerformance->isEnabled());
  EXPECT_FALSE(window->ProgressiveImage->isHidden());
  EXPECT_TRUE(window->Label2->isEnabled());
  window->UpdateControls(bitmap.get(), false, true);
  EXPECT_FALSE(window->cbScale->isEnabled());
  EXPECT_FALSE(window->cbColorSpace->isEnabled());
  EXPECT_TRUE(window->ProgressiveImage->isHidden());
  EXPECT_FALSE(window->Label2->isEnabled());
}

} // namespace
} // namespace kestrel
