#include "platform/sound/SoundPlayer.h"

#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QFile>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

// PATH pointing at one folder for the life of the object.
class TSearchPath {
public:
  explicit TSearchPath(const QString& folder) : saved_(qgetenv("PATH")) {
    qputenv("PATH", QFile::encodeName(folder));
  }
  ~TSearchPath() { qputenv("PATH", saved_); }
  TSearchPath(const TSearchPath&) = delete;
  TSearchPath& operator=(const TSearchPath&) = delete;

private:
  QByteArray saved_;
};

void WriteScript(const QString& path, const QString& body) {
  test::WriteFile(path, ("#!/bin/sh\n" + body).toUtf8());
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(Sound, PlaysInTheBackgroundAndASilentSystemSaysNothing) {
  test::TestApplication();
  test::TTempEnvironment env;
  const QString bin = env.Folder("bin");
  const QString played = env.Path() + "/played";
  const QString finished = env.Path() + "/finished";
  // A player that notes what it was given, then takes its time.
  WriteScript(bin + "/aplay",
              "echo \"$1\" > '" + played + "'\nsleep 20\ntouch '" + finished + "'\n");
  {
    const TSearchPath path(bin);
    EXPECT_EQ(SoundPlayerProgram(), bin + "/aplay");
    PlaySoundAsync("/pictures/a ding.wav");
    // The call came back while the sound plays. The player's note is there once its line is
    // whole: the file exists a moment before the line is in it.
    ASSERT_TRUE(test::WaitUntil([&] { return test::FileBytes(played).endsWith('\n'); }, 10000));
    EXPECT_EQ(test::FileBytes(played), "/pictures/a ding.wav\n");
    EXPECT_FALSE(QFile::exists(finished));
    // The desktop's sound server is asked first when it is there.
    WriteScript(bin + "/paplay", "exit 0\n");
    EXPECT_EQ(SoundPlayerProgram(), bin + "/paplay");
  }
  // No player at all: silence, and the sound still playing is stopped.
  const TSearchPath nothing(env.Folder("empty"));
  EXPECT_EQ(SoundPlayerProgram(), "");
  PlaySoundAsync("/pictures/b.wav");

  QStringList asked;
  const TSoundHandler previous = SetSoundHandler([&asked](const QString& p) { asked << p; });
  PlaySoundAsync("/pictures/c.wav");
  EXPECT_EQ(asked, QStringList{"/pictures/c.wav"});
  SetSoundHandler(previous);
}

} // namespace
} // namespace kestrel
