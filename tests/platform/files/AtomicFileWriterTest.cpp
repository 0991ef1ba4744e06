#include "platform/files/AtomicFileWriter.h"

#include "support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kestrel {
namespace {

std::string Native(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

void WriteWhole(const QString& path, const std::string& text) {
  TAtomicFileWriter file(Native(path));
  ASSERT_TRUE(file.Write(text.data(), text.size()));
  file.Commit();
}

struct stat Status(const QString& path) {
  struct stat status {};
  ::lstat(Native(path).c_str(), &status);
  return status;
}

// The refusal's text, or "" when the writer took the path.
std::string Refusal(const QString& path) {
  try {
    WriteWhole(path, "new");
  } catch (const EFileWriteError& error) {
    return error.what();
  }
  return "";
}

class AtomicFileWriter : public ::testing::Test {
protected:
  QString Path(const QString& name) const { return Folder + "/" + name; }
  // name and a link "<name>.link" to it.
  void ExpectRefusedAndUntouched(const QString& name, const std::string& kind) {
    QFile::link(Path(name), Path(name + ".link"));
    const mode_t before = Status(Path(name)).st_mode;
    for (const QString& given : {Path(name), Path(name + ".link")}) {
      const std::string refusal = Refusal(given);
      EXPECT_NE(refusal.find("is " + kind + ", not a regular file"), std::string::npos)
          << given.toStdString() << ": " << refusal;
    }
    EXPECT_EQ(Status(Path(name)).st_mode, before) << name.toStdString();
    EXPECT_TRUE(S_ISLNK(Status(Path(name + ".link")).st_mode));
    EXPECT_EQ(Temporaries(), 0);
  }
  int Temporaries() const {
    const QRegularExpression temporary(R"(\.txt\.[A-Za-z0-9]{6}$)");
    return int(QDir(Folder).entryList(QDir::AllEntries | QDir::System).filter(temporary).size());
  }

  test::TTempEnvironment Env;
  QString Folder = Env.Folder("out");
};

TEST_F(AtomicFileWriter, RefusesFoldersPipesAndSocketsAndLeavesThemAsTheyAre) {
  QDir(Folder).mkdir("folder.txt");
  ASSERT_EQ(::mkfifo(Native(Path("pipe.txt")).c_str(), 0644), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = Native(Path("socket.txt"));
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  ExpectRefusedAndUntouched("folder.txt", "a folder");
  ExpectRefusedAndUntouched("pipe.txt", "a named pipe");
  ExpectRefusedAndUntouched("socket.txt", "a socket");
  ::close(sock);
}

TEST_F(AtomicFileWriter, ReplacesWhatALinkNamesKeepingTheLinkModeOwnerAndGroup) {
  test::WriteFile(Path("real.txt"), "old");
  ASSERT_TRUE(QFile::link("real.txt", Path("link.txt"))); // relative, as links often are
  ::chmod(Native(Path("real.txt")).c_str(), 0640);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(Native(Path("real.txt")).c_str(), 65534, 65534), 0);
  }
  // A second name of the same file keeps the old content: the written name gets a file of its
  // own.
  ASSERT_EQ(::link(Native(Path("real.txt")).c_str(), Native(Path("hard.txt")).c_str()), 0);

  WriteWhole(Path("link.txt"), "new");
  EXPECT_TRUE(S_ISLNK(Status(Path("link.txt")).st_mode));
  EXPECT_EQ(test::FileBytes(Path("real.txt")), "new");
  EXPECT_EQ(test::FileBytes(Path("hard.txt")), "old");
  const struct stat written = Status(Path("real.txt"));
  EXPECT_EQ(written.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(written.st_uid, 65534u);
    EXPECT_EQ(written.st_gid, 65534u);
  }
  EXPECT_EQ(Temporaries(), 0);
}

TEST_F(AtomicFileWriter, ATargetThatBecomesAPipeBeforeTheRenameIsNotReplaced) {
  test::WriteFile(Path("target.txt"), "old");
  {
    TAtomicFileWriter file(Native(Path("target.txt")));
    ASSERT_TRUE(file.Write("new", 3));
    QFile::remove(Path("target.txt"));
    ASSERT_EQ(::mkfifo(Native(Path("target.txt")).c_str(), 0644), 0);
    EXPECT_THROW(file.Commit(), EFileWriteError);
  }
  EXPECT_TRUE(S_ISFIFO(Status(Path("target.txt")).st_mode));
  EXPECT_EQ(Temporaries(), 0); // the new file went with the writer
}

} // namespace
} // namespace kestrel
