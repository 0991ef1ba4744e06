// kestrel-tool print: the PDF it writes, rasterised by another program, shows the picture's red
// border where the layout says, to within one dot.

#include "cli/ToolCommands.h"
#include "imaging/core/Bitmap.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kestrel {
namespace {

constexpr int kDpi = 150;

// 1000 x 500, white with a red border 6 pixels wide.
QString BorderedPicture(const QTemporaryDir& dir) {
  TBitmap bitmap(1000, 500, pf24bit);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = 0x0000FF;
  canvas.FillRect(Rect(0, 0, 1000, 500));
  canvas.Brush.Color = 0xFFFFFF;
  canvas.FillRect(Rect(6, 6, 994, 494));
  const QString path = dir.filePath("border.bmp");
  bitmap.SaveToFile(path.toStdString());
  return path;
}

// What the tool says it did.
struct TClaim {
  int PageW, PageH, OriginX, OriginY, W, H, X, Y, Percent, Fit;
};

std::optional<TClaim> ParseClaim(const QString& out) {
  static const QRegularExpression pattern(
      R"(page: (\d+) x (\d+) dots at \d+ dpi, from \((\d+), (\d+)\) on the paper\n)"
      R"(picture: (\d+) x (\d+) dots at \((-?\d+), (-?\d+)\), (\d+)% \(fit (\d+)%\)\n)");
  const QRegularExpressionMatch m = pattern.match(out);
  if (!m.hasMatch()) return std::nullopt;
  const auto n = [&](int i) { return m.captured(i).toInt(); };
  return TClaim{n(1), n(2), n(3), n(4), n(5), n(6), n(7), n(8), n(9), n(10)};
}

// The bounding box of the clearly red pixels of a page.
QRect RedBox(const QImage& page) {
  QRect box;
  for (int y = 0; y < page.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
    for (int x = 0; x < page.width(); ++x)
      if (qRed(row[x]) > 180 && qGreen(row[x]) < 90 && qBlue(row[x]) < 90) box |= QRect(x, y, 1, 1);
  }
  return box;
}

TEST(PrintTool, TheBorderLandsWhereTheLayoutSays) {
  const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
  if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm is not installed";
  QTemporaryDir dir;
  const QString picture = BorderedPicture(dir);
  for (const bool landscape : {false, true})
    for (const QString percent : {"100", "fit"}) {
      SCOPED_TRACE((percent + (landscape ? " landscape" : " portrait")).toStdString());
      const QString pdf = dir.filePath("out.pdf");
      QStringList args{
          "print", picture, pdf, "--percent", percent, "--resolution", QString::number(kDpi)};
      if (landscape) args << "--landscape";
      QProcess tool;
      tool.start(KESTREL_TOOL, args);
      ASSERT_TRUE(tool.waitForFinished(60000));
      ASSERT_EQ(tool.exitCode(), kExitOk) << tool.readAllStandardError().toStdString();
      const std::optional<TClaim> c = ParseClaim(tool.readAllStandardOutput());
      ASSERT_TRUE(c);
      EXPECT_EQ(landscape, c->PageW > c->PageH);
      // Centred, at 100 percent or filling the page one way.
      EXPECT_EQ(c->X, (c->PageW - c->W) / 2);
      EXPECT_EQ(c->Y, (c->PageH - c->H) / 2);
      if (percent == "100") {
        EXPECT_EQ(QSize(c->W, c->H), QSize(1000, 500));
      } else {
        EXPECT_EQ(c->Percent, c->Fit);
        EXPECT_TRUE(c->W <= c->PageW && c->H <= c->PageH);
        EXPECT_GT(std::max(double(c->W) / c->PageW, double(c->H) / c->PageH), 0.99);
      }
      QProcess raster;
      raster.start(pdftoppm,
                   {"-r", QString::number(kDpi), "-singlefile", pdf, dir.filePath("page")});
      ASSERT_TRUE(raster.waitForFinished(60000));
      const QImage page = QImage(dir.filePath("page.ppm")).convertToFormat(QImage::Format_RGB32);
      ASSERT_FALSE(page.isNull());
      const QRect red = RedBox(page);
      const QRect expected(c->OriginX + c->X, c->OriginY + c->Y, c->W, c->H);
      EXPECT_LE(std::abs(red.left() - expected.left()), 1) << red.left();
      EXPECT_LE(std::abs(red.top() - expected.top()), 1) << red.top();
      EXPECT_LE(std::abs(red.right() - expected.right()), 1) << red.right();
      EXPECT_LE(std::abs(red.bottom() - expected.bottom()), 1) << red.bottom();
    }
}

TEST(PrintTool, BadOptionsAndPathsFail) {
  QTemporaryDir dir;
  const QString picture = BorderedPicture(dir);
  const auto run = [](const QStringList& args) {
    QProcess tool;
    tool.start(KESTREL_TOOL, args);
    tool.waitForFinished(60000);
    return std::pair(tool.exitCode(), QString(tool.readAllStandardError()));
  };
  EXPECT_EQ(run({"print", picture, dir.filePath("a.pdf"), "--position", "middle"}).first,
            kExitUsage);
  EXPECT_EQ(run({"print", picture, dir.filePath("a.pdf"), "--percent", "0"}).first, kExitUsage);
  EXPECT_EQ(run({"convert", picture, dir.filePath("a.bmp"), "--landscape"}).first, kExitUsage);
  const auto [code, error] = run({"print", picture, dir.filePath("missing/a.pdf")});
  EXPECT_EQ(code, kExitFailed);
  EXPECT_TRUE(error.startsWith("kestrel-tool: The print job could not be started: "))
      << error.toStdString();
}

} // namespace
} // namespace kestrel
