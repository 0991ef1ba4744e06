// The one-time hints: at most once a run, never again once the user asks, and back when all are
// restored.

#include "desktop/hints/WinCapture.h"
#include "platform/settings/Settings.h"

#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// Answers the box once it shows: ticks "Never show me this again" when asked, then presses
// button.
void AnswerWith(TWinCapture& box, QPushButton* button, bool never = false) {
  QTimer::singleShot(0, &box, [&box, button, never] {
    ASSERT_TRUE(box.isVisible());
    box.DontShowAgain->setChecked(never);
    button->click();
  });
}

TEST(Hints, EachKindHasItsBit) {
  EXPECT_EQ(HintBit(1), 1);
  EXPECT_EQ(HintBit(2), 2);
  EXPECT_EQ(HintBit(5), 16);
  EXPECT_EQ(HintBit(7), 64);
  EXPECT_EQ(HintBit(16), 0x8000);
  EXPECT_EQ(HintBit(0), 0);
  EXPECT_EQ(HintBit(-3), 0);
  EXPECT_EQ(HintBit(17), 0);
}

TEST(Hints, AHintShowsOnceARunAndNeverAgainOnceTheUserAsks) {
  test::TestApplication();
  test::TTempEnvironment env;
  {
    TWinCapture box;
    AnswerWith(box, box.Button1);
    EXPECT_EQ(box.ShowModal(1), THintResult::Continue);
    EXPECT_EQ(box.windowTitle(), "Kestrel! Help: Whole Screen Capture");
    EXPECT_TRUE(
        box.Label1->text().endsWith("\n\nThis message will not appear again in this session."));
    EXPECT_FALSE(box.Button2->isVisible());
    EXPECT_EQ(box.ShowModal(1), THintResult::NotShown); // once a run, box unticked

    AnswerWith(box, box.Button2, true);
    EXPECT_EQ(box.ShowModal(3), THintResult::Abort);
    EXPECT_EQ(box.windowTitle(), "Kestrel! Warning: Resampler");
    EXPECT_FALSE(box.DontShowAgain->isChecked()); // unticked for the next hint
  }
  EXPECT_EQ(ReadSetting(TSettingKey{"Dialogs", "DontShowAgain"}, -1), 4);
  {
    // The next run: kind 3 stays away, kind 1 shows again.
    TWinCapture box;
    EXPECT_EQ(box.ShowModal(3), THintResult::NotShown);
    AnswerWith(box, box.Button1);
    EXPECT_EQ(box.ShowModal(1), THintResult::Continue);
    box.RestoreAll();
    AnswerWith(box, box.Button1);
    EXPECT_EQ(box.ShowModal(3), THintResult::Continue);
  }
  EXPECT_EQ(ReadSetting(TSettingKey{"Dialogs", "DontShowAgain"}, -1), 0);
}

TEST(Hints, WhileTheProgramIsRemovedClosingStoresNothing) {
  test::TestApplication();
  test::TTempEnvironment env;
  TWinCapture box;
  box.SetRemoving(true);
  AnswerWith(box, box.Button1, true);
  EXPECT_EQ(box.ShowModal(2), THintResult::Continue);
  EXPECT_EQ(ReadSetting(TSettingKey{"Dialogs", "DontShowAgain"}, -1), 0);
}

} // namespace
} // namespace kestrel
