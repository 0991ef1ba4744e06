// kestrel-tool find: the find window's search from the command line.

#include "ToolRun.h"
#include "support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace kestrel {
namespace {

class ToolFind : public ::testing::Test {
protected:
  void Write(const QString& relative, qint64 size) {
    ASSERT_TRUE(test::WriteSizedFile(Root + "/" + relative, size)) << relative.toStdString();
  }
  std::string Line(const QString& relative, qint64 size) const {
    return (Root + "/" + relative).toStdString() + "\t" + std::to_string(size) + "\n";
  }
  std::string Find(std::vector<std::string> options, int code = kExitOk) {
    options.insert(options.begin(), "find");
    const test::ToolRun run = test::Tool(options);
    EXPECT_EQ(run.Code, code) << run.Err;
    return run.Out;
  }

  QTemporaryDir Dir;
  QString Root = Dir.path();
  std::string R = Root.toStdString();
};

TEST_F(ToolFind, PrintsEachHitWithItsSizeInTheWindowsOrder) {
  Write("a/IMG_1.JPG", 3000);
  Write("b/img_2.jpg", 1000);
  Write("b/IMG_1.JPG", 3000);
  Write("c/notes.txt", 3000);
  EXPECT_EQ(Find({R + "/b", "img_2"}), Line("b/img_2.jpg", 1000));
  EXPECT_EQ(Find({R, "IMG", "--min-kb", "2"}).size(),
            Line("a/IMG_1.JPG", 3000).size() + Line("b/IMG_1.JPG", 3000).size());
  EXPECT_EQ(Find({R, "*", "--exact-size", "1000"}), Line("b/img_2.jpg", 1000));
  EXPECT_EQ(Find({R, "*.jpg", "--name-duplicates"}),
            Line("a/IMG_1.JPG", 3000) + Line("b/IMG_1.JPG", 3000));
  EXPECT_EQ(Find({R, "*", "--size-duplicates"}),
            Line("a/IMG_1.JPG", 3000) + Line("b/IMG_1.JPG", 3000) + Line("c/notes.txt", 3000));
  EXPECT_EQ(Find({R, "b", "--folders"}), Line("b", 4000));
  EXPECT_EQ(Find({R, "*.txt", "--containing"}), Line("c", 3000));
}

TEST_F(ToolFind, NamesThatAreNotUtf8ComeOutAsTheyAre) {
  const std::string name = "caf\xE9.jpg";
  const int file = ::open((R + "/" + name).c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(file, 0);
  ::close(file);
  EXPECT_EQ(Find({R, "caf?.jpg"}), R + "/" + name + "\t0\n");
  EXPECT_EQ(Find({R, ""}), R + "/" + name + "\t0\n"); // an empty pattern matches every name
  ::unlink((R + "/" + name).c_str());                 // a name the temporary folder cannot remove
}

TEST_F(ToolFind, RefusesWhatItCannotDo) {
  for (const auto& options :
       std::vector<std::vector<std::string>>{{R},
                                             {R, "*", "--min-kb", "x"},
                                             {R, "*", "--min-kb", "5", "--max-kb", "4"},
                                             {R, "*", "--exact-size", "5", "--max-kb", "4"},
                                             {R, "*", "--folders", "--min-kb", "1"},
                                             {R, "*", "--name-duplicates", "--size-duplicates"}})
    Find(options, kExitUsage);
  EXPECT_EQ(test::Tool({"info", "x.bmp", "--folders"}).Code, kExitUsage);
  const test::ToolRun missing = test::Tool({"find", R + "/missing", "*"});
  EXPECT_EQ(missing.Code, kExitFailed);
  EXPECT_NE(missing.Err.find("cannot search"), std::string::npos);
}

} // namespace
} // namespace kestrel
