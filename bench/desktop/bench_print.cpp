// Printing a 6000 x 4000 (24-megapixel) JPEG photograph into a PDF file at the fit percentage,
// portrait, at the print's explicit 300 dots per inch.
//
// Subject: `kestrel-tool print PHOTO OUT.pdf --percent fit` (reading the JPEG, the private copy,
// the layout and the job through QPrinter), and the same job in process. Reference: img2pdf
// writing the same JPEG into a PDF (it embeds the JPEG's own data). Target: at most 2x its time.
// The PDF's size against the JPEG's is printed too (target: at most 1.5x): the print sends the
// page no more pixels than it can show at its resolution.

#include "RatioReporter.h"

#include "desktop/print/PrintJob.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Picture.h"
#include "imaging/jpeg/JpegImage.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

using namespace kestrel;

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}

// A photograph's mix: smooth light and colour, edges, and sensor noise; saved as a camera would
// (quality 92).
const QString& Photo() {
  static const QString path = [] {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < kHeight; ++y) {
      QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < kWidth; ++x) {
        const double light = 0.5 + 0.5 * std::sin(x / 311.0) * std::cos(y / 173.0);
        const int edge = ((x / 240 + y / 160) % 2) * 30;
        const int n = int(noise.bounded(17)) - 8;
        row[x] = qRgb(std::clamp(int(200 * light) + edge + n, 0, 255),
                      std::clamp(int(150 * light + x % 400 / 8) + n, 0, 255),
                      std::clamp(int(90 + 100 * (1 - light)) - edge + n, 0, 255));
      }
    }
    const QString file = Folder().filePath("photo.jpg");
    QImageWriter writer(file, "jpeg");
    writer.setQuality(92);
    writer.write(image);
    return file;
  }();
  return path;
}

void Run(const QString& program, const QStringList& args, benchmark::State& state) {
  QProcess process;
  process.start(program, args);
  if (!process.waitForFinished(120000) || process.exitCode() != 0)
    state.SkipWithError(
        ("failed: " + program + " " + process.readAllStandardError()).toStdString().c_str());
}

void ToolPrintAtFit(benchmark::State& state) {
  const QString& photo = Photo();
  for (auto _ : state)
    Run(KESTREL_TOOL, {"print", photo, Folder().filePath("tool.pdf"), "--percent", "fit"}, state);
}

void InProcessPrintAtFit(benchmark::State& state) {
  const QString& photo = Photo();
  for (auto _ : state) {
    TPicture picture;
    picture.LoadFromFile(photo.toStdString());
    auto& jpeg = dynamic_cast<TJPEGImage&>(*picture.Graphic());
    const TPrintPicture print = PrintPictureOf(jpeg.Bitmap());
    QPrinter printer(QPrinter::HighResolution);
    UsePdfFile(printer, Folder().filePath("inprocess.pdf"));
    const TSize page = PrintablePage(printer);
    const TPrintPlacement placement =
        PlacePicture(print.Size(), page, FitPercentage(print.Size(), page), TPrintPosition::Center);
    const std::atomic<bool> never = false;
    if (PrintPicture(printer, print, placement, "photo.jpg", never).Outcome !=
        TPrintOutcome::Printed)
      state.SkipWithError("the print failed");
  }
}

void Img2pdf(benchmark::State& state) {
  const QString& photo = Photo();
  const QString img2pdf = QStandardPaths::findExecutable("img2pdf");
  if (img2pdf.isEmpty()) {
    state.SkipWithError("img2pdf is not installed");
    return;
  }
  for (auto _ : state)
    Run(img2pdf, {photo, "-o", Folder().filePath("img2pdf.pdf")}, state);
}

BENCHMARK(ToolPrintAtFit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(InProcessPrintAtFit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(Img2pdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const int result = bench::RunWithRatios(
      argc, argv, {{"ToolPrintAtFit", "Img2pdf", 2.0}, {"InProcessPrintAtFit", "Img2pdf", 2.0}});
  const double jpeg = QFileInfo(Photo()).size();
  for (const char* name : {"tool.pdf", "img2pdf.pdf"}) {
    const QFileInfo pdf(Folder().filePath(name));
    if (pdf.exists())
      std::printf("size %s / photo.jpg: %.2f (%lld / %.0f bytes; target <= 1.50)\n", name,
                  pdf.size() / jpeg, pdf.size(), jpeg);
  }
  return result;
}
