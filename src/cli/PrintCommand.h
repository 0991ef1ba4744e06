#pragma once
// kestrel-tool print: a picture into a PDF file through the print window's own layout and job.

#include "desktop/print/PrintLayout.h"

#include <QString>

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace kestrel {

class TBitmap;

struct TPrintOptions {
  std::optional<TPrintPosition> Position; // center when not given
  std::optional<int> Percent;             // 100 when not given
  bool Fit = false;                       // the fit percentage
  bool Landscape = false;
  std::optional<int> Resolution; // dots per inch
  bool Any() const { return Position || Percent || Fit || Landscape || Resolution; }
};

// Takes option into options when it is one of print's ("--percent"), asking value for the word
// after it; false when it is not. A bad value raises TUsageError.
bool ParsePrintOption(const std::string& option, const std::function<const std::string&()>& value,
                      TPrintOptions& options);

// Prints input into the PDF file output; the page and the placement go to out.
int PrintToPdf(const std::string& input, const std::string& output, const TPrintOptions& options,
               std::ostream& out, std::ostream& err);
// The same for a bitmap, printed as a job titled title.
int PrintBitmapToPdf(const TBitmap& bitmap, const QString& title, const std::string& output,
                     const TPrintOptions& options, std::ostream& out, std::ostream& err);

} // namespace kestrel
