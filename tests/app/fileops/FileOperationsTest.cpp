// The file operations engine as other windows use it: lists of paths, one question per failure,
// work off the UI thread that the user can stop.

#include "app/fileops/FileOperations.h"
#include "app/fileops/OperationWorker.h"
#include "platform/files/Trash.h"

#include "support/TempEnvironment.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kestrel {
namespace {

using test::FileBytes;
using test::WriteFile;

class FileOperations : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestApplication();
    From = Env.Folder("from");
    To = Env.Folder("to");
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg"})
      WriteFile(From + "/" + name, name);
  }
  QStringList Sources() const { return {From + "/1.jpg", From + "/2.jpg", From + "/3.jpg"}; }

  test::TTempEnvironment Env;
  QString From, To;
};

TEST_F(FileOperations, EachFailureAsksOnceAndAVanishedSourceIsOnlyThat) {
  WriteFile(To + "/2.jpg", "taken");
  TFileOperations operations;
  std::vector<TFileFailure> failures;
  operations.AskToContinue = [&](const TFileFailure& failure) {
    failures.push_back(failure);
    QFile::remove(From + "/3.jpg"); // gone before its turn comes
    return true;
  };
  const TOperationResult copied = operations.Copy(Sources(), To);
  EXPECT_EQ(copied.Done, QStringList({From + "/1.jpg"}));
  EXPECT_EQ(copied.Targets, QStringList({To + "/1.jpg"}));
  EXPECT_EQ(copied.Failed, QStringList({From + "/2.jpg", From + "/3.jpg"}));
  EXPECT_FALSE(copied.Stopped);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0].Error, EEXIST);
  EXPECT_EQ(failures[1].Error, ENOENT);
  EXPECT_EQ(FileBytes(To + "/2.jpg"), "taken");
  EXPECT_EQ(QDir(To).entryList(QDir::Files | QDir::Hidden), QStringList({"1.jpg", "2.jpg"}));
  // The questions the user would have seen.
  EXPECT_EQ(CopyMoveQuestion("3.jpg", ENOENT).Caption, "Kestrel!: Copy/Move Error 2");
  EXPECT_TRUE(CopyMoveQuestion("3.jpg", ENOENT)
                  .Text.startsWith("There Was an error trying to Copy 3.jpg\r"));
  EXPECT_TRUE(TrashQuestion("x.jpg", kNoTrash).Text.contains("the file is kept"));
}

TEST_F(FileOperations, NamesAShellWouldTripOverAreOnlyNamesAndUnreadableOnesAreKept) {
  const QString odd = From + "/-n\n\"quoted\" 'x'.jpg";
  WriteFile(odd, "odd");
  // A name that is not UTF-8 reaches the program with its bad byte replaced, and cannot be found
  // under that name again: it is reported and stays where it is.
  const QByteArray raw = QFile::encodeName(From) + "/bad\xff.jpg";
  const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0);
  ::close(fd);
  const QString listed = QFile::decodeName(raw); // as the file list reads it
  ASSERT_TRUE(listed.contains(QChar::ReplacementCharacter));
  TFileOperations operations;
  std::vector<int> errors;
  operations.AskToContinue = [&](const TFileFailure& failure) {
    errors.push_back(failure.Error);
    return true;
  };
  const TOperationResult copied = operations.Copy({odd, listed}, To);
  EXPECT_EQ(copied.Done, QStringList({odd}));
  EXPECT_EQ(FileBytes(To + "/-n\n\"quoted\" 'x'.jpg"), "odd");
  const TOperationResult moved = operations.Move({listed, odd}, Env.Folder("moved"));
  EXPECT_EQ(moved.Done, QStringList({odd}));
  EXPECT_EQ(operations.Trash({listed}).Failed, QStringList({listed}));
  EXPECT_EQ(errors, std::vector<int>({EILSEQ, EILSEQ, EILSEQ}));
  EXPECT_TRUE(CopyMoveQuestion("bad.jpg", EILSEQ).Text.contains("not valid text"));
  struct stat status;
  EXPECT_EQ(::stat(raw.constData(), &status), 0);
}

TEST_F(FileOperations, TrashingTakesWhatItCanAndNoStops) {
  TFileOperations operations;
  int asked = 0;
  operations.AskToContinue = [&](const TFileFailure& failure) {
    ++asked;
    EXPECT_EQ(failure.Action, TFileAction::Trash);
    return false;
  };
  const QStringList paths = {From + "/1.jpg", From + "/missing.jpg", From + "/3.jpg"};
  const TOperationResult trashed = operations.Trash(paths);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(trashed.Stopped);
  EXPECT_EQ(trashed.Done, QStringList({From + "/1.jpg"}));
  EXPECT_EQ(trashed.Targets, QStringList({Env.DataHome() + "/Trash/files/1.jpg"}));
  EXPECT_EQ(FileBytes(trashed.Targets.first()), "1.jpg");
  EXPECT_EQ(QDir(From).entryList(QDir::Files), QStringList({"2.jpg", "3.jpg"}));
}

TEST_F(FileOperations, TheUIThreadKeepsRunningAndTheProgressWindowStopsTheWork) {
  QWidget window;
  TOperationWorker worker(&window, "Kestrel!: Copy File", 0);
  bool cancelled = false;
  // Once the progress window tells of the second step, the user cancels.
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    auto* progress = window.findChild<QProgressDialog*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->windowTitle(), "Kestrel!: Copy File");
    if (cancelled || progress->labelText() != "Copying 2") return;
    progress->findChild<QPushButton*>()->click(); // "Cancel"
    cancelled = true;
  });
  user.start(1);
  // The first step fails and is asked about on this thread; the second runs until it is told to
  // stop: only this thread's events can end it. The third never starts.
  std::vector<int> ran;
  std::vector<std::pair<int, int>> failures;
  TOperationSteps steps;
  steps.Count = 3;
  steps.Run = [&](int index, const TCopyControl& control) {
    ran.push_back(index);
    if (index == 0) return EACCES;
    while (!control.Stop->load())
      std::this_thread::yield();
    return ECANCELED;
  };
  steps.Label = [](int index) { return "Copying " + QString::number(index + 1); };
  steps.Failed = [&](int index, int error) {
    failures.emplace_back(index, error);
    return true;
  };
  worker.Run(steps);
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(worker.Stopped());
  EXPECT_EQ(ran, std::vector<int>({0, 1}));
  // The stopped step is no failure to ask about.
  EXPECT_EQ(failures, (std::vector<std::pair<int, int>>{{0, EACCES}}));
}

} // namespace
} // namespace kestrel
