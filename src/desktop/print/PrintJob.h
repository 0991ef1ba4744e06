#pragma once
// One print: the shown picture on one page of a printer, at a placement of PrintLayout.h, under
// the line "Picture Printed From Kestrel!" at the page's top-left corner. The same job serves the
// print window and kestrel-tool print.

#include "desktop/print/PrintLayout.h"

#include <QImage>
#include <QString>

#include <atomic>

class QPrinter;

namespace kestrel {

class TBitmap;

constexpr const char* kPrintHeader = "Picture Printed From Kestrel!";
// The resolution of a print into a PDF file: the PDF engine's own default (1200) would make
// one picture pixel a speck, and embeds nothing finer than the page can show anyway.
constexpr int kPdfDotsPerInch = 300;

// A picture as the print takes it: a copy of its own, so the window's bitmaps may change (or
// go) while the job runs on its worker.
struct TPrintPicture {
  QImage Image;
  bool Lossless = false; // palette pictures are not compressed with loss in a PDF
  TSize Size() const { return {Image.width(), Image.height()}; }
};

// The private copy of bitmap. Raises std::bad_alloc when there is no memory for it.
TPrintPicture PrintPictureOf(const TBitmap& bitmap);

// The printable page of printer in dots (its page rectangle at its resolution), and where that
// page starts on the paper.
TSize PrintablePage(const QPrinter& printer);
TPoint PageOrigin(const QPrinter& printer);

// Makes printer write a PDF file at resolution (dots per inch).
void UsePdfFile(QPrinter& printer, const QString& file, int resolution = kPdfDotsPerInch);

// The part of picture that lands on the page at placement, and where it goes (in dots): only
// what the page shows is drawn, and a reduced picture is resampled to the page's resolution
// so the printer (or the PDF) receives no more pixels than it can print. Null when nothing
// of the picture lands on the page; raises std::bad_alloc when there is no memory to scale.
struct TPagePart {
  QImage Image;
  QRectF Target;
};
TPagePart PagePart(const QImage& picture, const TPrintPlacement& placement);

enum class TPrintOutcome { Printed, Aborted, Failed };

struct TPrintResult {
  TPrintOutcome Outcome = TPrintOutcome::Failed;
  QString Error; // why it failed
};

// Prints picture at placement on printer, as a job titled docName. A PDF file is written under
// a temporary name beside it and takes its own name only once complete, so a failed or aborted
// job never leaves half a file (nor harms an older one). abort is looked at between the steps;
// once a job has gone to a printer it can no longer be taken back.
TPrintResult PrintPicture(QPrinter& printer, const TPrintPicture& picture,
                          const TPrintPlacement& placement, const QString& docName,
                          const std::atomic<bool>& abort);

} // namespace kestrel
