#include "cli/IndexCommand.h"

#include "app/view/Dpicture.h"
#include "browse/index/IndexComposer.h"
#include "browse/index/IndexSettings.h"
#include "cli/PrintCommand.h"
#include "cli/ToolCommands.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/Screen.h"
#include "platform/display/ScreenDepth.h"

#include <algorithm>
#include <ostream>

namespace kestrel {
namespace {

// A thumbnail border: -20 to 20.
int BorderNamed(const std::string& text) {
  const bool negative = text.size() > 1 && text[0] == '-';
  const auto magnitude = NumberIn(negative ? text.substr(1) : text, 2, 0, kThumbBorderRange.High);
  if (!magnitude) throw TUsageError{"--border takes -20 to 20"};
  return negative ? -*magnitude : *magnitude;
}

// The pictures as the viewer reads them: a sound or an unknown kind gives no picture.
std::unique_ptr<TGraphic> ReadIndexPicture(const std::string& path) {
  return ReadPictureGraphic(path, ScreenDepth());
}

// The grid asked for; a side not given holds every picture with the other, and with neither the
// grid is proposed for the page.
void ChooseGrid(const TIndexOptions& options, int files, TIndexPageConfig& config) {
  const auto rest = [files](int given) { return (files + given - 1) / given; };
  if (options.Columns && options.Rows) {
    config.Columns = *options.Columns;
    config.Rows = *options.Rows;
  } else if (options.Columns) {
    config.Columns = *options.Columns;
    config.Rows = rest(config.Columns);
  } else if (options.Rows) {
    config.Rows = *options.Rows;
    config.Columns = rest(config.Rows);
  } else if (const auto grid = ProposeIndexGrid(files, config.PageWidth, config.PageHeight)) {
    config.Columns = grid->Columns;
    config.Rows = grid->Rows;
  }
  config.Columns = std::clamp(config.Columns, 1, kGridRange.High);
  config.Rows = std::clamp(config.Rows, 1, kGridRange.High);
}

} // namespace

bool ParseIndexOption(const std::string& option, const std::function<const std::string&()>& value,
                      TIndexOptions& options) {
  if (option == "--page") {
    const std::string& text = value();
    const size_t x = text.find('x');
    const auto side = [&](const std::string& part) {
      return NumberIn(part, 4, kPageSideRange.Low, kPageSideRange.High);
    };
    options.Width = x == std::string::npos ? std::nullopt : side(text.substr(0, x));
    options.Height = x == std::string::npos ? std::nullopt : side(text.substr(x + 1));
    if (!options.Width || !options.Height)
      throw TUsageError{"--page takes WxH, each side 100 to 5000"};
  } else if (option == "--cols" || option == "--rows") {
    const auto count = NumberIn(value(), 3, 1, kGridRange.High);
    if (!count) throw TUsageError{option + " takes 1 to 500"};
    (option == "--cols" ? options.Columns : options.Rows) = count;
  } else if (option == "--title") {
    options.Title = value();
  } else if (option == "--captions") {
    options.Captions = true;
  } else if (option == "--border") {
    options.Border = BorderNamed(value());
  } else if (option == "--page-border") {
    options.PageBorder = NumberIn(value(), 2, kPageBorderRange.Low, kPageBorderRange.High);
    if (!options.PageBorder) throw TUsageError{"--page-border takes 0 to 40"};
  } else {
    return false;
  }
  return true;
}

int MakeIndexPage(const std::string& output, const std::vector<std::string>& files,
                  const TIndexOptions& options, const std::function<int(const TBitmap& page)>& save,
                  std::ostream& out, std::ostream& err) {
  // The window's defaults on a screen of 1024 x 768: an 800 x 600 page, white on black.
  TIndexPageConfig config = TIndexSettings::Defaults({1024, 768}, clBlack).Config();
  config.PageWidth = options.Width.value_or(config.PageWidth);
  config.PageHeight = options.Height.value_or(config.PageHeight);
  config.TitleText = options.Title.value_or("");
  config.FooterText.clear();
  config.Captions = options.Captions;
  config.ThumbBorder = options.Border.value_or(0);
  config.PageBorder = options.PageBorder.value_or(config.PageBorder);
  config.Files = files;
  ChooseGrid(options, static_cast<int>(files.size()), config);

  TIndexComposer composer(config, ReadIndexPicture);
  composer.OnMessage = [&err](const std::string& message) {
    err << "kestrel-tool: " << message << "\n";
  };
  const std::atomic<bool> never = false;
  const int code = composer.Run(never);
  const TIndexGeometry& g = composer.Geometry();
  if (code == icImageTooSmall && composer.Cells().empty()) {
    err << "kestrel-tool: the pictures do not fit: each cell would have " << g.CellWidth << " x "
        << g.CellHeight << " pixels\n";
    return kExitFailed;
  }
  if (IndexCodeShown(code)) {
    err << "kestrel-tool: " << IndexCodeText(code) << "\n";
    return kExitFailed;
  }
  for (const TIndexCell& cell : composer.Cells())
    if (cell.Empty || cell.Code != icNone)
      err << "kestrel-tool: " << IndexFileName(cell.File).toStdString() << ": "
          << (cell.Code != icNone ? IndexCodeText(cell.Code) : "no picture") << "\n";
  out << "page: " << config.PageWidth << " x " << config.PageHeight << ", " << config.Columns
      << " x " << config.Rows << " cells of " << g.CellWidth << " x " << g.CellHeight << "\n"
      << "pictures: " << composer.Cells().size() << " of " << files.size() << "\n";
  const std::string extension = LowerExtension(output);
  if (extension == "pdf") {
    TPrintOptions print;
    print.Fit = true;
    return PrintBitmapToPdf(composer.Page(), "Picture Index", output, print, out, err);
  }
  return save(composer.Page());
}

} // namespace kestrel
