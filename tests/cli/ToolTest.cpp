// kestrel-tool: exit codes and messages of its commands, and conversions that another program
// reads back with the same pixels.

#include "IndependentReader.h"

#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel {
namespace {

std::string Suite(const std::string& name) {
  return std::string(KESTREL_TEST_DATA) + "/bmpsuite/" + name;
}

struct ToolRun {
  int code;
  std::string out, err;
};

ToolRun Tool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunTool(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(Tool, UsageErrorsExitWithTwo) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"info"}, {"convert", "a.bmp"}, {"frobnicate", "a.bmp"}, {"info", "a", "b"}}) {
    const ToolRun r = Tool(args);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err.rfind("usage: kestrel-tool", 0), 0u);
    EXPECT_EQ(r.out, "");
  }
}

TEST(Tool, InfoReportsTheHeader) {
  const ToolRun r = Tool({"info", Suite("g/pal8.bmp")});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, "format: bmp (Bitmaps)\n"
                   "width: 127\n"
                   "height: 64\n"
                   "bits per pixel: 8\n"
                   "palette entries: 252\n"
                   "frames: 1\n");
  EXPECT_EQ(r.err, "");
  const ToolRun rgb = Tool({"info", Suite("g/rgb16-565.bmp")});
  EXPECT_NE(rgb.out.find("bits per pixel: 16\npalette entries: 0\n"), std::string::npos);
}

TEST(Tool, FailuresExitWithOneAndTheReadersMessage) {
  QTemporaryDir dir;
  const ToolRun missing = Tool({"info", dir.filePath("none.bmp").toStdString()});
  EXPECT_EQ(missing.code, kExitFailed);
  EXPECT_EQ(missing.err.rfind("kestrel-tool: Cannot open file", 0), 0u) << missing.err;
  const ToolRun unknown = Tool({"info", dir.filePath("note.xyz").toStdString()});
  EXPECT_EQ(unknown.err, "kestrel-tool: Unknown picture file extension (.xyz)\n");
  const std::string output = dir.filePath("out.bmp").toStdString();
  const ToolRun bad = Tool({"convert", Suite("b/badrle.bmp"), output});
  EXPECT_EQ(bad.code, kExitFailed);
  EXPECT_EQ(bad.err, "kestrel-tool: Invalid run-length data: a run leaves the picture\n");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(output)));
  const ToolRun noWriter =
      Tool({"convert", Suite("g/pal8.bmp"), dir.filePath("out.qqq").toStdString()});
  EXPECT_EQ(noWriter.code, kExitFailed);
  EXPECT_EQ(noWriter.err, "kestrel-tool: Format not Supported\n");
}

// Every good file of the suite goes through the real program; an independent reader (Pillow)
// reads each result back, and its pixels must be ours (15/16-bit channels may be widened by one
// level differently).
TEST(Tool, ConvertedFilesReadTheSameInAnotherProgram) {
  QTemporaryDir dir;
  QStringList outputs;
  std::vector<std::unique_ptr<TBitmap>> originals;
  for (const QString& name : QDir(QString::fromStdString(Suite("g"))).entryList({"*.bmp"})) {
    const QString output = dir.filePath(name);
    QProcess tool;
    tool.start(KESTREL_TOOL,
               {"convert", QString::fromStdString(Suite("g/" + name.toStdString())), output});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << name.toStdString()
                                  << tool.readAllStandardError().toStdString();
    outputs << output;
    originals.push_back(std::make_unique<TBitmap>());
    originals.back()->LoadFromFile(Suite("g/" + name.toStdString()));
  }
  std::string error;
  const auto pixels = test::ReadWithPillow(outputs, &error);
  if (!pixels) GTEST_SKIP() << "no independent reader: " << error;
  for (int i = 0; i < outputs.size(); ++i) {
    SCOPED_TRACE(outputs[i].toStdString());
    const QByteArray& rgb = (*pixels)[static_cast<size_t>(i)];
    const TBitmap& original = *originals[static_cast<size_t>(i)];
    ASSERT_EQ(rgb.size(), 3 * original.Width() * original.Height());
    const int tolerance = original.BitsPerPixel() == 15 || original.BitsPerPixel() == 16 ? 1 : 0;
    int worst = 0;
    for (int y = 0; y < original.Height(); ++y)
      for (int x = 0; x < original.Width(); ++x) {
        const TPixelColor c = original.PixelColor(x, y);
        const auto* p = reinterpret_cast<const uint8_t*>(rgb.constData()) +
                        3 * (static_cast<size_t>(y) * original.Width() + x);
        worst = std::max({worst, std::abs(p[0] - int(c >> 16 & 0xFF)),
                          std::abs(p[1] - int(c >> 8 & 0xFF)), std::abs(p[2] - int(c & 0xFF))});
      }
    EXPECT_LE(worst, tolerance);
  }
}

TEST(Tool, TheProgramReportsUsageAndFailuresByExitCode) {
  QProcess usage;
  usage.start(KESTREL_TOOL, {});
  ASSERT_TRUE(usage.waitForFinished(30000));
  EXPECT_EQ(usage.exitCode(), kExitUsage);
  QProcess bad;
  bad.start(KESTREL_TOOL, {"info", QString::fromStdString(Suite("b/badbitcount.bmp"))});
  ASSERT_TRUE(bad.waitForFinished(30000));
  EXPECT_EQ(bad.exitCode(), kExitFailed);
  EXPECT_EQ(bad.readAllStandardError().toStdString(), "kestrel-tool: Invalid bit count (30000)\n");
}

} // namespace
} // namespace kestrel
