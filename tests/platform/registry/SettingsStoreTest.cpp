#include "platform/settings/Settings.h"

#include "support/TempEnvironment.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <thread>

namespace kestrel {
namespace {

using test::FileBytes;

class SettingsStore : public ::testing::Test {
protected:
  QString StoreText() const { return QString::fromUtf8(FileBytes(Env.StoreFile())); }
  ino_t StoreInode() const {
    struct stat status {};
    ::stat(QFile::encodeName(Env.StoreFile()).constData(), &status);
    return status.st_ino;
  }
  // Every value "prefix<n>" of the "Race" section must hold n.
  void ExpectRaceValues(const QString& prefix, int count) {
    for (int n = 0; n < count; ++n) {
      TSettingValue value = -1;
      ReadSetting("Race", prefix + QString::number(n), value);
      ASSERT_EQ(std::get<int>(value), n) << prefix.toStdString() << n;
    }
  }

  test::TTempEnvironment Env;
};

TEST_F(SettingsStore, FirstReadStoresTheDefaultAndLaterReadsTheStoredValue) {
  TSettingValue timer = 33;
  EXPECT_TRUE(ReadSetting("SlideShow", "Timer", timer));
  EXPECT_EQ(std::get<int>(timer), 33);
  EXPECT_TRUE(StoreText().contains("[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\SlideShow]\n"
                                   "\"Timer\"=dword:00000021"));

  WriteSetting("SlideShow", "Timer", 50);
  TSettingValue again = 33;
  ReadSetting("SlideShow", "Timer", again);
  EXPECT_EQ(std::get<int>(again), 50);

  TSettingValue name = QString("MS Sans Serif");
  ReadSetting("MainForm", "Pictext FontName", name);
  WriteSetting("MainForm", "Pictext FontName", QString("DejaVu Sans"));
  EXPECT_EQ(ReadSetting(TSettingKey{"MainForm", "Pictext FontName"}, "x"), "DejaVu Sans");
}

// The store's own rule is an error here; a user cannot be asked to mend the file by hand to
// start the program, so the value is reported and its default used.
TEST_F(SettingsStore, StoredValueOfTheOtherKindIsToldAndItsDefaultUsed) {
  QStringList reports;
  TRegistryFile::SetReporter([&](const QString& message) { reports << message; });
  WriteSetting("MainForm", "Width", QString("wide"));
  TSettingValue width = 577;
  EXPECT_TRUE(ReadSetting("MainForm", "Width", width));
  EXPECT_EQ(std::get<int>(width), 577);
  WriteSetting("MainForm", "Single Instance", 1);
  EXPECT_FALSE(ReadFlag({"MainForm", "Single Instance"}, false));
  TRegistryFile::SetReporter({});
  ASSERT_EQ(reports.size(), 2);
  EXPECT_EQ(reports[0], "The setting \"Width\" in\r"
                        "[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\MainForm]\r"
                        "holds the text \"wide\" where a number belongs.\r"
                        "Kestrel uses its default, 577, instead.");
  EXPECT_TRUE(reports[1].contains("holds the number 1 where a text belongs"));
  // The user's value stays until the setting is written again.
  EXPECT_TRUE(StoreText().contains("\"Width\"=\"wide\""));
}

TEST_F(SettingsStore, OnlyTheExactTextTrueCountsAsOn) {
  const TSettingKey key{"MainForm", "Start Minimized"};
  EXPECT_FALSE(ReadFlag(key, false));
  EXPECT_EQ(ReadSetting(key, "x"), "FALSE"); // the default was stored as text
  WriteSetting(key, QString("true"));
  EXPECT_FALSE(ReadFlag(key, false));
  WriteFlag(key, true);
  EXPECT_TRUE(ReadFlag(key, false));
  EXPECT_EQ(ReadSetting(key, "x"), "TRUE");
}

TEST_F(SettingsStore, SectionAndValueNamesIgnoreCase) {
  WriteSetting("Color", "FileView", 0x00ffff);
  TSettingValue value = 0;
  ReadSetting("color", "fileview", value);
  EXPECT_EQ(std::get<int>(value), 0x00ffff);
  WriteSetting("COLOR", "FILEVIEW", 7);
  EXPECT_EQ(StoreText().count("Kestrel\\Color]"), 1);
  EXPECT_EQ(StoreText().count("dword:"), 1);
  EXPECT_EQ(ListSection("Color").NumValues, 1);
}

TEST_F(SettingsStore, ListAndDeleteSections) {
  for (const char* letter : {"A", "B", "C"})
    WriteSetting("Recent Folders", letter, QString("/x"));
  EXPECT_EQ(ListSection("Recent Folders").NumValues, 3);
  DeleteSection("Recent Folders");
  DeleteSection("Recent Folders"); // missing: no error
  DeleteSection("Never Written");
  EXPECT_EQ(ListSection("Recent Folders").NumValues, 0);
  EXPECT_FALSE(StoreText().contains("\"A\""));
}

TEST_F(SettingsStore, WrapperRaisesWithTheSystemResultCode) {
  TNewRegistry registry;
  EXPECT_EQ(registry.RootKey, TRootKey::LocalMachine);
  auto message = [](const std::function<void()>& action) {
    try {
      action();
    } catch (const ENewReg& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { registry.DeleteKey("Software\\Missing"); }),
            "Failed to Delete Registry Key: #2");
  EXPECT_EQ(message([&] { registry.CloseKey(); }), "Failed to Close Registry Key: #6");
  EXPECT_EQ(message([&] { registry.WriteString("a", "b"); }),
            "Failed to Write Registry String: #6");
  registry.OpenKey("Software\\Brackwell\\Kestrel\\Ver 1");
  EXPECT_EQ(message([&] { registry.ReadInteger("missing"); }), "Bum Data");
  EXPECT_EQ(registry.ReadString("missing"), "");
  EXPECT_EQ(registry.GetDataSize("missing"), -1);
  registry.WriteString("cut", QString("ab") + QChar(0) + "cd");
  EXPECT_EQ(registry.ReadString("cut"), "ab"); // a text ends at its first zero
  registry.WriteString("text", "abc");
  EXPECT_EQ(registry.GetDataSize("text"), 4);
  EXPECT_EQ(registry.GetDataType("text"), TRegDataType::rdString);
  EXPECT_EQ(message([&] { registry.ReadInteger("text"); }), "Read Error: text");
  EXPECT_TRUE(registry.KeyExistsUnder(TRootKey::LocalMachine, "Software\\Brackwell\\Kestrel"));
  EXPECT_FALSE(registry.KeyExistsUnder(TRootKey::CurrentUser, "Software\\Brackwell\\Kestrel"));
  EXPECT_EQ(message([&] { registry.DeleteKey("Software\\Brackwell"); }),
            "Failed to Delete Registry Key: #5");
  EXPECT_EQ(registry.LastError, kErrorAccessDenied);
}

TEST_F(SettingsStore, DamagedFileIsMovedAsideReportedAndDefaultsUsed) {
  const QByteArray garbage = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\So";
  QDir().mkpath(QFileInfo(Env.StoreFile()).path());
  test::WriteFile(Env.StoreFile(), garbage);
  QStringList reports;
  TRegistryFile::SetReporter([&](const QString& message) { reports << message; });

  TSettingValue timer = 33;
  ReadSetting("SlideShow", "Timer", timer);
  TRegistryFile::SetReporter({});

  EXPECT_EQ(std::get<int>(timer), 33);
  EXPECT_EQ(FileBytes(Env.StoreFile() + ".bad"), garbage);
  ASSERT_EQ(reports.size(), 1);
  EXPECT_TRUE(reports[0].contains(Env.StoreFile() + ".bad"));
  EXPECT_TRUE(StoreText().contains("\"Timer\"=dword:00000021"));
}

TEST_F(SettingsStore, ReadingStoredValuesNeverRewritesTheFile) {
  WriteSetting("MainForm", "Width", 800);
  WriteSetting("MainForm", "Single Instance", QString("TRUE"));
  const QByteArray before = FileBytes(Env.StoreFile());
  const ino_t inode = StoreInode();
  EXPECT_EQ(ReadSetting(TSettingKey{"MainForm", "Width"}, 577), 800);
  EXPECT_TRUE(ReadFlag({"MainForm", "Single Instance"}, false));
  EXPECT_EQ(StoreInode(), inode);
  EXPECT_EQ(FileBytes(Env.StoreFile()), before);
}

// Every byte this process has read so far.
qint64 BytesRead() {
  QFile io("/proc/self/io");
  if (!io.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : io.readAll().split('\n'))
    if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
  return -1;
}

TEST_F(SettingsStore, TheFileIsReadOnceAndAgainOnlyAfterAnotherCopyReplacedIt) {
  QByteArray text = "Windows Registry Editor Version 5.00\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\Years of use]\n";
  for (int n = 0; n < 5000; ++n)
    text += "\"Value " + QByteArray::number(n) + "\"=\"" + QByteArray(20, 'v') + "\"\n";
  QDir().mkpath(QFileInfo(Env.StoreFile()).path());
  test::WriteFile(Env.StoreFile(), text);

  const qint64 before = BytesRead();
  for (int n = 0; n < 40; ++n)
    EXPECT_EQ(ReadSetting(TSettingKey{"Years of use", "Value 7"}, "x"), QString(20, 'v'));
  const qint64 read = BytesRead() - before;
  EXPECT_GE(read, text.size());
  EXPECT_LT(read, 2 * text.size());

  QProcess other;
  other.start(KESTREL_STORE_WRITER, {"p", "1"});
  ASSERT_TRUE(other.waitForFinished(60000));
  ASSERT_EQ(other.exitCode(), 0);
  ExpectRaceValues("p", 1);
}

TEST_F(SettingsStore, ABatchWritesOnceWhenItEndsOverWhatAnotherCopyWroteMeanwhile) {
  WriteSetting("MainForm", "Width", 800);
  const ino_t before = StoreInode();
  {
    TSettingsBatch batch;
    WriteSetting("MainForm", "Width", 900);
    TSettingValue timer = 33;
    ReadSetting("SlideShow", "Timer", timer); // stores its default
    DeleteSection("MainForm");
    WriteSetting("MainForm", "Height", 600);
    EXPECT_EQ(ReadSetting(TSettingKey{"MainForm", "Height"}, 0), 600);
    EXPECT_EQ(StoreInode(), before);
    QProcess other;
    other.start(KESTREL_STORE_WRITER, {"p", "2"});
    ASSERT_TRUE(other.waitForFinished(60000));
    ASSERT_EQ(other.exitCode(), 0);
    // Reading again finds the other copy's file: the batch's changes stand over it.
    EXPECT_EQ(ReadSetting(TSettingKey{"MainForm", "Height"}, 0), 600);
    EXPECT_EQ(ReadSetting(TSettingKey{"SlideShow", "Timer"}, 0), 33);
  }
  ExpectRaceValues("p", 2);
  EXPECT_EQ(ReadSetting(TSettingKey{"SlideShow", "Timer"}, 0), 33);
  EXPECT_EQ(ReadSetting(TSettingKey{"MainForm", "Height"}, 0), 600);
  EXPECT_FALSE(StoreText().contains("\"Width\""));
}

TEST_F(SettingsStore, TwoThreadsWritingAtOnceLoseNothing) {
  constexpr int kCount = 30;
  auto writer = [](const QString& prefix) {
    for (int n = 0; n < kCount; ++n)
      WriteSetting("Race", prefix + QString::number(n), n);
  };
  std::thread first(writer, "t"), second(writer, "u");
  first.join();
  second.join();
  ExpectRaceValues("t", kCount);
  ExpectRaceValues("u", kCount);
}

TEST_F(SettingsStore, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kCount = 40;
  QProcess first, second;
  first.start(KESTREL_STORE_WRITER, {"p", QString::number(kCount)});
  second.start(KESTREL_STORE_WRITER, {"q", QString::number(kCount)});
  ASSERT_TRUE(first.waitForFinished(120000));
  ASSERT_TRUE(second.waitForFinished(120000));
  EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
  EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
  ExpectRaceValues("p", kCount);
  ExpectRaceValues("q", kCount);
  EXPECT_EQ(ListSection("Race").NumValues, 2 * kCount);
}

} // namespace
} // namespace kestrel
