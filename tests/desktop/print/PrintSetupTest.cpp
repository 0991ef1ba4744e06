// The print window: its scale controls, positions and diagram on a known page, and prints into
// PDF files through the dialogs, including the failures a user can run into.

#include "desktop/print/PrintSetup.h"

#include "imaging/core/Bitmap.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PrintDialog.h"
#include "platform/ui/SaveDialog.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class PrintSetupTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetMessageHandler([this](const TMessageRequest& request) {
      Messages << request.Text;
      return TMsgResult::Ok;
    });
    // A dialog no test answers would wait for a user.
    SetSaveDialogHandler([](const TSaveDialogRequest&) {
      ADD_FAILURE() << "an unexpected dialog";
      return TSaveDialogAnswer{};
    });
    // A letter page at 600 dots per inch, its margins a quarter inch at the sides and half an
    // inch at the top and bottom: 4800 x 6000 dots.
    QPrinter& printer = Setup.Printer();
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0.25, 0.5, 0.25, 0.5), QPageLayout::Inch);
    printer.setResolution(600);
    Setup.ShowSetup();
  }
  void TearDown() override {
    SetMessageHandler({});
    SetPrintDialogHandler({});
    SetSaveDialogHandler({});
  }
  // Prints with the dialog answered by choosing file (with no printer: the save dialog).
  void PrintInto(const QString& file) {
    SetSaveDialogHandler([file](const TSaveDialogRequest&) {
      return TSaveDialogAnswer{true, file, 1};
    });
    Setup.Button1Click();
  }

  test::TApplicationFirst App;
  TBitmap Picture{1000, 500, pf24bit};
  const TBitmap* Shown = &Picture;
  TPrintSetup Setup{{[this] { return Shown; }, [] { return QString("/pictures/border.bmp"); }}};
  QStringList Messages;
  QTemporaryDir Dir;
};

TEST_F(PrintSetupTest, TheScaleNeverPassesTheFit) {
  EXPECT_EQ(Setup.FitPercent(), 480);
  EXPECT_EQ(Setup.SpinEdit1->maximum(), 480);
  EXPECT_EQ(Setup.Placement().Offset, (TPoint{1900, 2750}));
  Setup.TrackBar1->setValue(1500);
  EXPECT_EQ(Setup.SpinEdit1->value(), 480);
  EXPECT_EQ(Setup.Placement().Printed, (TSize{4800, 2400}));
  // The shape fills the diagram's width at the fit.
  EXPECT_EQ(Setup.ImageShape->width(), Setup.Panel1->width());
  Setup.SpinEdit1->findChild<QLineEdit*>()->setText("");
  EXPECT_EQ(Setup.SpinEdit1->text(), "1");
  EXPECT_EQ(Setup.Placement().Printed, (TSize{10, 5}));
  EXPECT_EQ(Setup.TrackBar1->value(), 1);
  Setup.SpinEdit1->findChild<QLineEdit*>()->setText("0");
  QTest::keyClick(Setup.SpinEdit1, Qt::Key_Return);
  EXPECT_EQ(Setup.SpinEdit1->text(), "1");
  EXPECT_EQ(Setup.Placement().Percent, 1);
}

TEST_F(PrintSetupTest, PositionsPlaceThePictureAndItsShape) {
  Setup.RadioButton5->click(); // "Bottom Right"
  EXPECT_EQ(Setup.Position(), TPrintPosition::BottomRight);
  EXPECT_EQ(Setup.Placement().Offset, (TPoint{3800, 5500}));
  EXPECT_EQ(Setup.ImageShape->geometry().right() + 1, Setup.Panel1->width());
  EXPECT_EQ(Setup.ImageShape->geometry().bottom() + 1, Setup.Panel1->height());
  Setup.RadioButton6->click(); // "Top Center"
  EXPECT_EQ(Setup.Placement().Offset, (TPoint{1900, 0}));
  EXPECT_EQ(Setup.ImageShape->y(), 0);
}

TEST_F(PrintSetupTest, LandscapeReshapesTheDiagramAndRecomputesTheFit) {
  EXPECT_EQ(Setup.Panel1->size(), QSize(160, 200));
  Setup.Landscape1->click();
  EXPECT_EQ(Setup.Printer().pageLayout().orientation(), QPageLayout::Landscape);
  // Turned with its margins: 6300 x 4500 dots.
  EXPECT_EQ(Setup.Placement().Page, (TSize{6300, 4500}));
  EXPECT_EQ(Setup.Panel1->size(), QSize(200, 143));
  EXPECT_EQ(Setup.FitPercent(), 630);
}

TEST_F(PrintSetupTest, WithoutAPictureNothingIsPrinted) {
  Shown = nullptr;
  Setup.PictureChanged();
  EXPECT_TRUE(Setup.ImageShape->isHidden());
  EXPECT_EQ(Setup.SpinEdit1->value(), 100);
  Setup.Button1Click();
  EXPECT_EQ(Messages, QStringList{"You have not Selected an Image"});
  EXPECT_FALSE(Setup.JobRunning());
}

TEST_F(PrintSetupTest, PrintsAPrivateCopyIntoTheNamedPdf) {
  if (PrinterInstalled()) GTEST_SKIP() << "a printer is installed: the print dialog would show";
  const QString file = Dir.filePath("border.pdf");
  PrintInto(file);
  ASSERT_TRUE(Setup.JobRunning());
  // The window's picture may change or go while the job runs.
  Picture.SetSize(7, 3);
  Shown = nullptr;
  Setup.WaitForJob();
  EXPECT_EQ(Setup.windowTitle(), "Printing Complete!");
  EXPECT_TRUE(Messages.isEmpty()) << Messages.join('\n').toStdString();
  const QString pdfimages = QStandardPaths::findExecutable("pdfimages");
  if (pdfimages.isEmpty()) GTEST_SKIP() << "pdfimages is not installed";
  QProcess list;
  list.start(pdfimages, {"-list", file});
  ASSERT_TRUE(list.waitForFinished());
  const QString images = list.readAllStandardOutput();
  EXPECT_TRUE(images.contains(QRegularExpression("image +1000 +500 "))) << images.toStdString();
}

TEST_F(PrintSetupTest, ThePrintDialogsChoicesAreLaidOutAgain) {
  const QString file = Dir.filePath("landscape.pdf");
  SetPrintDialogHandler([&](QPrinter& printer) {
    printer.setOutputFileName(file);
    printer.setPageOrientation(QPageLayout::Landscape);
    return true;
  });
  Setup.Button1Click();
  EXPECT_TRUE(Setup.Landscape1->isChecked());
  EXPECT_EQ(Setup.FitPercent(), 630);
  EXPECT_EQ(Setup.Placement().Offset, (TPoint{2650, 2000}));
  Setup.WaitForJob();
  EXPECT_TRUE(QFile::exists(file));
}

TEST_F(PrintSetupTest, FailuresAreReportedAndCancelSaysNothing) {
  if (PrinterInstalled()) GTEST_SKIP() << "a printer is installed: the print dialog would show";
  SetSaveDialogHandler([](const TSaveDialogRequest&) { return TSaveDialogAnswer{}; });
  Setup.Button1Click();
  EXPECT_FALSE(Setup.JobRunning());
  EXPECT_EQ(Setup.windowTitle(), "Print Setup");
  EXPECT_TRUE(Messages.isEmpty());

  const QString file = Dir.filePath("missing/out.pdf");
  PrintInto(file);
  Setup.WaitForJob();
  EXPECT_EQ(Setup.windowTitle(), "Print Setup");
  ASSERT_EQ(Messages.size(), 1);
  EXPECT_TRUE(Messages[0].startsWith("The print job could not be started: "))
      << Messages[0].toStdString();
  EXPECT_FALSE(QFile::exists(file));
}

TEST(PrintJob, AFileIsReplacedOnlyByACompletePrint) {
  test::TestApplication();
  QTemporaryDir dir;
  const QString file = dir.filePath("old.pdf");
  QFile old(file);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("kept");
  old.close();
  const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
  QFile::setPermissions(file, permissions);
  QPrinter printer(QPrinter::HighResolution);
  UsePdfFile(printer, file);
  const TPrintPicture picture = PrintPictureOf(TBitmap(20, 10, pf24bit));
  const TPrintPlacement placement =
      PlacePicture(picture.Size(), PrintablePage(printer), 100, TPrintPosition::Center);
  std::atomic<bool> abort = true;
  EXPECT_EQ(PrintPicture(printer, picture, placement, "old", abort).Outcome,
            TPrintOutcome::Aborted);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "kept");
  old.close();
  abort = false;
  EXPECT_EQ(PrintPicture(printer, picture, placement, "old", abort).Outcome,
            TPrintOutcome::Printed);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_TRUE(old.readAll().startsWith("%PDF"));
  const QFile::Permissions groupAndOthers =
      QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
  EXPECT_EQ(QFile::permissions(file) & groupAndOthers, QFile::ReadGroup);
  EXPECT_EQ(printer.outputFileName(), file);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.pdf"});
}

} // namespace
} // namespace kestrel
