// kestrel-tool frames: the composed frames and waits it writes, and its frames of animations that
// ImageMagick, gifsicle and Pillow made, against the frames those programs coalesce themselves.

#include "cli/ToolCommands.h"

#include "imaging/core/Stream.h"

#include "../imaging/gif/AnimationFiles.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace kestrel {
namespace {

using giftest::AnimColor;
using giftest::Solid;

const QString kMagick = "/usr/bin/convert";
const QString kGifsicle = "/usr/bin/gifsicle";
const QString kPython = "/usr/bin/python3";

int Tool(const std::vector<std::string>& args, std::string* err = nullptr) {
  std::ostringstream out, errors;
  const int code = RunTool(args, out, errors);
  if (err) *err = errors.str();
  return code;
}

std::string Text(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
}

// Runs a program in folder; its error output when it fails.
std::string RunProgram(const QString& program, const QStringList& args, const QString& folder) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.start(program, args);
  if (!process.waitForFinished(60000)) return program.toStdString() + " did not finish";
  if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return {};
  return (program + ": " + process.readAllStandardError()).toStdString();
}

// The colours of an image, row by row, with its size first.
std::vector<QRgb> Pixels(const QImage& image) {
  std::vector<QRgb> all{QRgb(image.width()), QRgb(image.height())};
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      all.push_back(rgb.pixel(x, y) & 0xFFFFFF);
  return all;
}

// "#rrggbb" of the background index in a GIF's global table.
QString BackgroundOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "black";
  const QByteArray bytes = file.readAll();
  if (bytes.size() < 13 || !(uint8_t(bytes[10]) & 0x80)) return "black";
  const int at = 13 + 3 * uint8_t(bytes[11]);
  return QString::asprintf("#%02x%02x%02x", uint8_t(bytes[at]), uint8_t(bytes[at + 1]),
                           uint8_t(bytes[at + 2]));
}

// Pillow's frames: each frame after seek, converted to RGB.
const char* kPillowFrames = R"(
import sys
from PIL import Image
im = Image.open(sys.argv[1])
for i in range(im.n_frames):
    im.seek(i)
    im.convert('RGB').save('%s-%03d.ppm' % (sys.argv[2], i))
)";

// Two animations written by Pillow: every disposal, and frames kept.
const char* kPillowMakes = R"(
from PIL import Image, ImageDraw
frames = []
for i in range(4):
    im = Image.new('RGB', (30, 20), (20, 40, 60))
    d = ImageDraw.Draw(im)
    d.rectangle([2 + 6 * i, 3, 8 + 6 * i, 12], fill=(250, 200, 0))
    d.point((i, 19), fill=(255, 0, 0))
    frames.append(im)
frames[0].save('pil-disposal.gif', save_all=True, append_images=frames[1:],
               duration=[40, 80, 0, 120], loop=0, disposal=[1, 2, 3, 1])
frames[0].save('pil-keep.gif', save_all=True, append_images=frames[1:], duration=50, loop=1)
)";

// The animations of the other programs, made in folder.
std::string MakeAnimations(const QString& folder) {
  std::string failed = RunProgram(
      kMagick,
      {"-delay",   "10",         "-dispose",       "none",      "-size", "40x30", "xc:navy",
       "-dispose", "background", "-page",          "40x30+5+5", "-size", "10x10", "xc:yellow",
       "-dispose", "previous",   "-page",          "+20+10",    "-size", "12x8",  "xc:lime",
       "-dispose", "none",       "-page",          "+8+12",     "-size", "6x6",   "xc:red",
       "-loop",    "0",          "im-disposal.gif"},
      folder);
  failed += RunProgram(kMagick,
                       {"-delay",
                        "7",
                        "-dispose",
                        "none",
                        "-size",
                        "32x24",
                        "pattern:checkerboard",
                        "-colors",
                        "4",
                        "(",
                        "-size",
                        "32x24",
                        "xc:none",
                        "-fill",
                        "red",
                        "-draw",
                        "rectangle 4,4 12,10",
                        ")",
                        "(",
                        "-size",
                        "32x24",
                        "xc:none",
                        "-fill",
                        "blue",
                        "-draw",
                        "circle 20,14 26,14",
                        ")",
                        "-loop",
                        "2",
                        "im-transparent.gif"},
                       folder);
  for (int i = 0; i < 3; ++i)
    failed +=
        RunProgram(kMagick,
                   {"-size", "36x28", "xc:white", "-fill", "black", "-draw",
                    QString("rectangle %1,6 %2,20").arg(4 + i * 8).arg(10 + i * 8), "-fill",
                    "green", "-draw", QString("point 1,%1").arg(i), QString("f%1.gif").arg(i)},
                   folder);
  // gifsicle crops optimised frames to what changed and marks the rest transparent.
  failed += RunProgram(kGifsicle,
                       {"-O2", "--delay", "5", "--loopcount=3", "f0.gif", "f1.gif", "f2.gif", "-o",
                        "gs-optimized.gif"},
                       folder);
  failed += RunProgram(kGifsicle,
                       {"--disposal=background", "--delay", "9", "f0.gif", "--position", "3,4",
                        "f1.gif", "--disposal=previous", "f2.gif", "-o", "gs-disposal.gif"},
                       folder);
  failed += RunProgram(kPython, {"-c", kPillowMakes}, folder);
  return failed;
}

} // namespace

TEST(FramesTool, WritesEachComposedFrameWithTheWaitAfterIt) {
  QTemporaryDir dir;
  const std::string gif = dir.filePath("three.gif").toStdString();
  TMemoryStream(
      giftest::AnimationBytes(
          4, 1, {Solid(0, 0, 4, 1, 0, 0), Solid(1, 0, 1, 1, 1, 1, 2), Solid(2, 0, 1, 1, 2, 5000)}))
      .SaveToFile(gif);
  const std::string out = dir.filePath("out/frames").toStdString();
  ASSERT_EQ(Tool({"frames", gif, out}), kExitOk);
  // Waits in 12 ms units, at least 3, and at most 1000 as a painter inside a drawing call waits.
  EXPECT_EQ(Text(dir.filePath("out/frames/delays.txt")),
            "frame-000.bmp 120\nframe-001.bmp 36\nframe-002.bmp 12000\n");
  const QImage last(dir.filePath("out/frames/frame-002.bmp"));
  EXPECT_EQ(Pixels(last),
            (std::vector<QRgb>{4, 1, AnimColor(0), AnimColor(giftest::kAnimBackground),
                               AnimColor(2), AnimColor(0)}));

  std::string err;
  EXPECT_EQ(Tool({"frames", dir.filePath("none.gif").toStdString(), out}, &err), kExitFailed);
  EXPECT_NE(err, "");
  // A screen too large to compose on is refused, not allocated.
  const std::string huge = dir.filePath("huge.gif").toStdString();
  TMemoryStream(giftest::AnimationBytes(65535, 65535, {Solid(0, 0, 1, 1, 3)})).SaveToFile(huge);
  EXPECT_EQ(Tool({"frames", huge, out}, &err), kExitFailed);
  EXPECT_NE(err, "");
  EXPECT_EQ(Tool({"frames", gif}), kExitUsage);
  EXPECT_EQ(Tool({"frames", gif, out, "--bits", "8"}), kExitUsage);
}

TEST(FramesTool, FramesMatchWhatOtherProgramsCoalesce) {
  for (const QString& program : {kMagick, kGifsicle, kPython})
    if (!QFile::exists(program)) GTEST_SKIP() << program.toStdString() << " is not installed";
  if (!RunProgram(kPython, {"-c", "import PIL"}, ".").empty())
    GTEST_SKIP() << "Pillow is not installed";
  QTemporaryDir dir;
  const QString folder = dir.path();
  ASSERT_EQ(MakeAnimations(folder), "");
  // ImageMagick coalesces into transparent frames where nothing was drawn yet or an area went
  // back to the background: laid on the screen's background colour they are what we compose.
  // Pillow differs in two places: it starts from black, not the background colour, where the
  // first frame leaves the screen uncovered (gs-disposal), and it restores an area to the
  // background index as the disposed frame's own colour table has it (im-disposal). Waits are
  // not compared: both read a delay as hundredths of a second, where we wait in 12 ms units, at
  // least 3 of them.
  const struct {
    const char* Name;
    bool LikePillow;
  } files[] = {{"im-disposal", false}, {"im-transparent", true}, {"gs-optimized", true},
               {"gs-disposal", false}, {"pil-disposal", true},   {"pil-keep", true}};
  for (const auto& f : files) {
    SCOPED_TRACE(f.Name);
    const QString gif = QString(f.Name) + ".gif";
    const QString ours = folder + "/ours-" + f.Name;
    ASSERT_EQ(Tool({"frames", (folder + "/" + gif).toStdString(), ours.toStdString()}), kExitOk);
    ASSERT_EQ(
        RunProgram(kMagick,
                   {gif, "-coalesce", "-background", BackgroundOf(folder + "/" + gif), "-alpha",
                    "remove", "-alpha", "off", QString("magick-%1-%03d.ppm").arg(f.Name)},
                   folder),
        "");
    ASSERT_EQ(RunProgram(kPython, {"-c", kPillowFrames, gif, QString("pillow-") + f.Name}, folder),
              "");
    int frames = 0;
    for (;; ++frames) {
      const QString number = QString::asprintf("%03d", frames);
      const QImage frame(ours + "/frame-" + number + ".bmp");
      const QImage magick(QString("%1/magick-%2-%3.ppm").arg(folder, f.Name, number));
      const QImage pillow(QString("%1/pillow-%2-%3.ppm").arg(folder, f.Name, number));
      EXPECT_EQ(frame.isNull(), magick.isNull()) << frames;
      EXPECT_EQ(frame.isNull(), pillow.isNull()) << frames;
      if (frame.isNull()) break;
      EXPECT_EQ(Pixels(frame), Pixels(magick)) << "frame " << frames;
      if (f.LikePillow) {
        EXPECT_EQ(Pixels(frame), Pixels(pillow)) << "frame " << frames;
      }
    }
    EXPECT_GE(frames, 3);
  }
}

} // namespace kestrel
