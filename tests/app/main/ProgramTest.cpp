// The viewer as a process: the checks that end it before any window, and a path that is not there.

#include "app/main/Program.h"
#include "app/main/MainSettings.h"
#include "desktop/install/InstallRecord.h"
#include "platform/files/Errors.h"
#include "platform/paths/Paths.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class Program : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    Log = Env.Path() + "/messages.log";
  }
  void TearDown() override {
    for (auto& process : Running) {
      process->kill();
      process->waitForFinished(10000);
    }
  }
  QProcess& Launch(const QStringList& arguments, const QStringList& extra = {}) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("KESTREL_MESSAGE_LOG", Log);
    for (const QString& pair : extra)
      environment.insert(pair.section('=', 0, 0), pair.section('=', 1));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(KESTREL_VIEWER, arguments);
    EXPECT_TRUE(process->waitForStarted(10000));
    Running.push_back(std::move(process));
    return *Running.back();
  }
  QString LogText() const { return QString::fromUtf8(test::FileBytes(Log)); }

  test::TTempEnvironment Env;
  QString Log;
  std::vector<std::unique_ptr<QProcess>> Running;
};

TEST_F(Program, AScreenOfSixteenColoursIsRefusedBeforeAnyWindow) {
  QProcess& viewer = Launch({}, {"KESTREL_SCREEN_DEPTH=4"});
  ASSERT_TRUE(viewer.waitForFinished(60000));
  EXPECT_EQ(viewer.exitCode(), 1);
  EXPECT_EQ(LogText(), "Kestrel!: Unsupported Screen Resolution\t"
                       "You need 256 color mode or higher to run Kestrel!\n");
  EXPECT_FALSE(QFile::exists(Env.StoreFile()));

  QProcess& eightBit = Launch({}, {"KESTREL_SCREEN_DEPTH=8"});
  EXPECT_FALSE(eightBit.waitForFinished(1500)); // 256 colours are enough
}

TEST_F(Program, WithSingleInstanceASecondCopyEndsAtOnceAndWritesNothing) {
  WriteInstallRecord();
  WriteFlag(MainSettings::SingleInstance, true);
  Launch({});
  const QString undo = UndoFolderName() + "Kestrel.dat";
  ASSERT_TRUE(test::WaitUntil([&] { return QFile::exists(undo); }, 60000));
  const QByteArray store = test::FileBytes(Env.StoreFile());

  QProcess& second = Launch({Env.Path()});
  ASSERT_TRUE(second.waitForFinished(60000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(test::FileBytes(Env.StoreFile()), store);
  EXPECT_EQ(QDir(UndoFolderName()).entryList(QDir::Files), QStringList({"Kestrel.dat"}));
  EXPECT_EQ(LogText(), "");
}

TEST_F(Program, RemoveAsksItsQuestionAndEndsWhateverTheAnswer) {
  WriteInstallRecord();
  QProcess& viewer = Launch({"/Remove"});
  ASSERT_TRUE(viewer.waitForFinished(60000));
  EXPECT_EQ(viewer.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(viewer.exitCode(), 0);
  // The log answers No: nothing was removed.
  EXPECT_EQ(LogText(), "Confirm Uninstall\tRemove Kestrel! from Your Computer?\n");
  EXPECT_TRUE(IsInstalled());
}

TEST_F(Program, APathThatDoesNotExistIsReportedAndTheViewerRuns) {
  const QString missing = Env.Path() + "/no such picture.bmp";
  QProcess& viewer = Launch({missing});
  ASSERT_TRUE(test::WaitUntil([&] { return !LogText().isEmpty(); }, 60000));
  EXPECT_EQ(LogText(), "Kestrel!: Load File\tDoes Not Exist\\r" + missing + "\n");
  EXPECT_FALSE(viewer.waitForFinished(1000));
  EXPECT_EQ(viewer.state(), QProcess::Running);
}

TEST_F(Program, ADamagedSettingsFileIsMovedAsideAndTheViewerStartsOnDefaults) {
  QDir().mkpath(QFileInfo(Env.StoreFile()).path());
  test::WriteFile(Env.StoreFile(), "not a settings file");
  QProcess& viewer = Launch({});
  ASSERT_TRUE(test::WaitUntil([&] { return LogText().contains("Kestrel!: Settings"); }, 60000));
  EXPECT_TRUE(LogText().contains(Env.StoreFile() + ".bad"));
  EXPECT_EQ(test::FileBytes(Env.StoreFile() + ".bad"), "not a settings file");
  ASSERT_TRUE(test::WaitUntil(
      [&] { return test::FileBytes(Env.StoreFile()).contains("\"Timer\"=dword:00000021"); },
      60000));
  EXPECT_EQ(viewer.state(), QProcess::Running);
}

TEST(ErrorNames, TheHandlerShowsTheClassWithoutItsNamespace) {
  EXPECT_EQ(ErrorClassName(EInOutError("x", 2)), "EInOutError");
  EXPECT_EQ(ErrorClassName(std::runtime_error("x")), "runtime_error");
}

} // namespace
} // namespace kestrel
