// The installation against the desktop's real tools (xdg-mime, update-mime-database, gio) in a
// throwaway home: what they answer afterwards is what a desktop would do.

#include "desktop/install/DesktopTools.h"
#include "desktop/install/Install.h"
#include "support/DesktopStubs.h"
#include "support/MessageRecorder.h"
#include "support/TestApplication.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class RealDesktopTools : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    if (!HasDesktopTool("xdg-mime") || !HasDesktopTool("update-mime-database"))
      GTEST_SKIP() << "xdg-utils and shared-mime-info are not installed";
    SavedDirs = qgetenv("XDG_DATA_DIRS");
    // The system's MIME database, and no launcher a package may have installed.
    qputenv("XDG_DATA_DIRS", "/usr/share");
  }
  void TearDown() override { qputenv("XDG_DATA_DIRS", SavedDirs); }
  // Installs with "Send To" and the default for the bits' types.
  void Install(const QString& program, int bits) {
    auto* window = new TInstall(TInstallMode::FirstRun, program, Env.Path());
    window->ChkDeskTop->setChecked(false);
    for (const auto& [box, bit] : window->ExtensionBoxes)
      box->setChecked(bits & bit);
    window->BtDone->click();
  }
  static QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
  }
  // Everything under the test's folders but the settings file.
  QStringList Tree() const { return test::FileTree(Env.Path(), {"xdg_config_home/Brackwell"}); }
  static QString DefaultFor(const QString& type) {
    return Run("xdg-mime", {"query", "default", type});
  }

  test::TTempEnvironment Env;
  QByteArray SavedDirs;
  test::TMessageRecorder Boxes;
};

TEST_F(RealDesktopTools, TheDefaultsAreTheDesktopsAndUninstallTakesThemBack) {
  // What the tools make goes with what they were made from.
  const QStringList before = Tree();
  Install(QCoreApplication::applicationFilePath(), 16 | 1024); // PNG and PCX
  EXPECT_EQ(Boxes.Messages, QStringList());
  EXPECT_EQ(DefaultFor("image/x-pcx"), "kestrel.desktop");
  EXPECT_EQ(DefaultFor("image/png"), "kestrel.desktop");
  if (HasDesktopTool("gio")) {
    const QString gio = Run("gio", {"mime", "image/png"});
    EXPECT_TRUE(gio.section('\n', 0, 0).endsWith("kestrel.desktop")) << gio.toStdString();
    // "Send To": offered for a type it is not the default of.
    if (HasDesktopTool("update-desktop-database")) {
      const QString gif = Run("gio", {"mime", "image/gif"});
      EXPECT_TRUE(gif.contains(QRegularExpression("Registered applications:\\s+kestrel.desktop")))
          << gif.toStdString();
    }
  }
  // The types without a shared name are known to the desktop now.
  const QByteArray globs = test::FileBytes(Env.DataHome() + "/mime/globs2");
  for (const char* glob :
       {"image/x-pcc:*.pcc", "image/x-dcx:*.dcx", "image/x-afi:*.afi", "image/x-vst:*.vst"})
    EXPECT_TRUE(globs.contains(glob)) << glob;

  auto* window = new TInstall(TInstallMode::Later, QCoreApplication::applicationFilePath(), {});
  ASSERT_TRUE(window->Uninstall());
  EXPECT_EQ(Boxes.Messages,
            QStringList({"Confirm Uninstall: Remove Kestrel! from Your Computer?"}));
  EXPECT_NE(DefaultFor("image/png"), "kestrel.desktop");
  EXPECT_EQ(Tree(), before);
}

TEST_F(RealDesktopTools, TheLauncherStartsAProgramWhoseNameNeedsQuotingWithTheFileWhole) {
  if (!HasDesktopTool("gio")) GTEST_SKIP() << "gio is not installed";
  // A program name with blanks, quotes, a dollar and a percent, which the launcher must quote.
  const QString program = Env.Folder("my viewers") + "/view \"it\" $HOME 100%.sh";
  const QString record = Env.Path() + "/argv.txt";
  test::WriteRecordingProgram(program, record);
  Install(program, 0);
  const QString picture = Env.Folder("my pictures") + "/a picture's name.png";
  test::WriteFile(picture, "x");
  QProcess gio;
  gio.start("gio", {"launch", Env.DataHome() + "/applications/kestrel-launcher.desktop", picture});
  ASSERT_TRUE(gio.waitForFinished(60000));
  ASSERT_TRUE(test::WaitUntil([&] { return QFile::exists(record); }, 60000));
  const QStringList started = QString::fromUtf8(test::FileBytes(record)).split('\n');
  EXPECT_EQ(started.mid(0, 2), QStringList({"1", picture}));
}

} // namespace
} // namespace kestrel
