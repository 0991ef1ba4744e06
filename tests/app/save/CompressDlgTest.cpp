// The compression window: its three uses, the BMP list following the depth, OK and the question
// before any other way out.

#include "app/options/CompressDlg.h"
#include "app/saveas/ViewerSaveQuestions.h"
#include "imaging/core/Bitmap.h"
#include "platform/ui/MessageBox.h"
#include "support/TestApplication.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

QStringList Items(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i)
    items << box.itemText(i);
  return items;
}

struct CompressDlgTest : ::testing::Test {
  test::TApplicationFirst first;
  TCompressDlg dialog;
  TBitmap bitmap{4, 4, pf8bit};
};

TEST_F(CompressDlgTest, EachUseShowsItsCaptionAndChoices) {
  dialog.Prepare(TCompressUse::Tiff, 6, 0, false);
  EXPECT_EQ(dialog.windowTitle(), "TIFF Compression");
  EXPECT_EQ(dialog.Label1->text(), "Select Compression Type");
  EXPECT_EQ(Items(*dialog.cbMain), (QStringList{"No Compression", "Packbits", "ZLib", "JPEG"}));
  EXPECT_TRUE(dialog.CbPixels->isHidden());
  EXPECT_EQ(dialog.HelpContext(), 13960);

  dialog.Prepare(TCompressUse::Png, 3, 256, true);
  EXPECT_EQ(dialog.windowTitle(), "PNG Compression");
  EXPECT_EQ(Items(*dialog.cbMain), (QStringList{"Low", "Medium", "High"}));
  EXPECT_FALSE(dialog.CbPixels->isHidden());
  EXPECT_EQ(dialog.Label3->text(), "Image has 256 Color Synthesized Palette");

  dialog.Prepare(TCompressUse::Bmp, 6, 0, false);
  EXPECT_EQ(dialog.windowTitle(), "BMP Save Palette");
  EXPECT_EQ(dialog.Label1->text(), "Select Palette Type");
  EXPECT_EQ(dialog.Label2->text(), "Bits/Pixel");
  EXPECT_EQ(dialog.CbPixels->currentText(), "24");
  EXPECT_EQ(Items(*dialog.cbMain).first(), "No Palette");
  dialog.CbPixels->setCurrentText("8");
  EXPECT_EQ(Items(*dialog.cbMain),
            (QStringList{"Optimized/Floyd Steinberg Dither", "Image Own Palette",
                         "WinOctree Palette - no dither", "Windows Default palette",
                         "WinWeb Palette", "Octree with F/S dither"}));
  EXPECT_EQ(dialog.cbMain->currentIndex(), 0);
  EXPECT_EQ(dialog.DepthCode(), 3);
}

TEST_F(CompressDlgTest, OkGivesTheChoiceAndTheDepth) {
  QTimer::singleShot(0, &dialog, [this] {
    dialog.CbPixels->setCurrentText("4");
    dialog.cbMain->setCurrentIndex(3);
    dialog.Button1->click();
  });
  int depth = 0;
  EXPECT_EQ(dialog.CompressionWindow(TCompressUse::Bmp, bitmap, 3, false, &depth), 3);
  EXPECT_EQ(depth, 2);

  QTimer::singleShot(0, &dialog, [this] {
    dialog.cbMain->setCurrentIndex(2);
    dialog.Button1->click();
  });
  EXPECT_EQ(dialog.CompressionWindow(TCompressUse::Tiff, bitmap, 3, false, nullptr), 5)
      << "the third TIFF item is ZLib, kind 5";
}

TEST_F(CompressDlgTest, TheBmpListOpensOnTheFirstChoiceTheSaveCanFollow) {
  TViewerSaveQuestions questions(dialog, {}, nullptr);
  const auto shownFor = [&](const TBitmap& source, int depthCode) {
    QString shown;
    QTimer::singleShot(0, &dialog, [&] {
      shown = dialog.cbMain->currentText();
      dialog.Button1->click();
    });
    questions.AskCompression(TCompressUse::Bmp, source, depthCode, false);
    return shown;
  };
  dialog.CbPixels->setCurrentText("4"); // the depth an earlier save chose
  const TBitmap deep(4, 4, pf24bit);    // without a palette of its own
  EXPECT_EQ(shownFor(deep, kDepthCode24), "Octree Palette - no dither");
  EXPECT_EQ(shownFor(bitmap, kDepthCode8), "Image Own Palette");
}

TEST_F(CompressDlgTest, LeavingOtherwiseAsksFirst) {
  std::vector<QString> asked;
  TMsgResult answer = TMsgResult::No;
  const TMessageHandler old = SetMessageHandler([&](const TMessageRequest& request) {
    asked.push_back(request.Caption + "|" + request.Text);
    return answer;
  });
  QTimer::singleShot(0, &dialog, [&] {
    dialog.reject(); // No: the window stays
    EXPECT_TRUE(dialog.isVisible());
    answer = TMsgResult::Yes;
    dialog.reject();
  });
  EXPECT_EQ(dialog.CompressionWindow(TCompressUse::Png, bitmap, 3, false, nullptr), -1);
  EXPECT_EQ(asked,
            (std::vector<QString>{"Kestrel!|Abort Image Save ?", "Kestrel!|Abort Image Save ?"}));
  SetMessageHandler(old);
}

} // namespace
} // namespace kestrel
