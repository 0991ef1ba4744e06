#include "cli/PrintCommand.h"

#include "cli/ToolCommands.h"
#include "desktop/print/PrintJob.h"
#include "imaging/core/Bitmap.h"
#include "imaging/core/Picture.h"

#include <QFileInfo>
#include <QPrinter>

#include <algorithm>
#include <ostream>

namespace kestrel {

bool ParsePrintOption(const std::string& option, const std::function<const std::string&()>& value,
                      TPrintOptions& options) {
  if (option == "--position") {
    const std::string& name = value();
    options.Position = PrintPositionNamed(QString::fromStdString(name));
    if (!options.Position) throw TUsageError{"unknown position \"" + name + "\""};
  } else if (option == "--percent") {
    const std::string& text = value();
    options.Fit = text == "fit";
    if (!options.Fit) {
      options.Percent = NumberIn(text, 4, kMinPercent, kMaxPercent);
      if (!options.Percent) throw TUsageError{"--percent takes 1 to 2000 or fit"};
    }
  } else if (option == "--landscape") {
    options.Landscape = true;
  } else if (option == "--resolution") {
    options.Resolution = NumberIn(value(), 4, 36, 2400);
    if (!options.Resolution) throw TUsageError{"--resolution takes 36 to 2400"};
  } else {
    return false;
  }
  return true;
}

int PrintToPdf(const std::string& input, const std::string& output, const TPrintOptions& options,
               std::ostream& out, std::ostream& err) {
  TPicture picture;
  picture.LoadFromFile(input);
  return PrintBitmapToPdf(*DeviceBitmapOf(*picture.Graphic()),
                          QFileInfo(QString::fromStdString(input)).fileName(), output, options, out,
                          err);
}

int PrintBitmapToPdf(const TBitmap& bitmap, const QString& title, const std::string& output,
                     const TPrintOptions& options, std::ostream& out, std::ostream& err) {
  const TPrintPicture print = PrintPictureOf(bitmap);
  QPrinter printer(QPrinter::HighResolution);
  UsePdfFile(printer, QString::fromStdString(output), options.Resolution.value_or(kPdfDotsPerInch));
  printer.setPageOrientation(options.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  const TSize page = PrintablePage(printer);
  // As in the print window, the scale goes no further than the fit.
  const int fit = FitPercentage(print.Size(), page);
  const int most = std::min(fit, kMaxPercent);
  const int percent = options.Fit ? most : std::min(options.Percent.value_or(100), most);
  const TPrintPlacement placement =
      PlacePicture(print.Size(), page, percent, options.Position.value_or(TPrintPosition::Center));
  const std::atomic<bool> never = false;
  const TPrintResult result = PrintPicture(printer, print, placement, title, never);
  if (result.Outcome != TPrintOutcome::Printed) {
    err << "kestrel-tool: " << result.Error.toStdString() << "\n";
    return kExitFailed;
  }
  const TPoint origin = PageOrigin(printer);
  out << "page: " << page.Width << " x " << page.Height << " dots at " << printer.resolution()
      << " dpi, from (" << origin.X << ", " << origin.Y << ") on the paper\n"
      << "picture: " << placement.Printed.Width << " x " << placement.Printed.Height << " dots at ("
      << placement.Offset.X << ", " << placement.Offset.Y << "), " << percent << "% (fit " << fit
      << "%)\n";
  return kExitOk;
}

} // namespace kestrel
