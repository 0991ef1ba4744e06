#include "desktop/print/PrintJob.h"

#include "imaging/core/Bitmap.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>

namespace kestrel {

namespace {

constexpr const char* kBeginFailed = "The print job could not be started";
constexpr const char* kEndFailed = "The print job could not be finished";
constexpr const char* kScaleFailed = "Could Not scale Graphic";

// The PDF file of a job is written under a name of its own beside the file and renamed over it
// once complete. A job for a printer has no file and passes through.
class TPdfOutput {
public:
  explicit TPdfOutput(QPrinter& printer) : printer_(printer), target_(printer.outputFileName()) {
    if (target_.isEmpty()) return;
    // Not QTemporaryFile: its files are private to the owner, and the PDF is a user's document.
    for (int attempt = 0; attempt < 16 && part_.isEmpty(); ++attempt) {
      const QString name = QString("%1.%2.part")
                               .arg(target_)
                               .arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
      QFile file(name);
      if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        part_ = name;
      } else if (!file.exists()) {
        error_ = file.errorString();
        return;
      }
    }
    if (part_.isEmpty()) {
      error_ = "no free temporary name";
      return;
    }
    if (QFile::exists(target_)) QFile::setPermissions(part_, QFile::permissions(target_));
    printer_.setOutputFileName(part_);
  }

  ~TPdfOutput() {
    if (target_.isEmpty()) return;
    printer_.setOutputFileName(target_);
    if (!committed_ && !part_.isEmpty()) QFile::remove(part_);
  }

  bool Ready() const { return error_.isEmpty(); }
  QString Error() const { return error_; }

  bool Commit() {
    if (target_.isEmpty()) return true;
    std::error_code code;
    std::filesystem::rename(part_.toStdString(), target_.toStdString(), code);
    if (code) {
      error_ = QString::fromStdString(code.message());
      return false;
    }
    committed_ = true;
    return true;
  }

private:
  QPrinter& printer_;
  QString target_;
  QString part_;
  QString error_;
  bool committed_ = false;
};

TPrintResult Failed(const QString& what, const QString& why = {}) {
  return {TPrintOutcome::Failed, why.isEmpty() ? what : what + ": " + why};
}

// The picture pixels [first, last) that cover dots [from, to) of a picture placed at origin with
// scale dots per pixel, within count pixels.
std::pair<int, int> CoveringPixels(int from, int to, int origin, double scale, int count) {
  const int first = std::clamp(int(std::floor((from - origin) / scale)), 0, count - 1);
  const int last = std::clamp(int(std::ceil((to - origin) / scale)), first + 1, count);
  return {first, last};
}

} // namespace

TPrintPicture PrintPictureOf(const TBitmap& bitmap) {
  TPrintPicture picture;
  const QImage view = bitmap.Image();
  // The view shares the bitmap's pixels: the copy must be deep.
  if (bitmap.BitsPerPixel() <= 8) {
    picture.Image = view.copy();
    picture.Lossless = true;
  } else {
    picture.Image = view.format() == QImage::Format_RGB32
                        ? view.copy()
                        : view.convertToFormat(QImage::Format_RGB32);
  }
  if (picture.Image.isNull() && !view.isNull()) throw std::bad_alloc();
  return picture;
}

TSize PrintablePage(const QPrinter& printer) {
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  return {qRound(page.width()), qRound(page.height())};
}

TPoint PageOrigin(const QPrinter& printer) {
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  return {qRound(page.left()), qRound(page.top())};
}

void UsePdfFile(QPrinter& printer, const QString& file, int resolution) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  // Set after the format: a new format starts from its engine's own resolution.
  printer.setResolution(resolution);
}

TPagePart PagePart(const QImage& picture, const TPrintPlacement& placement) {
  const TRect placed = placement.Rect();
  const QRect visible = QRect(placed.Left, placed.Top, placed.Width(), placed.Height()) &
                        QRect(0, 0, placement.Page.Width, placement.Page.Height);
  if (visible.isEmpty() || picture.isNull()) return {};
  const double sx = double(placement.Printed.Width) / picture.width();
  const double sy = double(placement.Printed.Height) / picture.height();
  const auto [x0, x1] =
      CoveringPixels(visible.left(), visible.right() + 1, placed.Left, sx, picture.width());
  const auto [y0, y1] =
      CoveringPixels(visible.top(), visible.bottom() + 1, placed.Top, sy, picture.height());
  TPagePart part;
  part.Target = QRectF(placed.Left + x0 * sx, placed.Top + y0 * sy, (x1 - x0) * sx, (y1 - y0) * sy);
  const QRect source(x0, y0, x1 - x0, y1 - y0);
  part.Image = source == picture.rect() ? picture : picture.copy(source);
  const QSize dots(std::max(1, qRound(part.Target.width())),
                   std::max(1, qRound(part.Target.height())));
  if (dots.width() < part.Image.width() || dots.height() < part.Image.height())
    part.Image = part.Image.scaled(dots, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  if (part.Image.isNull()) throw std::bad_alloc();
  return part;
}

TPrintResult PrintPicture(QPrinter& printer, const TPrintPicture& picture,
                          const TPrintPlacement& placement, const QString& docName,
                          const std::atomic<bool>& abort) {
  TPagePart part;
  try {
    part = PagePart(picture.Image, placement);
  } catch (const std::bad_alloc&) {
    return Failed(kScaleFailed);
  }
  if (abort) return {TPrintOutcome::Aborted, {}};
  printer.setDocName(docName);
  TPdfOutput file(printer);
  if (!file.Ready()) return Failed(kBeginFailed, file.Error());
  QPainter painter;
  if (!painter.begin(&printer)) return Failed(kBeginFailed);
  const QRect page(0, 0, placement.Page.Width, placement.Page.Height);
  painter.drawText(page, Qt::AlignLeft | Qt::AlignTop, kPrintHeader);
  if (!part.Image.isNull()) {
    painter.setClipRect(page);
    painter.setRenderHint(QPainter::LosslessImageRendering, picture.Lossless);
    painter.drawImage(part.Target, part.Image);
  }
  const bool ended = painter.end() && printer.printerState() != QPrinter::Error;
  // A file not yet renamed can still be dropped; a printer has the job by now.
  if (abort && !printer.outputFileName().isEmpty()) return {TPrintOutcome::Aborted, {}};
  if (!ended) return Failed(kEndFailed);
  if (!file.Commit()) return Failed(kEndFailed, file.Error());
  return {TPrintOutcome::Printed, {}};
}

} // namespace kestrel
