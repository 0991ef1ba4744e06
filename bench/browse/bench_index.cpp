// An index page of 21 JPEG photographs of 3000 x 2000 on a 3 x 7 grid at 800 x 600, against the
// thumbnail step the gallery's worker takes per file, done with the raw libraries on the same
// files in the same run: libjpeg decoding at 1/8 of the size, then the filtered stretch to the
// cell. The page adds the headings, frames, captions, the 2 x 2 halving and the layout; the
// target is at most 1.5 times the 21 thumbnail steps. A second pair times Stop: from the request
// to the end of the run, against the time of one cell (target: within one cell).

#include "../RatioReporter.h"
#include "../processing/PhotoPicture.h"

#include "browse/index/IndexComposer.h"
#include "imaging/core/Picture.h"
#include "imaging/jpeg/JpegImage.h"
#include "processing/resample/FilteredStretch.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <jpeglib.h>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {
namespace {

constexpr int kFiles = 21;
constexpr int kWidth = 3000, kHeight = 2000;

// A photograph's mix of smooth and busy parts, the other benchmarks' picture.
void WritePhotograph(const std::string& path) {
  const std::unique_ptr<TBitmap> bitmap = bench::PhotoPicture(kWidth, kHeight);
  TJPEGImage jpeg;
  jpeg.Assign(bitmap.get());
  jpeg.SaveToFile(path);
}

struct TFiles {
  QTemporaryDir Folder;
  std::vector<std::string> Paths;
  TFiles() {
    const std::string first = QFile::encodeName(Folder.filePath("IMG_0001.JPG")).toStdString();
    WritePhotograph(first);
    Paths.push_back(first);
    for (int i = 2; i <= kFiles; ++i) {
      const QString name = Folder.filePath(QString("IMG_%1.JPG").arg(i, 4, 10, QChar('0')));
      QFile::copy(QString::fromStdString(first), name);
      Paths.push_back(QFile::encodeName(name).toStdString());
    }
  }
};

const TFiles& Files() {
  static const TFiles files;
  return files;
}

TIndexPageConfig PageSpec() {
  TIndexPageConfig config;
  config.Columns = 7;
  config.Rows = 3;
  config.TitleText = "Holiday Pictures";
  config.TitleFont.Size = 18;
  config.FooterText = "Sheet 1 of 1";
  config.ThumbBorder = 1;
  config.TitleFont.Color = config.FooterFont.Color = config.CaptionFont.Color = clWhite;
  config.PageBorderColor = config.ThumbBorderColor = clWhite;
  config.Files = Files().Paths;
  return config;
}

std::unique_ptr<TGraphic> ReadPicture(const std::string& path) {
  std::unique_ptr<TGraphic> graphic = TPicture::FindFileFormat(path)->Create();
  graphic->LoadFromFile(path);
  return graphic;
}

void IndexPage(benchmark::State& state) {
  const TIndexPageConfig config = PageSpec();
  const std::atomic<bool> never = false;
  for (auto _ : state) {
    TIndexComposer composer(config, ReadPicture);
    benchmark::DoNotOptimize(composer.Run(never));
    if (composer.Cells().size() != kFiles) state.SkipWithError("cells missing");
  }
}

// The gallery worker's step for one file with the libraries alone: read, decode at 1/8, stretch.
void ThumbnailStep(const std::string& path, TSize cell) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> data{std::istreambuf_iterator<char>(in), {}};
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  info.scale_num = 1;
  info.scale_denom = 8;
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  TBitmap decoded;
  decoded.NewImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   pf24bit, {});
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = decoded.ScanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  TBitmap thumbnail(cell.Width, cell.Height, pf24bit);
  FilteredStretch(decoded, thumbnail, TResampleFilter::Lanczos3, 1);
  benchmark::DoNotOptimize(thumbnail.ScanLine(0));
}

void ThumbnailSteps(benchmark::State& state) {
  // The cells of the page above: the same target size for every picture.
  TIndexComposer measure(PageSpec(), ReadPicture);
  const TIndexGeometry g = measure.Measure();
  const TRect r = IndexPictureRect(PageSpec(), g, kWidth, kHeight, 0, 0);
  for (auto _ : state)
    for (const std::string& path : Files().Paths)
      ThumbnailStep(path, {r.Width(), r.Height()});
}

// From Stop to the end of the run, asked for as the third cell is done.
void StopAnswer(benchmark::State& state) {
  const TIndexPageConfig config = PageSpec();
  for (auto _ : state) {
    std::atomic<bool> stop = false;
    TIndexComposer composer(config, ReadPicture);
    std::chrono::steady_clock::time_point asked;
    composer.OnCellDone = [&](const TRect&) {
      if (composer.Cells().size() == 3) {
        stop = true;
        asked = std::chrono::steady_clock::now();
      }
    };
    composer.Run(stop);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count());
  }
}

// One cell: a page of a single picture less an empty page.
void OneCell(benchmark::State& state) {
  TIndexPageConfig one = PageSpec();
  one.Files.resize(1);
  TIndexPageConfig none = PageSpec();
  none.Files.clear();
  const std::atomic<bool> never = false;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    TIndexComposer(one, ReadPicture).Run(never);
    const auto middle = std::chrono::steady_clock::now();
    TIndexComposer(none, ReadPicture).Run(never);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(
        std::chrono::duration<double>((middle - start) - (end - middle)).count());
  }
}

BENCHMARK(IndexPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ThumbnailSteps)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// A fixed count: each run builds a page while the time it reports is tiny.
BENCHMARK(StopAnswer)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(OneCell)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace
} // namespace kestrel

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv); // fonts for the labels
  kestrel::Files();
  return kestrel::bench::RunWithRatios(
      argc, argv, {{"IndexPage", "ThumbnailSteps", 1.5}, {"StopAnswer", "OneCell", 1.0}});
}
