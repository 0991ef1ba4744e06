#include "desktop/install/Install.h"

#include "desktop/install/DesktopEntry.h"
#include "desktop/install/FileTypes.h"
#include "desktop/install/InstallRecord.h"
#include "desktop/install/InstallSettings.h"
#include "desktop/install/MimeAppsList.h"
#include "desktop/install/MimeData.h"
#include "platform/settings/NewRegistry.h"
#include "platform/settings/Settings.h"
#include "platform/ui/MessageBox.h"
#include "support/DesktopStubs.h"
#include "support/MessageRecorder.h"
#include "support/TestApplication.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::FileBytes;

class InstallWindow : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    QDir().mkpath(Desktop());
  }

  TInstall* Open(TInstallMode mode) {
    auto* window = new TInstall(mode, Program, Env.Home());
    QObject::connect(window, &TInstall::ShowMainWindow, [this] { ++MainShown; });
    QObject::connect(window, &TInstall::ExitProgram, [this] { ++Exits; });
    Windows << window;
    return window;
  }
  // Checks exactly the boxes of the bits.
  static void CheckTypes(TInstall* window, int bits) {
    for (const auto& [box, bit] : window->ExtensionBoxes)
      box->setChecked(bits & bit);
  }
  QString Desktop() const { return Env.Home() + "/Desktop"; }
  QString Data() const { return Env.DataHome(); }
  // Everything a test may see change, the tools' stand-ins and the settings file left out.
  QStringList Tree() const {
    return test::FileTree(Env.Path(), {"bin", "tools.log", "xdg_config_home/Brackwell"});
  }
  QString Messages1() const { return Messages.join("\n"); }
  static QString MachineValue(const QString& key, const QString& name) {
    TNewRegistry registry;
    if (!registry.KeyExists(key)) return "(no key)";
    registry.OpenKey(key);
    return registry.ValueExists(name) ? registry.ReadString(name) : "(no value)";
  }
  int Stored(const TSettingKey& key) const { return PeekSetting(key, -1); }

  test::TTempEnvironment Env;
  test::TDesktopStubs Stubs{Env};
  QString Program = Env.Path() + "/bin dir/kestrel";
  test::TMessageRecorder Boxes;
  QStringList& Messages = Boxes.Messages;
  TMsgResult& Answer = Boxes.Answer;
  int MainShown = 0;
  int Exits = 0;
  QList<QPointer<TInstall>> Windows;
};

TEST_F(InstallWindow, AFirstRunWithDoneWritesTheLaunchersThePackageAndTheChosenDefaults) {
  TInstall* window = Open(TInstallMode::FirstRun);
  EXPECT_EQ(window->windowTitle(), "Kestrel! Installation: Ver " + FileVersion());
  EXPECT_TRUE(window->PageControl1->isTabVisible(window->PageControl1->indexOf(window->Hello)));
  EXPECT_FALSE(window->PageControl1->isTabVisible(window->PageControl1->indexOf(window->Misc)));
  EXPECT_EQ(window->PageControl1->currentWidget(), window->Hello);
  EXPECT_TRUE(window->ApplyIcons->isHidden());
  EXPECT_EQ(window->BtCancel->text(), "Cancel");
  EXPECT_EQ(window->LocationBits(), 7);
  CheckTypes(window, 16 | 32); // PNG and TIFF
  window->BtDone->click();

  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(Windows.first().isNull()); // freed on close
  EXPECT_EQ(MainShown, 1);
  EXPECT_EQ(Exits, 0);
  EXPECT_EQ(Messages, QStringList());
  const QString launcher = Desktop() + "/kestrel.desktop";
  EXPECT_TRUE(CarriesMarker(launcher));
  EXPECT_TRUE(QFileInfo(launcher).isExecutable());
  EXPECT_TRUE(FileBytes(launcher).contains("Exec=\"" + Program.toUtf8() + "\" %f\n"));
  EXPECT_TRUE(CarriesMarker(Data() + "/applications/kestrel-launcher.desktop"));
  const QByteArray sendTo = FileBytes(Data() + "/applications/kestrel.desktop");
  EXPECT_TRUE(sendTo.contains("MimeType=" + AllMimeTypes().join(';').toUtf8() + ";\n"));
  EXPECT_TRUE(sendTo.contains("NoDisplay=true\n"));
  EXPECT_EQ(FileBytes(Data() + "/mime/packages/kestrel.xml"), QByteArray(kMimePackage));
  EXPECT_EQ(Stubs.Calls(), QStringList({"update-mime-database " + Data() + "/mime",
                                        "update-desktop-database " + Data() + "/applications",
                                        "xdg-mime default kestrel.desktop image/png image/tiff"}));

  EXPECT_TRUE(IsInstalled());
  EXPECT_EQ(Stored(InstallSettings::Locations), 7);
  EXPECT_EQ(Stored(InstallSettings::Extensions), 48);
  EXPECT_EQ(PeekSetting(InstallSettings::CustomDir, QString()), "FALSE");
  EXPECT_EQ(PeekSetting(InstallSettings::SingleInstance, QString()), "FALSE");
  EXPECT_EQ(MachineValue("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kestrel", ""),
            Program);
  const QString uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrel";
  EXPECT_EQ(MachineValue(uninstall, "DisplayName"), DisplayName(FileVersion()));
  EXPECT_EQ(MachineValue(uninstall, "UninstallString"), Program + " /Remove");
}

TEST_F(InstallWindow, CancellingTheFirstRunEndsTheProgramHavingWrittenNothingAtAll) {
  WriteSetting("MainForm", "Width", 600); // what the main window stored at its start
  const QStringList before = test::FileTree(Env.Path(), {"bin"});
  Open(TInstallMode::FirstRun)->BtCancel->click();
  EXPECT_EQ(Exits, 1);
  TInstall* window = Open(TInstallMode::FirstRun);
  window->show();
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_EQ(Exits, 2);
  EXPECT_EQ(MainShown, 0);
  EXPECT_EQ(test::FileTree(Env.Path(), {"bin"}), before);
  EXPECT_FALSE(IsInstalled());
}

TEST(DisplayName, IsTheVersionCutAfterItsFirstDotAndOneMoreCharacter) {
  EXPECT_EQ(DisplayName("2.11.0.5"), "Kestrel! Version 2.1");
  EXPECT_EQ(DisplayName("0.1.0"), "Kestrel! Version 0.1");
  EXPECT_EQ(DisplayName("7"), "Kestrel! Version 7");
}

TEST_F(InstallWindow, EachExtensionsBoxRegistersItsOwnTypesAndStoresItsBit) {
  TInstall* window = Open(TInstallMode::Later);
  EXPECT_FALSE(window->ApplyExtns->isHidden());
  CheckTypes(window, 0);
  window->ApplyExtnsClick();
  EXPECT_EQ(Stored(InstallSettings::Extensions), 0);
  EXPECT_EQ(Stubs.Calls().filter("xdg-mime"), QStringList());

  CheckTypes(window, 8); // "Metafile (.wmf, .emf)"
  window->ApplyExtnsClick();
  EXPECT_EQ(Stored(InstallSettings::Extensions), 8);
  EXPECT_EQ(Stubs.Calls().filter("xdg-mime"),
            QStringList({"xdg-mime default kestrel.desktop image/wmf"}));

  Stubs.ClearCalls();
  CheckTypes(window, kAllFileTypes);
  window->ApplyExtnsClick();
  EXPECT_EQ(Stored(InstallSettings::Extensions), 4095);
  const QStringList all = Stubs.Calls().filter("xdg-mime");
  ASSERT_EQ(all.size(), 1);
  for (const QString& type : AllMimeTypes()) {
    const bool ofABox = type != "image/emf" && type != "image/vnd.microsoft.icon";
    EXPECT_EQ(all.first().split(' ').contains(type), ofABox) << type.toStdString();
  }
}

TEST(FileTypes, EachBoxCoversTheExtensionsItNamesAsTheSystemKnowsThem) {
  // The system's own database, not ours: the names must be the ones it gives these files.
  const QMimeDatabase database;
  auto covers = [&](const char* group, const char* file) {
    return MimeTypesOf(group).contains(
        database.mimeTypeForFile(file, QMimeDatabase::MatchExtension).name());
  };
  if (database.mimeTypeForFile("a.png", QMimeDatabase::MatchExtension).name() != "image/png")
    GTEST_SKIP() << "no shared MIME database on this system";
  for (const char* file : {"a.jpg", "a.jpeg", "a.jpe"})
    EXPECT_TRUE(covers("jpeg", file)) << file;
  EXPECT_TRUE(covers("tiff", "a.tif"));
  EXPECT_TRUE(covers("tiff", "a.tiff"));
  EXPECT_TRUE(covers("wmf", "a.wmf"));
  EXPECT_FALSE(covers("wmf", "a.emf"));
  EXPECT_TRUE(covers("pcx", "a.pcx"));
  EXPECT_TRUE(covers("tga", "a.tga"));
  EXPECT_TRUE(covers("bmp", "a.bmp"));
  EXPECT_TRUE(covers("gif", "a.gif"));
  int bits = 0;
  for (const TFileTypeBox& box : FileTypeBoxes()) {
    EXPECT_FALSE(MimeTypesOf(box.Group).isEmpty()) << box.Group;
    EXPECT_EQ(bits & box.Bit, 0) << box.Name;
    bits |= box.Bit;
  }
  EXPECT_EQ(bits, kAllFileTypes);
}

class InstallThenUninstall : public InstallWindow, public ::testing::WithParamInterface<bool> {};

TEST_P(InstallThenUninstall, LeavesTheTreeAsItWas) {
  const bool withXdgMime = GetParam();
  if (!withXdgMime) Stubs.Remove("xdg-mime");
  // A user's own things, which must come through untouched.
  test::WriteFile(Env.ConfigHome() + "/mimeapps.list",
                  "[Default Applications]\ntext/plain=gedit.desktop\nnot a valid line\n");
  test::WriteFileInFolder(Data() + "/applications/gimp.desktop", "[Desktop Entry]\nName=GIMP\n");
  const QStringList before = Tree();

  TInstall* first = Open(TInstallMode::FirstRun);
  CheckTypes(first, kAllFileTypes);
  first->BtDone->click();
  EXPECT_EQ(Messages1().contains("xdg-mime was not found"), !withXdgMime);
  ASSERT_NE(Tree(), before);
  ASSERT_TRUE(IsInstalled());

  Messages.clear();
  ASSERT_TRUE(Open(TInstallMode::Later)->Uninstall());
  EXPECT_EQ(Messages, QStringList({"Confirm Uninstall: Remove Kestrel! from Your Computer?"}));
  EXPECT_EQ(Exits, 1);
  EXPECT_EQ(Tree(), before);
  EXPECT_FALSE(IsInstalled());
  EXPECT_EQ(MachineValue("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrel",
                         "DisplayName"),
            "(no key)");
  TNewRegistry user;
  user.RootKey = TRootKey::CurrentUser;
  EXPECT_FALSE(user.KeyExists("Software\\Brackwell\\Kestrel"));
}

INSTANTIATE_TEST_SUITE_P(Desktops, InstallThenUninstall, ::testing::Values(true, false),
                         [](const auto& info) {
                           return info.param ? "WithXdgMime" : "WritingMimeappsListDirectly";
                         });

TEST_F(InstallWindow, UninstallResetsOnlyTheDefaultsThatStillNameKestrel) {
  Stubs.Remove("xdg-mime");
  TInstall* first = Open(TInstallMode::FirstRun);
  CheckTypes(first, 2 | 16); // JPEG and PNG
  first->BtDone->click();
  // Another program takes over PNG.
  QString error;
  TMimeAppsList list(ReadMimeAppsList(&error));
  ASSERT_EQ(list.DefaultOf("image/png"), "kestrel.desktop");
  list.SetDefault("image/png", "eog.desktop");
  ASSERT_EQ(WriteMimeAppsList(list.Text()), "");

  Answer = TMsgResult::No;
  EXPECT_FALSE(Open(TInstallMode::Later)->Uninstall());
  EXPECT_TRUE(IsInstalled());
  EXPECT_EQ(TMimeAppsList(ReadMimeAppsList(&error)).DefaultOf("image/jpeg"), "kestrel.desktop");

  Answer = TMsgResult::Yes;
  EXPECT_TRUE(Open(TInstallMode::Later)->Uninstall());
  const TMimeAppsList after(ReadMimeAppsList(&error));
  EXPECT_EQ(after.DefaultOf("image/png"), "eog.desktop");
  EXPECT_EQ(after.DefaultOf("image/jpeg"), "");
}

TEST_F(InstallWindow, AUsersOwnLauncherOfTheSameNameIsNeitherReplacedNorDeleted) {
  const QString launcher = Desktop() + "/kestrel.desktop";
  TInstall* window = Open(TInstallMode::Later);
  // Unchecking deletes our launcher; checking again makes it anew.
  window->ApplyIconsClick();
  ASSERT_TRUE(CarriesMarker(launcher));
  window->ChkDeskTop->setChecked(false);
  window->ApplyIconsClick();
  EXPECT_FALSE(QFile::exists(launcher));
  EXPECT_EQ(Stored(InstallSettings::Locations), 6);
  window->ChkDeskTop->setChecked(true);
  window->ApplyIconsClick();
  EXPECT_TRUE(CarriesMarker(launcher));
  EXPECT_EQ(Messages, QStringList());

  const QByteArray mine = "[Desktop Entry]\nName=My own Kestrel\nExec=/opt/kestrel/run\n";
  test::WriteFile(launcher, mine);
  window->ApplyIconsClick();
  EXPECT_EQ(Messages,
            QStringList("Kestrel!: " + launcher + " is not Kestrel's own: it was left as it is."));
  window->ChkDeskTop->setChecked(false);
  window->ApplyIconsClick();
  EXPECT_TRUE(window->Uninstall());
  EXPECT_EQ(FileBytes(launcher), mine);
}

TEST_F(InstallWindow, ToolsThatAreMissingOrFailAreReported) {
  Stubs.Remove("update-mime-database");
  Stubs.Stub("xdg-mime", "echo 'mimeapps.list is locked' >&2; exit 3");
  TInstall* window = Open(TInstallMode::FirstRun);
  CheckTypes(window, 4);
  window->BtDone->click();
  EXPECT_EQ(Messages, QStringList({"Kestrel!: update-mime-database was not found.",
                                   "Kestrel!: xdg-mime failed with exit code 3:\r"
                                   "mimeapps.list is locked"}));
  // Reported, and the rest of the installation went on.
  EXPECT_TRUE(IsInstalled());
  EXPECT_EQ(MainShown, 1);
}

TEST_F(InstallWindow, FoldersThatCannotBeWrittenAreReported) {
  // The desktop folder is a file here; the data folder a file too.
  QDir(Desktop()).removeRecursively();
  test::WriteFile(Desktop(), "not a folder");
  QDir(Data()).removeRecursively();
  test::WriteFile(Data(), "not a folder");
  TInstall* window = Open(TInstallMode::Later);
  window->ApplyIconsClick();
  ASSERT_EQ(Messages.size(), 1);
  EXPECT_TRUE(Messages.first().startsWith("Kestrel!: There is no desktop folder (" + Desktop()));
  EXPECT_TRUE(Messages.first().contains("Cannot create the folder " + Data() + "/applications"));
  EXPECT_EQ(FileBytes(Desktop()), "not a folder");
}

TEST_F(InstallWindow, APackagedInstallationLeavesTheUserOnlyTheirOwnChoices) {
  test::WriteFileInFolder(Stubs.SystemData() + "/applications/kestrel.desktop",
                          "[Desktop Entry]\n");
  test::WriteFileInFolder(Stubs.SystemData() + "/mime/packages/kestrel.xml", kMimePackage);
  TInstall* window = Open(TInstallMode::FirstRun);
  CheckTypes(window, 16);
  window->BtDone->click();
  EXPECT_TRUE(CarriesMarker(Desktop() + "/kestrel.desktop"));
  EXPECT_FALSE(QFileInfo::exists(Data() + "/applications"));
  EXPECT_FALSE(QFileInfo::exists(Data() + "/mime"));
  EXPECT_EQ(Stubs.Calls(), QStringList({"xdg-mime default kestrel.desktop image/png"}));
  EXPECT_EQ(Messages, QStringList());
}

TEST_F(InstallWindow, TheStartFolderChoices) {
  TInstall* window = Open(TInstallMode::Later);
  EXPECT_TRUE(window->RadioButton1->isChecked());
  EXPECT_FALSE(window->BitBtn3->isEnabled());
  window->RadioButton2->click();
  EXPECT_EQ(window->Edit1->text(), Env.Home());
  window->SetCurrentFolder(Env.Folder("elsewhere"));
  EXPECT_EQ(window->Edit1->text(), Env.Folder("elsewhere"));
  window->RadioButton3->click();
  window->ChooseFolder = [this](QWidget*, const QString& title) {
    EXPECT_EQ(title, "Select the folder Kestrel! will always open when it starts.");
    return Env.Folder("chosen");
  };
  window->BitBtn3->click();
  window->SetCurrentFolder(Env.Home()); // "Custom" does not follow the lists
  window->SingleInstance->setChecked(true);
  window->BtDone->click();
  EXPECT_EQ(PeekSetting(InstallSettings::CustomDir, QString()), "TRUE");
  EXPECT_EQ(PeekSetting(InstallSettings::InitialDir, QString()), Env.Folder("chosen"));
  EXPECT_EQ(PeekSetting(InstallSettings::SingleInstance, QString()), "TRUE");

  // Opened again it shows the fixed folder; a custom folder left empty is no fixed folder.
  TInstall* again = Open(TInstallMode::Later);
  EXPECT_TRUE(again->RadioButton3->isChecked());
  EXPECT_EQ(again->Edit1->text(), Env.Folder("chosen"));
  again->Edit1->clear();
  again->BtDone->click();
  EXPECT_EQ(PeekSetting(InstallSettings::CustomDir, QString()), "FALSE");
}

} // namespace
} // namespace kestrel
