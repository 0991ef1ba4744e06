#include "platform/display/ScreenDepth.h"
#include "platform/paths/Paths.h"
#include "platform/process/Process.h"
#include "platform/ui/MessageBox.h"

#include "support/SearchPath.h"
#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace kestrel {
namespace {

TEST(Services, ScreenDepthCanBeForcedByTheEnvironment) {
  const QByteArray saved = qgetenv("KESTREL_SCREEN_DEPTH");
  qputenv("KESTREL_SCREEN_DEPTH", "4");
  EXPECT_EQ(ScreenDepth(), 4);
  qputenv("KESTREL_SCREEN_DEPTH", "32");
  EXPECT_EQ(ScreenDepth(), 32);
  // Only a whole number of bits a screen can have stands in for the screen.
  for (const char* text : {"junk", "16bit", "0", "-8", "33", ""}) {
    qputenv("KESTREL_SCREEN_DEPTH", text);
    EXPECT_GT(ScreenDepth(), 7) << text;
  }
  qputenv("KESTREL_SCREEN_DEPTH", saved);
}

TEST(Services, StorageFollowsTheEnvironment) {
  test::TTempEnvironment env;
  EXPECT_EQ(SettingsFileName(), env.StoreFile());
  EXPECT_EQ(UndoFolderName(), env.CacheHome() + "/Brackwell/Kestrel/UNDO/");
  EXPECT_EQ(WallpaperFolderName(), env.DataHome() + "/Brackwell/Kestrel/wallpaper/");
  EXPECT_EQ(RuntimeFolder(), env.RuntimeDir());
}

TEST(Services, StartingAProcessReportsTheSystemErrorNumber) {
  test::TTempEnvironment env;
  EXPECT_EQ(StartDetachedProcess(env.Path() + "/missing", {}), ENOENT);
  test::WriteFile(env.Path() + "/not-a-program", "text");
  EXPECT_EQ(StartDetachedProcess(env.Path() + "/not-a-program", {}), EACCES);
  // The path arrives whole, spaces and all: the child writes its argument to a file.
  const QString target = env.Path() + "/with space/out";
  QDir().mkpath(env.Path() + "/with space");
  ASSERT_EQ(StartDetachedProcess("/bin/sh", {"-c", "printf %s \"$0\" > \"$0\"", target}), 0);
  for (int i = 0; i < 100 && test::FileBytes(target).isEmpty(); ++i)
    QThread::msleep(20);
  EXPECT_EQ(QString::fromUtf8(test::FileBytes(target)), target);
}

TEST(Services, OpeningALinkTellsWhetherTheDesktopHadAProgramForIt) {
  test::TestApplication();
  test::TTempEnvironment env;
  const QString bin = env.Folder("bin");
  const QString asked = env.Path() + "/asked";
  // The desktop's opener: it has a mail program and nothing else, as its exit code says.
  test::WriteScript(bin + "/xdg-open", "printf '%s\\n' \"$1\" >> '" + asked +
                                           "'\ncase \"$1\" in mailto:*) exit 0;; esac\nexit 3\n");
  std::vector<bool> answers;
  QObject context;
  auto open = [&](const QUrl& url) {
    const size_t before = answers.size();
    OpenUrl(url, &context, [&answers](bool opened) { answers.push_back(opened); });
    return test::WaitUntil([&] { return answers.size() > before; }) && answers.back();
  };
  const QString folder = env.Folder("a folder");
  {
    const test::TSearchPath path(bin);
    EXPECT_TRUE(open(QUrl("mailto:someone@example.org")));
    EXPECT_FALSE(open(QUrl::fromLocalFile(folder)));
  }
  // A folder is handed over as its path, whole.
  EXPECT_EQ(QString::fromUtf8(test::FileBytes(asked)),
            "mailto:someone@example.org\n" + folder + "\n");
  // With no opener at all the toolkit is asked; the offscreen platform has nothing to open with.
  const test::TSearchPath nowhere(env.Folder("empty"));
  EXPECT_FALSE(open(QUrl("https://example.org/")));
}

TEST(Services, MessageBoxesGoToTheLogWithoutAScreen) {
  test::TTempEnvironment env;
  const QString log = env.Path() + "/messages.log";
  qputenv("KESTREL_MESSAGE_LOG", QFile::encodeName(log));
  ShowMessage("Does Not Exist\r/x", "Kestrel!: Load File", TMsgIcon::Information);
  const bool answer = AskYesNo("Discard?", "Image Modified", TMsgIcon::Warning);
  qunsetenv("KESTREL_MESSAGE_LOG");
  EXPECT_FALSE(answer);
  EXPECT_EQ(test::FileBytes(log),
            "Kestrel!: Load File\tDoes Not Exist\\r/x\nImage Modified\tDiscard?\n");

  std::vector<TMessageRequest> seen;
  SetMessageHandler([&](const TMessageRequest& request) {
    seen.push_back(request);
    return TMsgResult::Yes;
  });
  EXPECT_TRUE(AskYesNo("Q", "C", TMsgIcon::Question));
  SetMessageHandler({});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Buttons, TMsgButtons::YesNo);
}

} // namespace
} // namespace kestrel
