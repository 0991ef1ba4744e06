// kestrel-tool index: a page of pictures through the Picture Index Maker's engine, written as
// convert writes or printed into a PDF file; damaged inputs are reported and the page completes.

#include "ToolRun.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Picture.h"
#include "support/TempEnvironment.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel {
namespace {

class IndexTool : public ::testing::Test {
protected:
  void SetUp() override {
    QFile::setPermissions(Dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    for (int i = 1; i <= 4; ++i) {
      TBitmap bitmap(300, 200, pf24bit);
      bitmap.Canvas().Brush.Color = 0x2060A0;
      bitmap.Canvas().FillRect({0, 0, 300, 200});
      Files.push_back(Path(QString("p%1.bmp").arg(i)));
      bitmap.SaveToFile(Files.back());
    }
    test::WriteFile(QString::fromStdString(Path("damaged.jpg")), "\xFF\xD8 not really");
    Files.push_back(Path("damaged.jpg"));
  }
  std::string Path(const QString& name) const { return Dir.filePath(name).toStdString(); }
  int Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunTool(args, out, err);
    Out = out.str();
    Err = err.str();
    return code;
  }
  std::vector<std::string> Index(const std::string& output, std::vector<std::string> options) {
    std::vector<std::string> args{"index", output};
    args.insert(args.end(), Files.begin(), Files.end());
    args.insert(args.end(), options.begin(), options.end());
    return args;
  }

  QTemporaryDir Dir;
  std::vector<std::string> Files;
  std::string Out, Err;
};

TEST_F(IndexTool, WritesThePageAndNamesThePicturesThatGaveNone) {
  const std::string page = Path("page.png");
  ASSERT_EQ(Run(Index(page, {"--cols", "3", "--rows", "2", "--captions", "--border", "-2",
                             "--title", "Trip"})),
            kExitOk)
      << Err;
  EXPECT_NE(Out.find("page: 800 x 600, 3 x 2 cells"), std::string::npos) << Out;
  EXPECT_NE(Out.find("pictures: 5 of 5"), std::string::npos) << Out;
  EXPECT_NE(Err.find("damaged.jpg: no picture"), std::string::npos) << Err;
  TPicture written;
  written.LoadFromFile(page);
  EXPECT_EQ(written.Width(), 800);
  EXPECT_EQ(written.Height(), 600);
}

TEST_F(IndexTool, ProposesAGridAndPrintsIntoAPdf) {
  const std::string pdf = Path("page.pdf");
  ASSERT_EQ(Run(Index(pdf, {"--page", "600x800"})), kExitOk) << Err;
  EXPECT_NE(Out.find("page: 600 x 800, 2 x 3 cells"), std::string::npos) << Out;
  EXPECT_TRUE(test::FileBytes(QString::fromStdString(pdf)).startsWith("%PDF"));
}

TEST_F(IndexTool, RefusesBadOptionsAndPagesWithoutRoomForThePictures) {
  EXPECT_EQ(Run(Index(Path("a.png"), {"--page", "50x50"})), kExitUsage);
  EXPECT_EQ(Run(Index(Path("a.png"), {"--border", "21"})), kExitUsage);
  EXPECT_EQ(Run(Index(Path("a.png"), {"--cols", "0"})), kExitUsage);
  EXPECT_EQ(Run({"index", Path("a.png")}), kExitUsage);
  EXPECT_EQ(Run({"convert", Files[0], Path("b.png"), "--captions"}), kExitUsage);
  EXPECT_EQ(Run(Index(Path("a.png"), {"--page", "100x100", "--cols", "40"})), kExitFailed);
  EXPECT_NE(Err.find("the pictures do not fit"), std::string::npos) << Err;
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("a.png"))));
}

TEST_F(IndexTool, AnUnwritableFolderGivesAClearMessageAndNoFile) {
  if (test::RerunUnprivileged()) return;
  QDir(Dir.path()).mkdir("locked");
  QFile::setPermissions(Dir.filePath("locked"),
                        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
  const std::string page = Path("locked/page.jpg");
  EXPECT_EQ(Run(Index(page, {})), kExitFailed);
  EXPECT_NE(Err.find("kestrel-tool: "), std::string::npos);
  EXPECT_GT(Err.size(), std::string("kestrel-tool: \n").size()) << Err;
  EXPECT_TRUE(QDir(Dir.filePath("locked")).isEmpty());
}

} // namespace
} // namespace kestrel
