// "Save Image As" with its dialog: how the dialog is set up, the writer chosen by the typed name,
// the file view's refresh, the remembered folder and path.

#include "SaveTestSupport.h"

#include "app/save/SaveFilter.h"
#include "app/saveas/SaveImageAs.h"
#include "platform/ui/SaveDialog.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct SaveImageAsTest : ::testing::Test {
  SaveImageAsTest() {
    previous = SetSaveDialogHandler([this](const TSaveDialogRequest& request) {
      requests.push_back(request);
      refreshDuringDialog = refresh;
      return answer;
    });
    autoRefresh.Apply = [this](bool on) {
      refresh = on;
      ++switches;
    };
    autoRefresh.Wanted = [this] { return !stopped; };
    saveAs.AutoRefresh = &autoRefresh;
  }
  ~SaveImageAsTest() override { SetSaveDialogHandler(previous); }

  test::TApplicationFirst first;
  QTemporaryDir dir;
  test::TScriptedQuestions questions;
  TSaveImageAs saveAs{questions, nullptr};
  TAutoRefresh autoRefresh;
  TSaveDialogHandler previous;
  std::vector<TSaveDialogRequest> requests;
  TSaveDialogAnswer answer;
  bool refresh = true;
  bool refreshDuringDialog = true;
  bool stopped = false;
  int switches = 0;
};

TEST_F(SaveImageAsTest, TheDialogIsSetUpForTheProposedName) {
  const auto picture = test::TestPicture(5, 5, pf24bit);
  saveAs.InitialDir = "/pictures";
  EXPECT_EQ(saveAs.SaveWithDialog("/elsewhere/holiday.photo.TGA", *picture, {}), "");
  ASSERT_EQ(requests.size(), 1u);
  const TSaveDialogRequest& r = requests[0];
  EXPECT_EQ(r.Title, "Save Image");
  EXPECT_EQ(r.Filter.toStdString(), SaveFilter());
  EXPECT_EQ(r.FilterIndex, 8);
  EXPECT_EQ(r.DefaultExt, "TGA");
  EXPECT_EQ(r.FileName, "holiday.photo");
  EXPECT_EQ(r.InitialDir, "/pictures");
  EXPECT_FALSE(refreshDuringDialog);
  EXPECT_TRUE(refresh) << "the refresh comes back after a cancelled dialog";
  EXPECT_EQ(saveAs.LastSavedPath, "");
}

TEST_F(SaveImageAsTest, TheTypedExtensionDecidesTheWriter) {
  const auto picture = test::TestPicture(6, 4, pf24bit);
  questions.Compression = {{1, 6}};
  answer = {true, dir.filePath("typed.png"), 2}; // the JPEG entry chosen, ".png" typed
  EXPECT_EQ(saveAs.SaveWithDialog("/x/shown.jpg", *picture, {}), dir.filePath("typed.png"));
  EXPECT_EQ(test::FileStart(dir.filePath("typed.png").toStdString(), 4), "\x89PNG");
  EXPECT_EQ(questions.JpegAsked, 0);
  EXPECT_EQ(questions.AskedUses, std::vector<TCompressUse>{TCompressUse::Png});
  EXPECT_EQ(saveAs.LastSavedPath, dir.filePath("typed.png"));
  EXPECT_EQ(saveAs.InitialDir, dir.path()) << "the chosen folder is the next dialog's";
  EXPECT_EQ(switches, 2);
}

TEST_F(SaveImageAsTest, ACancelledWindowLeavesNoFileAndNoPath) {
  const auto picture = test::TestPicture(6, 4, pf8bit);
  saveAs.LastSavedPath = "/earlier/saved.bmp";
  stopped = true; // "Stop Fileview Update" is checked
  answer = {true, dir.filePath("never.tif"), 7};
  EXPECT_EQ(saveAs.SaveWithDialog("shown.tif", *picture, {}), "");
  EXPECT_EQ(questions.AskedUses, std::vector<TCompressUse>{TCompressUse::Tiff});
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
  EXPECT_EQ(saveAs.LastSavedPath, "/earlier/saved.bmp");
  EXPECT_FALSE(refresh) << "the refresh stays off while the user stopped it";
}

} // namespace
} // namespace kestrel
