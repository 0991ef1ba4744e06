// Peak memory of converting a large picture, as /usr/bin/time -v reports it for the process
// ("Maximum resident set size"): kestrel-tool convert from PNG, TIFF and run-length TGA files to
// each writer that takes the picture at its own depth, and the viewer's own path (read as the
// viewer reads, view copy at 1:1, "Save Image As" without its dialog).
//
// The reference in the same run is the decoded picture (rows of 24-bit pixels) and the peak of
// `kestrel-tool info` on the same file (the program at rest, no pixels). Target: what a conversion
// holds beyond the program at rest stays within 1.3 times the decoded picture (the writers' own
// buffers are a few megabytes at most).
//
// The picture is 18000 x 18000 (972 MB of pixels, just inside the memory limit) unless
// --size=N asks for N x N.

#include "imaging/core/Bitmap.h"
#include "imaging/png/PngGraphic.h"
#include "imaging/tiff/TiffGraphic.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using namespace kestrel;

namespace {

// Rows of one colour each, in bands: it compresses the way a large scan or render often does.
std::unique_ptr<TBitmap> BandedPicture(int size) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(size, size, pf24bit, {});
  for (int y = 0; y < size; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    const uint8_t blue = uint8_t(y / 64), green = uint8_t(y / 7), red = uint8_t(255 - y / 71);
    for (int x = 0; x < size; ++x) {
      row[3 * x] = blue;
      row[3 * x + 1] = green;
      row[3 * x + 2] = red;
    }
  }
  return bitmap;
}

// A run-length TGA (type 10) of the same rows: our writer stores TGA without runs.
void WriteRunLengthTarga(const TBitmap& bitmap, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return;
  const int width = bitmap.Width(), height = bitmap.Height();
  const char header[18] = {0,
                           0,
                           10,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           char(width & 0xFF),
                           char(width >> 8),
                           char(height & 0xFF),
                           char(height >> 8),
                           24,
                           0x20};
  file.write(header, sizeof header);
  QByteArray row;
  for (int y = 0; y < height; ++y) {
    row.clear();
    const uint8_t* pixels = bitmap.ScanLine(y);
    for (int x = 0; x < width;) {
      int run = 1;
      while (x + run < width && run < 128 &&
             std::memcmp(pixels + 3 * x, pixels + 3 * (x + run), 3) == 0)
        ++run;
      row.append(char(0x80 | (run - 1)));
      row.append(reinterpret_cast<const char*>(pixels + 3 * x), 3);
      x += run;
    }
    file.write(row);
  }
}

// The peak resident memory of a run, in bytes; -1 when it failed.
qint64 PeakOf(const QString& program, const QStringList& arguments) {
  QProcess run;
  run.start("/usr/bin/time", QStringList{"-v", program} + arguments);
  run.waitForFinished(-1);
  const QString report = QString::fromLocal8Bit(run.readAllStandardError());
  const auto match =
      QRegularExpression(R"(Maximum resident set size \(kbytes\): (\d+))").match(report);
  if (run.exitCode() != 0 || !match.hasMatch()) {
    std::printf("%s failed:\n%s\n", qPrintable(arguments.join(' ')), qPrintable(report));
    return -1;
  }
  return match.captured(1).toLongLong() * 1024;
}

int SizeArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--size=", 7) == 0) return std::atoi(argv[i] + 7);
  return 18000;
}

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const int size = SizeArgument(argc, argv);
  QTemporaryDir dir;
  const QString png = dir.filePath("in.png"), tif = dir.filePath("in.tif"),
                tga = dir.filePath("in.tga");
  qint64 decoded = 0;
  {
    const auto picture = BandedPicture(size);
    decoded = qint64(picture->BytesPerLine()) * size;
    TPngGraphic pngFile;
    pngFile.ImportBitmapHandle(*picture);
    pngFile.SaveToFile(png.toStdString());
    TTiffGraphic tiffFile;
    tiffFile.ImportBitmapHandle(*picture);
    tiffFile.SetCompression(tcZLib);
    tiffFile.SaveToFile(tif.toStdString());
    WriteRunLengthTarga(*picture, tga);
  }
  const QString tool = KESTREL_TOOL;
  const QString viewer = KESTREL_VIEWER_SAVE_RUN;
  std::printf("picture %d x %d, decoded %.1f MB; files: PNG %.1f MB, TIFF %.1f MB, TGA %.1f MB\n",
              size, size, decoded / 1e6, QFile(png).size() / 1e6, QFile(tif).size() / 1e6,
              QFile(tga).size() / 1e6);

  struct TRun {
    QString Input;
    const char* Output;
    bool Viewer;
  };
  const TRun runs[] = {{png, "bmp", false}, {png, "png", false}, {png, "tga", false},
                       {png, "tif", false}, {png, "pcx", false}, {png, "jpg", false},
                       {tif, "bmp", false}, {tga, "bmp", false}, {png, "bmp", true},
                       {tif, "png", true}};
  for (const TRun& run : runs) {
    const qint64 rest = PeakOf(tool, {"info", run.Input});
    const QString output = dir.filePath(QString("out.") + run.Output);
    const qint64 peak = run.Viewer ? PeakOf(viewer, {run.Input, output})
                                   : PeakOf(tool, {"convert", run.Input, output});
    QFile::remove(output);
    if (rest < 0 || peak < 0) continue;
    const double ratio = double(peak - rest) / double(decoded);
    std::printf("%-8s %s -> %-3s: peak %7.1f MB, at rest %5.1f MB; ratio (peak - rest) / "
                "decoded %.2f (target <= 1.30)%s\n",
                run.Viewer ? "viewer" : "convert", qPrintable(QFileInfo(run.Input).suffix()),
                run.Output, peak / 1e6, rest / 1e6, ratio, ratio <= 1.3 ? "" : "  MISSED");
  }
  return 0;
}
