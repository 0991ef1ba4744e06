// The store when its file or folder cannot be used as it should: the program still starts, says
// once what is wrong, and never loses what the user had.

#include "platform/settings/Settings.h"

#include "support/TempEnvironment.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

namespace kestrel {
namespace {

using test::FileBytes;

const QByteArray kStored = "Windows Registry Editor Version 5.00\n\n"
                           "[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\MainForm]\n"
                           "\"Width\"=dword:00000320\n";

class UnusableStore : public ::testing::Test {
protected:
  void SetUp() override {
    TRegistryFile::SetReporter([this](const QString& message) { Reports << message; });
  }
  void TearDown() override { TRegistryFile::SetReporter({}); }

  // Points the store at a folder of its own under the temporary root.
  QString UseConfigHome(const QString& name) {
    const QString home = Env.Folder(name);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
    Reports.clear();
    return home + "/Brackwell";
  }
  static int Width() { return ReadSetting(TSettingKey{"MainForm", "Width"}, 577); }

  test::TTempEnvironment Env;
  QStringList Reports;
};

// A file that cannot be read goes aside where the folder allows it, whatever its own mode says;
// the store then starts on its defaults and writes as usual.
TEST_F(UnusableStore, AnUnreadableFileIsMovedAsideAndTheStoreCarriesOn) {
  if (test::RerunUnprivileged()) return;
  struct TCase {
    const char* Name;
    std::function<void(const QString& file)> Make;
    const char* Reason;
  };
  const TCase cases[] = {
      {"a folder", [](const QString& file) { QDir().mkpath(file); }, "it is a folder"},
      {"mode 000",
       [](const QString& file) {
         test::WriteFile(file, kStored);
         ::chmod(QFile::encodeName(file), 0);
       },
       "Permission denied"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString file = UseConfigHome(c.Name) + "/Kestrel.reg";
    QDir().mkpath(QFileInfo(file).path());
    c.Make(file);
    EXPECT_EQ(Width(), 577);
    ASSERT_EQ(Reports.size(), 1);
    EXPECT_TRUE(Reports[0].contains(file + "\rcould not be read (" + c.Reason + ").\rIt was moved"))
        << Reports[0].toStdString();
    EXPECT_TRUE(QFileInfo::exists(file + ".bad"));
    WriteSetting(TSettingKey{"MainForm", "Width"}, 640);
    EXPECT_TRUE(FileBytes(file).contains("\"Width\"=dword:00000280"));
    EXPECT_EQ(Reports.size(), 1);
  }
}

// Each case makes the store unwritable in its own way. The store reads what it can, says so once
// with the path and the reason, keeps changes in memory and leaves the files as they were.
TEST_F(UnusableStore, AStoreThatCannotBeWrittenKeepsChangesInMemory) {
  if (test::RerunUnprivileged()) return;
  struct TCase {
    const char* Name;
    std::function<void(const QString& folder)> Make;
    int Read;           // Width as read at the start
    const char* Reason; // in the message
  };
  const auto storeIn = [](const QString& folder) {
    QDir().mkpath(folder);
    test::WriteFile(folder + "/Kestrel.reg", kStored);
  };
  const TCase cases[] = {
      {"read-only folder",
       [&](const QString& folder) {
         storeIn(folder);
         ::chmod(QFile::encodeName(folder), 0555);
       },
       800, "cannot be written (Permission denied)"},
      {"read-only configuration home",
       [](const QString& folder) { ::chmod(QFile::encodeName(QFileInfo(folder).path()), 0555); },
       577, "cannot be written (Permission denied)"},
      {"read-only file",
       [&](const QString& folder) {
         storeIn(folder);
         ::chmod(QFile::encodeName(folder + "/Kestrel.reg"), 0444);
       },
       800, "is read-only"},
      {"unreadable file in a read-only folder",
       [&](const QString& folder) {
         storeIn(folder);
         ::chmod(QFile::encodeName(folder + "/Kestrel.reg"), 0);
         ::chmod(QFile::encodeName(folder), 0555);
       },
       577, "could not be read (Permission denied) and cannot be written (Permission denied)"},
      {"link into a missing folder",
       [](const QString& folder) {
         QDir().mkpath(folder);
         QFile::link(folder + "/missing/Kestrel.reg", folder + "/Kestrel.reg");
       },
       577, "cannot be written (No such file or directory)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString folder = UseConfigHome(c.Name);
    c.Make(folder);
    // Besides the lock, which may be taken where the folder allows.
    const auto listing = [&] {
      return QDir(folder)
          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System)
          .filter(QRegularExpression(R"(^(?!Kestrel\.reg\.lock$))"));
    };
    const QStringList entries = listing();
    const QByteArray before = FileBytes(folder + "/Kestrel.reg");

    EXPECT_EQ(Width(), c.Read);
    WriteSetting(TSettingKey{"MainForm", "Width"}, 1024);
    EXPECT_EQ(Width(), 1024);
    WriteSetting(TSettingKey{"MainForm", "Height"}, 700);
    DeleteSection("Recent Folders");

    ASSERT_EQ(Reports.size(), 1) << Reports.join("\n").toStdString();
    EXPECT_TRUE(Reports[0].contains(folder + "/Kestrel.reg\r")) << Reports[0].toStdString();
    EXPECT_TRUE(Reports[0].contains(c.Reason)) << Reports[0].toStdString();
    EXPECT_EQ(listing(), entries);
    EXPECT_EQ(FileBytes(folder + "/Kestrel.reg"), before);
    ::chmod(QFile::encodeName(QFileInfo(folder).path()), 0755);
    ::chmod(QFile::encodeName(folder), 0755);
  }
}

TEST_F(UnusableStore, AnEmptyLockAndNewFilesLeftByAKilledCopyHoldNothingUp) {
  const QString folder = QFileInfo(Env.StoreFile()).path();
  QDir().mkpath(folder);
  test::WriteFile(Env.StoreFile(), kStored);
  test::WriteFile(Env.StoreFile() + ".lock", "");
  test::WriteFile(Env.StoreFile() + ".k3Xq9Z", "Windows Registry Editor Version 5.00\n[HKEY_CU");
  test::WriteFile(Env.StoreFile() + ".keep", "not ours");

  WriteSetting(TSettingKey{"MainForm", "Width"}, 1024);
  EXPECT_EQ(Width(), 1024);
  EXPECT_TRUE(FileBytes(Env.StoreFile()).contains("\"Width\"=dword:00000400"));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
            QStringList({"Kestrel.reg", "Kestrel.reg.keep", "Kestrel.reg.lock"}));
  EXPECT_TRUE(Reports.isEmpty()) << Reports.join("\n").toStdString();
}

TEST_F(UnusableStore, PartsTooDeepAreLeftOutAndTheWholeFileKeptAside) {
  QDir().mkpath(QFileInfo(Env.StoreFile()).path());
  const QByteArray text =
      kStored + "\n[HKEY_CURRENT_USER" + QByteArray("\\k").repeated(600) + "]\n\"x\"=\"y\"\n";
  test::WriteFile(Env.StoreFile(), text);
  EXPECT_EQ(Width(), 800);
  EXPECT_EQ(FileBytes(Env.StoreFile() + ".bad"), text);
  EXPECT_TRUE(FileBytes(Env.StoreFile()).contains("\"Width\"=dword:00000320"));
  EXPECT_FALSE(FileBytes(Env.StoreFile()).contains("\\k\\k"));
  ASSERT_EQ(Reports.size(), 1);
  EXPECT_TRUE(Reports[0].contains("line 6: a key nested deeper than 512 levels"));
  EXPECT_TRUE(Reports[0].contains(Env.StoreFile() + ".bad"));
}

} // namespace
} // namespace kestrel
