// "Save Image As" and the menu transforms from the main window: the shown bitmap is what is saved
// and turned, through the save dialog and the real option windows.

#include "app/main/KestrelMain.h"
#include "app/options/CompressDlg.h"
#include "app/options/JpgOptions.h"
#include "app/saveas/SaveImageAs.h"
#include "desktop/print/PrintSetup.h"
#include "imaging/jpeg/JpegImage.h"
#include "platform/ui/PrintDialog.h"
#include "platform/ui/SaveDialog.h"

#include "ViewTestSupport.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>

namespace kestrel {
namespace {

class MainSave : public test::MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    Pictures = Env.Folder("Pictures");
    Previous = SetSaveDialogHandler([this](const TSaveDialogRequest& request) {
      Requests.push_back(request);
      RefreshDuringDialog = Windows.back()->FileviewUpdate;
      return TSaveDialogAnswer{!Chosen.isEmpty(), Chosen, request.FilterIndex};
    });
  }
  void TearDown() override {
    SetSaveDialogHandler(Previous);
    MainWindowFixture::TearDown();
  }
  // A window showing path, laid out on the screen.
  TKestrelMain* Show(const QString& path) {
    TKestrelMain* main = Start({path});
    if (!main) return nullptr;
    main->Timer1Timer();
    main->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(main));
    main->WaitForPicture();
    QApplication::processEvents();
    main->Timer1Timer(); // the commands follow the picture on the next tick
    return main;
  }
  QString Write(const TBitmap& bitmap, const QString& name) {
    const QString path = Pictures + "/" + name;
    test::WritePicture(bitmap, path);
    return path;
  }
  // Runs act on the next modal window once it is up (the save's option windows wait in their own
  // event loop).
  static void WhenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      timer->stop();
      timer->deleteLater();
      act(modal);
    });
    timer->start();
  }
  static std::unique_ptr<TPicture> ReadBack(const QString& path) {
    auto picture = std::make_unique<TPicture>();
    picture->LoadFromFile(test::FileName(path));
    return picture;
  }
  static void ShiftClick(TKestrelMain* main) {
    QTest::mouseClick(main->PaintBox1, Qt::LeftButton, Qt::ShiftModifier, QPoint(1, 1));
  }

  QString Pictures;
  QString Chosen; // the dialog's answer; empty cancels it
  std::vector<TSaveDialogRequest> Requests;
  bool RefreshDuringDialog = true;
  TSaveDialogHandler Previous;
};

TEST_F(MainSave, ShiftClickSavesTheFittedPictureAtItsShownSize) {
  const QString source = Write(*test::PatternBitmap(40, 30), "shown.bmp");
  TKestrelMain* main = Show(source);
  ASSERT_NE(main, nullptr);
  main->Commands().Action("FitToWindow1")->trigger();
  const QSize fitted = main->PaintBox1->size();
  ASSERT_GT(fitted.width(), 40);
  Chosen = Pictures + "/fitted.tga"; // the TGA writer asks nothing
  ShiftClick(main);
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Title, "Save Image");
  EXPECT_EQ(Requests[0].FileName, "shown") << "the selected file is proposed";
  EXPECT_EQ(Requests[0].FilterIndex, 1);
  EXPECT_EQ(Requests[0].InitialDir, Pictures) << "until a save chose a folder, the shown one";
  EXPECT_FALSE(RefreshDuringDialog);
  EXPECT_TRUE(main->FileviewUpdate) << "the refresh comes back after the save";
  const auto saved = ReadBack(Chosen);
  EXPECT_EQ(saved->Width(), fitted.width());
  EXPECT_EQ(saved->Height(), fitted.height());
  EXPECT_EQ(main->ImageSave->LastSavedPath, Chosen);

  // With "Stop Fileview Update" checked the refresh stays off; a cancelled dialog writes nothing.
  main->Commands().Action("StopUpdate2")->setChecked(true);
  Chosen.clear();
  main->Commands().Action("SaveAs2")->trigger();
  EXPECT_FALSE(main->FileviewUpdate);
  EXPECT_EQ(Requests.back().InitialDir, Pictures);
  EXPECT_EQ(QDir(Pictures).entryList(QDir::Files).size(), 2);
}

TEST_F(MainSave, JpegSavesTakeTheOptionsWindowsSaveForm) {
  TKestrelMain* main = Show(Write(*test::PatternBitmap(24, 16), "a.bmp"));
  ASSERT_NE(main, nullptr);
  Chosen = Pictures + "/out.jpg";
  WhenModal([](QWidget* modal) {
    auto* window = qobject_cast<TJpgOptions*>(modal);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Form(), TJpgForm::Save);
    window->JpgCompression->setValue(40);
    window->ProgressiveEncoding->setChecked(true);
    window->Button1->click();
  });
  main->Commands().Action("SaveAs1")->trigger();
  QFile file(Chosen);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("\xFF\xC2")) << "a progressive frame";
  file.close();
  EXPECT_EQ(ReadBack(Chosen)->Width(), 24);

  // Closing the save form otherwise and confirming the abort writes nothing.
  Answer = TMsgResult::Yes;
  Chosen = Pictures + "/never.jpg";
  WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  main->Commands().Action("SaveAs1")->trigger();
  EXPECT_FALSE(QFile::exists(Chosen));
  EXPECT_EQ(LastMessage(), "Abort Image Save ?");
  EXPECT_EQ(main->ImageSave->LastSavedPath, Pictures + "/out.jpg");
}

TEST_F(MainSave, TurnedPicturesAreShownAndSavedTurned) {
  const auto pattern = test::PatternBitmap(6, 4);
  TKestrelMain* main = Show(Write(*pattern, "p.bmp"));
  ASSERT_NE(main, nullptr);
  main->Commands().Action("RotateClockwise1")->trigger();
  EXPECT_EQ(main->PaintBox1->size(), QSize(4, 6));
  // The former left column, read from the bottom, is the top row.
  const TBitmap& view = *main->ViewBitmap;
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(view.PixelColor(x, 0), pattern->PixelColor(0, 3 - x)) << x;

  Chosen = Pictures + "/turned.bmp";
  WhenModal([](QWidget* modal) {
    auto* window = qobject_cast<TCompressDlg*>(modal);
    ASSERT_NE(window, nullptr);
    window->CbPixels->setCurrentText("24");
    window->Button1->click();
  });
  main->Commands().Action("SaveAs1")->trigger();
  const auto saved = ReadBack(Chosen);
  ASSERT_EQ(saved->Width(), 4);
  ASSERT_EQ(saved->Height(), 6);
  const auto* bitmap = dynamic_cast<const TBitmap*>(saved->Graphic());
  ASSERT_NE(bitmap, nullptr);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x)
      ASSERT_EQ(bitmap->PixelColor(x, y), view.PixelColor(x, y)) << x << "," << y;

  // Back to the start by three more quarter turns, and by two half turns.
  for (const char* command : {"RotateClockwise1", "RotateClockwise1", "RotateClockwise1",
                              "InvertImage1", "InvertImage1", "MirrorVertical1", "FlipHorizontal1",
                              "InvertImage1", "RotateAnticlockwise1", "RotateClockwise1"})
    main->Commands().Action(command)->trigger();
  EXPECT_EQ(main->PaintBox1->size(), QSize(6, 4));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      ASSERT_EQ(main->ViewBitmap->PixelColor(x, y), pattern->PixelColor(x, y)) << x << "," << y;
}

TEST_F(MainSave, TheTurnedPictureIsPrintedAndStaysShown) {
  const auto pattern = test::PatternBitmap(6, 4);
  TKestrelMain* main = Show(Write(*pattern, "p.bmp"));
  ASSERT_NE(main, nullptr);
  main->Commands().Action("RotateClockwise1")->trigger();
  main->Commands().Action("Print1")->trigger();
  ASSERT_NE(main->PrintSetup, nullptr);
  EXPECT_TRUE(main->PrintSetup->isVisible());
  EXPECT_EQ(main->PrintSetup->Placement().Printed, (TSize{4, 6}));
  if (PrinterInstalled()) GTEST_SKIP() << "a printer is installed: the print dialog would show";
  Chosen = Pictures + "/turned.pdf";
  main->PrintSetup->Button1Click();
  main->PrintSetup->WaitForJob();
  EXPECT_EQ(main->PrintSetup->windowTitle(), "Printing Complete!");
  EXPECT_TRUE(QFileInfo::exists(Chosen));
  // The print took a copy: the view still shows the turned picture.
  EXPECT_EQ(main->ViewBitmap->Width(), 4);
  EXPECT_EQ(main->PaintBox1->size(), QSize(4, 6));
}

TEST_F(MainSave, PalettePicturesTurnAsEightBitOnes) {
  // Sixteen colours held in four bits per pixel.
  const auto small = test::IndexedBitmap(5, 3, 16);
  small->SetPixelFormat(pf4bit);
  TKestrelMain* main = Show(Write(*small, "four.bmp"));
  ASSERT_NE(main, nullptr);
  TBitmap before;
  before.Assign(main->ViewBitmap.get());
  ASSERT_EQ(before.PixelFormat(), pf4bit);
  main->Commands().Action("FlipHorizontal1")->trigger();
  EXPECT_EQ(main->ViewBitmap->PixelFormat(), pf8bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      ASSERT_EQ(main->ViewBitmap->PixelColor(x, y), before.PixelColor(4 - x, y));
}

TEST_F(MainSave, WithoutAPictureTheCommandsAreOffAndDoNothing) {
  TKestrelMain* main = Start();
  ASSERT_NE(main, nullptr);
  main->Timer1Timer();
  for (const char* command : {"SaveAs1", "SaveAs2", "InvertImage1", "RotateClockwise1"})
    EXPECT_FALSE(main->Commands().Action(command)->isEnabled()) << command;
  main->SaveAs1Click();
  main->RotateClockwise1Click();
  EXPECT_TRUE(Requests.empty());
  EXPECT_TRUE(Messages.empty());
}

} // namespace
} // namespace kestrel
