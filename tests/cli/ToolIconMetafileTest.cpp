// kestrel-tool with icons and metafiles: the images of an icon listed, icons written from other
// pictures, metafiles drawn into bitmaps and converted between their flavours.

#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Stream.h"
#include "imaging/icon/Icon.h"
#include "imaging/metafile/Metafile.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel {
namespace {

// Drawing metafile text here, as the tool does, needs fonts and so a GUI application.
class GuiApplication : public ::testing::Environment {
public:
  void SetUp() override {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "kestrel_cli_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

private:
  std::unique_ptr<QGuiApplication> app_;
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new GuiApplication);

std::string Data(const std::string& name) {
  return std::string(KESTREL_TEST_DATA) + "/" + name;
}

struct ProgramRun {
  int code;
  std::string out, err;
};

// The built program, as a user runs it.
ProgramRun Program(const QStringList& args) {
  QProcess tool;
  tool.start(KESTREL_TOOL, args);
  tool.waitForFinished(30000);
  return {tool.exitCode(), tool.readAllStandardOutput().toStdString(),
          tool.readAllStandardError().toStdString()};
}

TEST(ToolPictures, InfoListsEveryImageOfAnIcon) {
  std::ostringstream out, err;
  ASSERT_EQ(RunTool({"info", Data("icon/depths.ico")}, out, err), kExitOk) << err.str();
  EXPECT_EQ(out.str(), "format: ico (Icons)\n"
                       "width: 32\n"
                       "height: 32\n"
                       "bits per pixel: 32\n"
                       "palette entries: 0\n"
                       "frames: 5\n"
                       "image 1: 32 x 32, 1 bits\n"
                       "image 2: 32 x 32, 4 bits\n"
                       "image 3: 32 x 32, 32 bits (shown)\n"
                       "image 4: 32 x 32, 8 bits\n"
                       "image 5: 32 x 32, 24 bits\n");
}

TEST(ToolPictures, IconsBecomeBitmapsOnWhiteAndBitmapsBecomeIcons) {
  QTemporaryDir dir;
  const QString bmp = dir.filePath("multi.bmp"), ico = dir.filePath("back.ico");
  const ProgramRun toBitmap =
      Program({"convert", QString::fromStdString(Data("icon/multi.ico")), bmp});
  ASSERT_EQ(toBitmap.code, 0) << toBitmap.err;
  EXPECT_EQ(toBitmap.err, "");
  // The reference decoding of another program, on white.
  const QImage reference(QString::fromStdString(Data("icon/multi.png")));
  TBitmap bitmap;
  bitmap.LoadFromFile(bmp.toStdString());
  ASSERT_EQ(bitmap.Width(), reference.width());
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const QRgb p = reference.pixel(x, y);
      ASSERT_EQ(bitmap.PixelColor(x, y), qAlpha(p) ? p & 0xFFFFFF : 0xFFFFFFu) << x << "," << y;
    }
  // A picture larger than an icon becomes an opaque icon of 32 x 32 with the whole picture
  // squeezed into it: its corners are the picture's corners.
  ASSERT_GT(bitmap.Width(), 32);
  const ProgramRun toIcon = Program({"convert", bmp, ico});
  ASSERT_EQ(toIcon.code, 0) << toIcon.err;
  TIcon icon;
  icon.LoadFromFile(ico.toStdString());
  ASSERT_EQ(icon.Width(), 32);
  ASSERT_EQ(icon.Height(), 32);
  const int right = bitmap.Width() - 1, bottom = bitmap.Height() - 1;
  const std::pair<TPoint, TPoint> corners[] = {
      {{0, 0}, {0, 0}}, {{31, 0}, {right, 0}}, {{0, 31}, {0, bottom}}, {{31, 31}, {right, bottom}}};
  for (const auto& [at, from] : corners)
    EXPECT_EQ(icon.Image().pixel(at.X, at.Y), 0xFF000000u | bitmap.PixelColor(from.X, from.Y))
        << at.X << "," << at.Y;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(qAlpha(icon.Image().pixel(x, y)), 255);
}

TEST(ToolPictures, MetafilesAreDrawnIntoBitmapsAndConvertedBetweenFlavours) {
  QTemporaryDir dir;
  for (const char* name : {"rich.wmf", "rich.emf"}) {
    const QString bmp = dir.filePath(QString(name) + ".bmp");
    const ProgramRun run =
        Program({"convert", QString::fromStdString(Data(std::string("metafile/") + name)), bmp});
    ASSERT_EQ(run.code, 0) << run.err;
    TMetafile metafile;
    metafile.LoadFromFile(Data(std::string("metafile/") + name));
    TBitmap drawn(metafile.Width(), metafile.Height(), pf24bit);
    drawn.Canvas().Draw(0, 0, metafile);
    TBitmap written;
    written.LoadFromFile(bmp.toStdString());
    ASSERT_EQ(written.Width(), drawn.Width());
    int differ = 0;
    for (int y = 0; y < drawn.Height(); ++y)
      for (int x = 0; x < drawn.Width(); ++x)
        differ += written.PixelColor(x, y) != drawn.PixelColor(x, y);
    EXPECT_EQ(differ, 0) << name;
    EXPECT_GT(drawn.Width(), 10);
  }
  const QString emf = dir.filePath("rich.emf");
  ASSERT_EQ(Program({"convert", QString::fromStdString(Data("metafile/rich.wmf")), emf}).code, 0);
  const ProgramRun info = Program({"info", emf});
  EXPECT_EQ(info.out.rfind("format: emf (Enhanced Metafiles)\n", 0), 0u) << info.out;
  TMetafile converted;
  converted.LoadFromFile(emf.toStdString());
  EXPECT_TRUE(converted.Enhanced());

  const QString wmf = dir.filePath("paths.wmf");
  const ProgramRun refused =
      Program({"convert", QString::fromStdString(Data("metafile/paths.emf")), wmf});
  EXPECT_EQ(refused.code, kExitFailed);
  EXPECT_EQ(
      refused.err,
      "kestrel-tool: Cannot convert the metafile: record type 35 has no plain metafile form\n");
  EXPECT_FALSE(QFile::exists(wmf));
}

} // namespace
} // namespace kestrel
