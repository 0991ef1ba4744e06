// kestrel-tool with JPEG and PNG files: conversions through the real program, read back by an
// independent reader (Pillow), and the header facts of info.

#include "IndependentReader.h"

#include "cli/ToolCommands.h"

#include "imaging/core/Bitmap.h"
#include "imaging/jpeg/JpegImage.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace kestrel {
namespace {

std::string Data(const std::string& name) {
  return std::string(KESTREL_TEST_DATA) + "/" + name;
}

int RunProgram(const QStringList& args) {
  QProcess tool;
  tool.start(KESTREL_TOOL, args);
  if (!tool.waitForFinished(30000)) return -1;
  return tool.exitCode();
}

// The largest channel difference and the mean one between a bitmap and RGB bytes.
std::pair<int, double> Differences(const TBitmap& original, const QByteArray& rgb) {
  int worst = 0;
  double sum = 0;
  const auto* p = reinterpret_cast<const uint8_t*>(rgb.constData());
  for (int y = 0; y < original.Height(); ++y)
    for (int x = 0; x < original.Width(); ++x, p += 3) {
      const TPixelColor c = original.PixelColor(x, y);
      for (int i = 0; i < 3; ++i) {
        const int d = std::abs(p[i] - int(c >> (16 - 8 * i) & 0xFF));
        worst = std::max(worst, d);
        sum += d;
      }
    }
  return {worst, sum / (3.0 * original.Width() * original.Height())};
}

TEST(ToolJpegPng, ConversionsReadTheSameInAnotherProgram) {
  QTemporaryDir dir;
  // (PNG has no conversion for 1-bit pictures: the save refuses them, see ToolSaveTest.)
  const std::vector<std::string> sources = {"bmpsuite/g/rgb24.bmp", "bmpsuite/g/pal8.bmp",
                                            "bmpsuite/g/pal4.bmp", "bmpsuite/g/rgb16-565.bmp"};
  QStringList outputs;
  for (size_t i = 0; i < sources.size(); ++i)
    for (const char* extension : {"png", "jpg", "jpe", "jpeg"}) {
      const QString output = dir.filePath(QString("%1.%2").arg(i).arg(extension));
      ASSERT_EQ(RunProgram({"convert", QString::fromStdString(Data(sources[i])), output}), 0)
          << sources[i] << " to " << extension;
      outputs << output;
    }
  const auto pixels = test::ReadWithPillow(outputs);
  if (!pixels) GTEST_SKIP() << "no independent reader";
  for (size_t i = 0; i < sources.size(); ++i) {
    TBitmap original;
    original.LoadFromFile(Data(sources[i]));
    for (size_t k = 0; k < 4; ++k) {
      const QByteArray& rgb = (*pixels)[i * 4 + k];
      const QString file = outputs[static_cast<int>(i * 4 + k)];
      SCOPED_TRACE(file.toStdString() + " from " + sources[i]);
      ASSERT_EQ(rgb.size(), 3 * original.Width() * original.Height());
      if (k == 0) {
        EXPECT_EQ(Differences(original, rgb).first, 0) << "PNG keeps every pixel";
        continue;
      }
      // The other reader decodes our JPEG as we do.
      TJPEGImage jpeg;
      jpeg.LoadFromFile(file.toStdString());
      const auto [worst, mean] = Differences(jpeg.Bitmap(), rgb);
      EXPECT_LE(worst, 4);
      EXPECT_LT(mean, 1);
    }
  }
  // A photograph stays close to its source (hard-edged palette pictures do not, in any JPEG).
  TBitmap photo;
  photo.LoadFromFile(Data(sources[0]));
  EXPECT_LT(Differences(photo, (*pixels)[1]).second, 6);
}

TEST(ToolJpegPng, JpegAndPngGoBothWaysAndReportTheirHeaders) {
  QTemporaryDir dir;
  const QString jpg = dir.filePath("a.jpg"), png = dir.filePath("b.png"),
                again = dir.filePath("c.jpeg");
  ASSERT_EQ(RunProgram({"convert", QString::fromStdString(Data("pngsuite/basn6a08.png")), jpg}), 0);
  ASSERT_EQ(RunProgram({"convert", jpg, png}), 0);
  ASSERT_EQ(RunProgram({"convert", png, again}), 0);
  for (const QString& file : {jpg, png, again}) {
    std::ostringstream out, err;
    ASSERT_EQ(RunTool({"info", file.toStdString()}, out, err), kExitOk) << err.str();
    EXPECT_NE(out.str().find("width: 32\nheight: 32\nbits per pixel: 24\n"), std::string::npos)
        << out.str();
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunTool({"info", Data("pngsuite/basn3p04.png")}, out, err), kExitOk);
  EXPECT_NE(out.str().find("format: png (Portable Network Graphic)\nwidth: 32\nheight: 32\n"
                           "bits per pixel: 4\npalette entries: 15\n"),
            std::string::npos)
      << out.str();
  std::ostringstream badOut, badErr;
  EXPECT_EQ(RunTool({"info", Data("pngsuite/reference/basn0g01.pam")}, badOut, badErr),
            kExitFailed);
}

} // namespace
} // namespace kestrel
