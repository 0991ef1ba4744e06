// kestrel-tool thumbs: a folder's pictures as tiles through the gallery's worker; files without a
// picture are skipped, damaged ones named, and nothing is written for them.

#include "ToolRun.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Picture.h"
#include "support/TempEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace kestrel {
namespace {

class ThumbsTool : public ::testing::Test {
protected:
  void SetUp() override {
    for (const auto& [name, width, height] :
         {std::tuple{"a.bmp", 300, 200}, {"b.bmp", 20, 90}, {"c.bmp", 1, 400}}) {
      TBitmap bitmap(width, height, pf24bit);
      bitmap.Canvas().Brush.Color = 0x2060A0;
      bitmap.Canvas().FillRect({0, 0, width, height});
      bitmap.SaveToFile(In(name));
    }
    test::WriteFile(QString::fromStdString(In("damaged.jpg")), "\xFF\xD8 not really");
    test::WriteFile(QString::fromStdString(In("ring.wav")), "RIFF");
    test::WriteFile(QString::fromStdString(In("notes.txt")), "not a picture");
  }
  std::string In(const std::string& name) const {
    return Pictures.filePath(name.c_str()).toStdString();
  }
  std::string Out(const std::string& name) const {
    return Output.filePath(name.c_str()).toStdString();
  }
  QTemporaryDir Pictures, Output;
};

TEST_F(ThumbsTool, WritesOneSquareTilePerPictureAndNamesTheDamagedOnes) {
  const test::ToolRun run = test::Tool(
      {"thumbs", Pictures.path().toStdString(), Output.path().toStdString(), "--size", "64"});
  EXPECT_EQ(run.Code, kExitFailed);
  EXPECT_NE(run.Err.find("damaged.jpg: ERROR:22"), std::string::npos) << run.Err;
  EXPECT_NE(run.Out.find("3 thumbnails written"), std::string::npos) << run.Out;
  EXPECT_EQ(QDir(Output.path()).entryList(QDir::Files),
            (QStringList{"ta.png", "tb.png", "tc.png"}));
  for (const char* name : {"ta.png", "tb.png", "tc.png"}) {
    TPicture tile;
    tile.LoadFromFile(Out(name));
    EXPECT_EQ(tile.Width(), 64) << name;
    EXPECT_EQ(tile.Height(), 64) << name;
  }
}

TEST_F(ThumbsTool, HiFiTilesInAnotherFormat) {
  QFile::remove(QString::fromStdString(In("damaged.jpg")));
  const test::ToolRun run =
      test::Tool({"thumbs", Pictures.path().toStdString(), Output.path().toStdString(), "--hifi",
                  "--format", "jpg", "--quality", "90", "--threads", "1"});
  EXPECT_EQ(run.Code, kExitOk) << run.Err;
  EXPECT_EQ(QDir(Output.path()).entryList(QDir::Files),
            (QStringList{"ta.jpg", "tb.jpg", "tc.jpg"}));
  TPicture tile;
  tile.LoadFromFile(Out("ta.jpg"));
  EXPECT_EQ(tile.Width(), 80);
}

TEST_F(ThumbsTool, RefusesBadOptionsAndMissingFolders) {
  const std::string in = Pictures.path().toStdString(), out = Output.path().toStdString();
  EXPECT_EQ(test::Tool({"thumbs", in, out, "--size", "0"}).Code, kExitUsage);
  EXPECT_EQ(test::Tool({"thumbs", in, out, "--format", "wmf"}).Code, kExitUsage);
  EXPECT_EQ(test::Tool({"thumbs", in, out, "--quality", "80"}).Code, kExitUsage); // png output
  EXPECT_EQ(test::Tool({"convert", In("a.bmp"), Out("x.png"), "--hifi"}).Code, kExitUsage);
  EXPECT_EQ(test::Tool({"thumbs", in + "/missing", out}).Code, kExitFailed);
  EXPECT_TRUE(QDir(Output.path()).isEmpty());
}

} // namespace
} // namespace kestrel
