// kestrel-tool convert through the save engine: every writer at every depth it takes, read back
// by our readers and by an independent one, the writer options, and writes that fail.

#include "IndependentReader.h"
#include "ToolRun.h"

#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Picture.h"
#include "imaging/png/PngGraphic.h"
#include "imaging/tiff/TiffGraphic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <sstream>

namespace kestrel {
namespace {

using test::Tool;
using test::ToolRun;

// A picture of format with distinct colours in its palette, saved as a BMP.
std::string MakeSource(const QTemporaryDir& dir, TPixelFormat format) {
  TBitmap bitmap;
  const int bits = PixelFormatBits(format);
  TPalette palette;
  if (bits <= 8) {
    palette = TPalette::Black(1 << bits);
    for (int i = 0; i < palette.Count(); ++i)
      palette.SetColor(i, RgbColor(i * 53 % 256, 255 - i * 7 % 256, i * 29 % 256));
    // Several formats store one bit as black and white whatever the palette says.
    if (bits == 1) palette = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  }
  bitmap.NewImage(37, 21, format, palette);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 37; ++x)
      bitmap.Canvas().SetPixel(x, y,
                               bits <= 8 ? palette.Color((x * 7 + y) % palette.Count())
                                         : RgbColor(x * 6, y * 12, (x + y) * 4));
  const std::string path = dir.filePath(QString("source%1.bmp").arg(bits)).toStdString();
  bitmap.SaveToFile(path);
  return path;
}

std::vector<TPixelColor> PixelsOfFile(const std::string& path) {
  TPicture picture;
  picture.LoadFromFile(path);
  TBitmap bitmap;
  bitmap.Assign(picture.Graphic());
  std::vector<TPixelColor> pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      pixels.push_back(bitmap.PixelColor(x, y) & 0xFFFFFF);
  return pixels;
}

struct LosslessCase {
  int SourceBits;
  const char* Extension;
  std::vector<std::string> Options;
};

TEST(ToolSave, LosslessWritersKeepEveryPixelForOurReadersAndAnother) {
  QTemporaryDir dir;
  std::map<int, std::string> sources;
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf24bit})
    sources[PixelFormatBits(format)] = MakeSource(dir, format);
  std::vector<LosslessCase> cases;
  for (int bits : {1, 4, 8, 24}) {
    cases.push_back({bits, "bmp", {}});
    for (const char* compression : {"none", "packbits", "zlib"})
      cases.push_back({bits, "tif", {"--tiff-compression", compression}});
    for (const char* extension : {"pcx", "pcc", "dcx"})
      cases.push_back({bits, extension, {}});
  }
  for (int bits : {1, 4, 8})
    cases.push_back({bits, "gif", {}});
  for (int bits : {4, 8})
    cases.push_back({bits, "png", {"--bits", std::to_string(bits)}});
  cases.push_back({24, "png", {"--png-level", "high"}});
  cases.push_back({4, "bmp", {"--bits", "4", "--palette", "own"}});
  cases.push_back({8, "bmp", {"--bits", "8", "--palette", "own"}});
  cases.push_back({1, "tif", {"--tiff-compression", "g4"}});
  for (int bits : {8, 24})
    for (const char* extension : {"tga", "vst", "afi"})
      cases.push_back({bits, extension, {}});

  // Pillow reads the outputs, except the DCX files of more than one bit per pixel and 4-bit PC
  // Paintbrush files, which it misreads or refuses: ImageMagick reads those (it takes the
  // colours of one-bit PC Paintbrush files from a header palette that such files leave unset).
  QStringList outputs[2];
  std::vector<std::vector<TPixelColor>> expected[2];
  for (size_t i = 0; i < cases.size(); ++i) {
    const LosslessCase& c = cases[i];
    const std::string output =
        dir.filePath(QString("out%1.%2").arg(i).arg(c.Extension)).toStdString();
    std::vector<std::string> args{"convert", sources[c.SourceBits], output};
    args.insert(args.end(), c.Options.begin(), c.Options.end());
    SCOPED_TRACE(std::to_string(c.SourceBits) + " bits to " + output);
    const ToolRun run = Tool(args);
    ASSERT_EQ(run.Code, kExitOk) << run.Err;
    const std::vector<TPixelColor> original = PixelsOfFile(sources[c.SourceBits]);
    EXPECT_EQ(PixelsOfFile(output), original);
    const std::string extension = c.Extension;
    const int reader = (extension == "dcx" && c.SourceBits > 1) ||
                               (c.SourceBits == 4 && (extension == "pcx" || extension == "pcc"))
                           ? 1
                           : 0;
    outputs[reader] << QString::fromStdString(output);
    expected[reader].push_back(original);
  }
  for (int reader = 0; reader < 2; ++reader) {
    std::string error;
    const auto pixels = reader == 0 ? test::ReadWithPillow(outputs[reader], &error)
                                    : test::ReadWithImageMagick(outputs[reader], &error);
    if (!pixels) GTEST_SKIP() << "no independent reader: " << error;
    for (int i = 0; i < outputs[reader].size(); ++i) {
      SCOPED_TRACE(outputs[reader][i].toStdString());
      const QByteArray& rgb = (*pixels)[static_cast<size_t>(i)];
      const std::vector<TPixelColor>& want = expected[reader][static_cast<size_t>(i)];
      ASSERT_EQ(rgb.size(), static_cast<qsizetype>(3 * want.size()));
      const auto* p = reinterpret_cast<const uint8_t*>(rgb.constData());
      for (size_t k = 0; k < want.size(); ++k)
        ASSERT_EQ(TPixelColor(p[3 * k] << 16 | p[3 * k + 1] << 8 | p[3 * k + 2]), want[k]) << k;
    }
  }
}

TEST(ToolSave, LossyWritersStayCloseAndHonourTheirOptions) {
  QTemporaryDir dir;
  const std::string source = MakeSource(dir, pf24bit);
  const std::vector<TPixelColor> original = PixelsOfFile(source);
  const auto closeTo = [&](const std::string& path, int tolerance) {
    const std::vector<TPixelColor> got = PixelsOfFile(path);
    if (got.size() != original.size()) return false;
    long total = 0;
    for (size_t i = 0; i < got.size(); ++i)
      for (int shift : {0, 8, 16})
        total += std::abs(int(got[i] >> shift & 0xFF) - int(original[i] >> shift & 0xFF));
    return total / long(3 * got.size()) <= tolerance;
  };
  const std::string good = dir.filePath("good.jpg").toStdString();
  const std::string poor = dir.filePath("poor.jpg").toStdString();
  ASSERT_EQ(Tool({"convert", source, good, "--quality", "95", "--progressive"}).Code, kExitOk);
  ASSERT_EQ(Tool({"convert", source, poor, "--quality", "5"}).Code, kExitOk);
  EXPECT_TRUE(closeTo(good, 4));
  EXPECT_GT(QFile(QString::fromStdString(good)).size(), QFile(QString::fromStdString(poor)).size());
  for (const char* palette : {"optimized-fs", "octree", "octree-fs", "web", "default"}) {
    const std::string bmp = dir.filePath(QString("p-%1.bmp").arg(palette)).toStdString();
    ASSERT_EQ(Tool({"convert", source, bmp, "--bits", "8", "--palette", palette}).Code, kExitOk)
        << palette;
    TBitmap written;
    written.LoadFromFile(bmp);
    EXPECT_EQ(written.PixelFormat(), pf8bit) << palette;
    EXPECT_TRUE(closeTo(bmp, 40)) << palette;
  }
  const std::string gif = dir.filePath("deep.gif").toStdString();
  ASSERT_EQ(Tool({"convert", source, gif}).Code, kExitOk);
  EXPECT_TRUE(closeTo(gif, 8));
  const std::string tif = dir.filePath("jpeg.tif").toStdString();
  ASSERT_EQ(Tool({"convert", source, tif, "--tiff-compression", "jpeg"}).Code, kExitOk);
  EXPECT_TRUE(closeTo(tif, 6));
  const std::string png = dir.filePath("four.png").toStdString();
  ASSERT_EQ(Tool({"convert", source, png, "--bits", "4"}).Code, kExitOk);
  TPngGraphic four;
  four.LoadFromFile(png);
  EXPECT_EQ(four.ImageFormat(), ifColor16);
}

TEST(ToolSave, OptionsThatCannotApplyWriteNothing) {
  QTemporaryDir dir;
  const std::string deep = MakeSource(dir, pf24bit);
  const std::string one = MakeSource(dir, pf1bit);
  const std::string out = dir.filePath("never.bmp").toStdString();
  const ToolRun own = Tool({"convert", deep, out, "--bits", "8", "--palette", "own"});
  EXPECT_EQ(own.Code, kExitFailed);
  EXPECT_EQ(own.Err, "kestrel-tool: Source Graphic must have a palette\n");
  const ToolRun offered = Tool({"convert", one, out, "--bits", "8", "--palette", "optimized-fs"});
  EXPECT_EQ(offered.Code, kExitFailed);
  EXPECT_NE(offered.Err.find("not offered"), std::string::npos) << offered.Err;
  const ToolRun png = Tool({"convert", one, dir.filePath("never.png").toStdString()});
  EXPECT_EQ(png.Err, "kestrel-tool: Conversion not Supported\n");
  const ToolRun targa =
      Tool({"convert", MakeSource(dir, pf4bit), dir.filePath("never.tga").toStdString()});
  EXPECT_EQ(targa.Code, kExitFailed);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"convert", deep, out, "--quality", "50"},
        {"convert", deep, out, "--png-level", "low"},
        {"convert", deep, out, "--bits", "16"},
        {"convert", deep, out, "--palette", "rainbow"},
        {"convert", deep, dir.filePath("x.jpg").toStdString(), "--quality", "101"},
        {"convert", deep, dir.filePath("x.jpg").toStdString(), "--transparent"}}) {
    EXPECT_EQ(Tool(args).Code, kExitUsage) << args[3];
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
            (QStringList{"source1.bmp", "source24.bmp", "source4.bmp"}));
}

TEST(ToolSave, DefaultsAreTheOptionWindowsFirstChoices) {
  QTemporaryDir dir;
  const std::string source = MakeSource(dir, pf8bit);
  const std::string bmp = dir.filePath("plain.bmp").toStdString();
  const std::string tif = dir.filePath("plain.tif").toStdString();
  ASSERT_EQ(Tool({"convert", source, bmp}).Code, kExitOk);
  ASSERT_EQ(Tool({"convert", source, tif}).Code, kExitOk);
  TBitmap written;
  written.LoadFromFile(bmp);
  EXPECT_EQ(written.PixelFormat(), pf24bit) << "24 bits, \"No Palette\"";
  TTiffGraphic tiff;
  tiff.LoadFromFile(tif);
  EXPECT_EQ(tiff.Compression(), tcNone);
}

// A disk that fills up while the file is written: a small file system of its own, mounted in a
// mount namespace of the tool's run alone. Every writer says why, in the system's words.
TEST(ToolSave, AFullDiskIsToldWithTheSystemsReasonAndLeavesTheOldFileAsItWas) {
  QTemporaryDir dir;
  const std::string source = dir.filePath("noise.bmp").toStdString();
  // Noise does not compress: every writer's file outgrows the disk, most of them while the
  // writer is still at work.
  TBitmap noise(700, 700, pf24bit);
  uint32_t state = 12345;
  for (int y = 0; y < noise.Height(); ++y)
    for (int x = 0; x < 3 * noise.Width(); ++x) {
      state = state * 1664525u + 1013904223u;
      noise.ScanLine(y)[x] = static_cast<uint8_t>(state >> 24);
    }
  noise.SaveToFile(source);
  const QString disk = dir.filePath("disk");
  QDir().mkpath(disk);
  for (const char* extension : {"bmp", "png", "tga", "pcx", "dcx", "tif", "jpg", "gif"}) {
    SCOPED_TRACE(extension);
    const QString out = disk + "/out." + extension;
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start("unshare", {"-m", "sh", "-c",
                          "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 77\n"
                          "printf good > \"$4\"\n"
                          "\"$2\" convert \"$3\" \"$4\"\n"
                          "echo \"exit=$?\"\n"
                          "cat \"$4\"; echo; ls -A \"$1\"",
                          "sh", disk, KESTREL_TOOL, QString::fromStdString(source), out});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    if (run.exitCode() == 77 || output.contains("unshare:"))
      GTEST_SKIP() << "no private mounts here: " << output.toStdString();
    EXPECT_TRUE(
        output.contains(QString("No space left on device\nexit=1\ngood\nout.") + extension + "\n"))
        << output.toStdString();
  }
}

// As root, a link to a device made the device a regular file; /dev/null among them.
TEST(ToolSave, ConvertNeverReplacesADeviceBehindALink) {
  if (::geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  QTemporaryDir dir;
  const std::string source = MakeSource(dir, pf24bit);
  // The same device as /dev/null, made here so that a failure harms nothing of the system's.
  const QString device = dir.filePath("null");
  ASSERT_EQ(::mknod(QFile::encodeName(device), S_IFCHR | 0666, makedev(1, 3)), 0);
  const QString link = dir.filePath("o.bmp");
  ASSERT_TRUE(QFile::link(device, link));
  const ToolRun run = Tool({"convert", source, link.toStdString()});
  EXPECT_EQ(run.Code, kExitFailed);
  EXPECT_EQ(run.Err, "kestrel-tool: Cannot save " + link.toStdString() + ": " +
                         device.toStdString() + " is a device, not a regular file\n");
  struct stat status {};
  ASSERT_EQ(::stat(QFile::encodeName(device), &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
  EXPECT_EQ(status.st_rdev, makedev(1, 3));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
}

} // namespace
} // namespace kestrel
