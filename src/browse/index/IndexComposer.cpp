#include "browse/index/IndexComposer.h"

#include "browse/index/IndexPicture.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "processing/colour/OctreePalette.h"

#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <new>

namespace kestrel {
namespace {

TRect United(const TRect& a, const TRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

bool Usable(const TGraphic* picture) {
  return picture && !picture->Empty() && picture->Width() > 0 && picture->Height() > 0;
}

} // namespace

QString IndexFileName(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).fileName();
}

TIndexComposer::TIndexComposer(TIndexPageConfig config, TIndexReader reader)
    : config_(std::move(config)), reader_(std::move(reader)), label_(config_.Background, 0) {
  config_.Columns = std::max(config_.Columns, 1);
  config_.Rows = std::max(config_.Rows, 1);
}

TIndexComposer::~TIndexComposer() = default;

TIndexGeometry TIndexComposer::Measure() {
  const auto heightOf = [this](const QString& text, const TFont& font, bool wrap) {
    return label_.Make(text, font, false, wrap).Height();
  };
  const int title = heightOf(QString::fromStdString(config_.TitleText), config_.TitleFont, false);
  const int footer =
      heightOf(QString::fromStdString(config_.FooterText), config_.FooterFont, false);
  geometry_ = IndexGeometryOf(config_, title, footer, 0);
  label_.SetWrapLimit(geometry_.CellWidth - config_.Spacing);
  std::vector<QString> names;
  for (const std::string& file : config_.Files)
    names.push_back(IndexFileName(file));
  const int caption =
      config_.Captions ? heightOf(LongestName(names), config_.CaptionFont, true) : 0;
  geometry_ = IndexGeometryOf(config_, title, footer, caption);
  return geometry_;
}

int TIndexComposer::Run(const std::atomic<bool>& stop) {
  cells_.clear();
  next_ = 0;
  try {
    Measure();
  } catch (const std::exception&) {
    return icMakeLabel;
  }
  if (geometry_.CellWidth < 2 || geometry_.CellHeight < 2) return icImageTooSmall;
  int code = CreatePage();
  if (code != icNone) return code;
  if (OnPageMade) OnPageMade(page_);
  int rowOffset = 0;
  for (int row = 0; row < config_.Rows; ++row) {
    int tallest = 0, placed = 0;
    for (int column = 0; column < config_.Columns && !stop; ++column) {
      if (next_ >= config_.Files.size()) {
        code = icComplete;
        break;
      }
      PlaceCell(column, rowOffset, tallest);
      ++placed;
    }
    if (placed == 0) break;
    rowOffset = IndexNextRowOffset(config_, geometry_, rowOffset, tallest);
  }
  if (config_.PalettePage && (!cells_.empty() || code == icComplete)) MakePalette();
  return code;
}

// The page

int TIndexComposer::CreatePage() {
  const int width = config_.PageWidth, height = config_.PageHeight;
  // Both the page and the copy that shows it must fit, or nothing is drawn at all.
  if (!ImageLimits::Fits(width, height, 24)) return icOutOfMemory;
  try {
    TCanvas& canvas = page_.Canvas();
    canvas.Brush.Color = config_.Background;
    canvas.Brush.Style = bsSolid;
    page_.Assign(nullptr);
    page_.SetPixelFormat(pf24bit);
    page_.SetSize(1, 1);
    canvas.FillRect({0, 0, 1, 1});
    page_.SetSize(width, height); // the new area takes the brush
  } catch (const EInvalidGraphic&) {
    page_.Assign(nullptr);
    return icOutOfMemory;
  } catch (const std::bad_alloc&) {
    page_.Assign(nullptr);
    return icOutOfMemory;
  } catch (const std::exception&) {
    page_.Assign(nullptr);
    return icCreatePage;
  }
  if (config_.BackgroundGraphic) {
    const int code = DrawWallpaper();
    if (code != icNone) return code;
  }
  DrawBorder();
  return DrawHeadings();
}

std::unique_ptr<TGraphic> TIndexComposer::LoadWallpaper(int& code) {
  if (config_.FromClipboard) {
    if (!Usable(config_.ClipboardWallpaper.get())) {
      code = icNoClipboardGraphic;
      return nullptr;
    }
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(config_.ClipboardWallpaper.get());
    return copy;
  }
  std::unique_ptr<TGraphic> wallpaper = ReadPicture(config_.WallpaperFile);
  if (!Usable(wallpaper.get())) code = icBadWallpaper;
  return Usable(wallpaper.get()) ? std::move(wallpaper) : nullptr;
}

int TIndexComposer::DrawWallpaper() {
  int code = icNone;
  std::unique_ptr<TGraphic> wallpaper = LoadWallpaper(code);
  if (!wallpaper) return code;
  if (config_.Tile) return TileWallpaper(*wallpaper);
  try {
    // Halves toward zero: a wallpaper larger than the page is cropped evenly.
    page_.Canvas().Draw((config_.PageWidth - wallpaper->Width()) / 2,
                        (config_.PageHeight - wallpaper->Height()) / 2, *wallpaper);
  } catch (const std::exception&) {
    return icDrawCentreWallpaper;
  }
  return icNone;
}

int TIndexComposer::TileWallpaper(TGraphic& wallpaper) {
  TBitmap tile;
  bool made = false;
  for (int attempt = 0; attempt < 2 && !made; ++attempt) {
    try {
      tile.Assign(nullptr);
      tile.SetPixelFormat(pf24bit);
      tile.Canvas().Brush.Color = config_.Background;
      tile.SetSize(wallpaper.Width(), wallpaper.Height());
      tile.Canvas().FillRect({0, 0, tile.Width(), tile.Height()});
      tile.Canvas().Draw(0, 0, wallpaper);
      made = true;
    } catch (const std::exception&) {
    }
  }
  if (!made) return icCreateTile;
  try {
    for (int y = 0; y < config_.PageHeight; y += tile.Height())
      for (int x = 0; x < config_.PageWidth; x += tile.Width())
        page_.Canvas().Draw(x, y, tile);
  } catch (const std::exception&) {
    if (OnMessage) OnMessage("Faulty Wallpaper Image");
    return icTileWallpaper;
  }
  return icNone;
}

void TIndexComposer::DrawBorder() {
  TCanvas& canvas = page_.Canvas();
  canvas.Brush.Color = config_.PageBorderColor;
  for (int i = 0; i < config_.PageBorder; ++i)
    canvas.FrameRect({i, i, config_.PageWidth - i, config_.PageHeight - i});
}

TBitmap* TIndexComposer::MakeLabel(const QString& text, const TFont& font, bool transparent,
                                   bool wrap) {
  try {
    return &label_.Make(text, font, transparent, wrap);
  } catch (const std::exception&) {
    return nullptr;
  }
}

int TIndexComposer::HeadingX(int labelWidth) const {
  return config_.LeftJustify ? config_.Spacing / 2 : (config_.PageWidth - labelWidth) / 2;
}

int TIndexComposer::DrawHeadings() {
  TBitmap* title = MakeLabel(QString::fromStdString(config_.TitleText), config_.TitleFont,
                             config_.TransparentTitle, false);
  if (!title) return icMakeLabel;
  page_.Canvas().Draw(HeadingX(title->Width()), config_.PageBorder + 1, *title);
  TBitmap* footer = MakeLabel(QString::fromStdString(config_.FooterText), config_.FooterFont,
                              config_.TransparentFooter, false);
  if (!footer) return icMakeLabel;
  page_.Canvas().Draw(HeadingX(footer->Width()),
                      config_.PageHeight - geometry_.FooterHeight - config_.PageBorder, *footer);
  return icNone;
}

// The cells

std::unique_ptr<TGraphic> TIndexComposer::ReadPicture(const std::string& path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      return reader_(path);
    } catch (const std::exception&) {
    }
  }
  return nullptr;
}

int TIndexComposer::PlaceCell(int column, int rowOffset, int& tallest) {
  TIndexCell cell;
  cell.File = config_.Files[next_];
  std::unique_ptr<TGraphic> picture = ReadPicture(cell.File);
  // A picture without a width or a height has nothing to show.
  cell.Empty = !Usable(picture.get());
  if (cell.Empty) picture.reset();
  TRect rect = IndexPictureRect(config_, geometry_, picture ? picture->Width() : 0,
                                picture ? picture->Height() : 0, column, rowOffset);
  tallest = std::max(tallest, rect.Height());
  bool failed = false;
  int code = DrawPicture(picture.get(), rect, failed);
  // A failed picture's frame shows the whole cell it should have filled.
  if (code != icNone || failed) rect = IndexCellBox(config_, geometry_, column, rowOffset);
  int thickness = config_.ThumbBorder;
  if ((cell.Empty || code != icNone || failed) && thickness == 0) thickness = 1;
  const int frameCode = DrawFrames(rect, thickness);
  if (code == icNone) code = frameCode;
  TRect changed = FramedRect(rect, thickness);
  const int captionCode = DrawCaption(cell.File, changed, changed);
  if (code == icNone) code = captionCode;
  cell.Picture = rect;
  cell.Code = code;
  cells_.push_back(cell);
  ++next_;
  if (OnCellDone)
    OnCellDone({std::max(changed.Left, 0), std::max(changed.Top, 0),
                std::min(changed.Right, page_.Width()), std::min(changed.Bottom, page_.Height())});
  return code;
}

int TIndexComposer::DrawPicture(TGraphic* picture, const TRect& rect, bool& failed) {
  int code = icNone;
  const bool prepared = picture && rect.Height() >= 1;
  if (prepared)
    code = PrepareIndexSource(*picture, rect.Height(), config_.Background, config_.QuickThumbnails,
                              source_);
  if (rect.Width() < 2 || rect.Height() < 2) return icImageTooSmall;
  if (!prepared || code != icNone) return code;
  std::string error;
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      StretchIndexCell(source_, cell_, {rect.Width(), rect.Height()}, config_.QuickThumbnails);
      error.clear();
      break;
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  if (!error.empty()) {
    failed = true;
    if (OnMessage) OnMessage(IndexFileName(config_.Files[next_]).toStdString() + " " + error);
    return icNone;
  }
  page_.Canvas().Draw(rect.Left, rect.Top, cell_);
  return icNone;
}

int TIndexComposer::DrawFrames(const TRect& rect, int thickness) {
  try {
    TCanvas& canvas = page_.Canvas();
    canvas.Brush.Color = config_.ThumbBorderColor;
    canvas.Brush.Style = bsSolid;
    for (const TRect& frame : ThumbnailFrames(rect, thickness))
      canvas.FrameRect(frame);
  } catch (const std::exception&) {
    return icThumbnailBorder;
  }
  return icNone;
}

int TIndexComposer::DrawCaption(const std::string& file, const TRect& framed, TRect& area) {
  if (!config_.Captions) return icNone;
  TBitmap* caption =
      MakeLabel(IndexFileName(file), config_.CaptionFont, config_.TransparentCaptions, true);
  if (!caption) return icLabelBitmap;
  const TRect at = Bounds(framed.Left + (framed.Width() - caption->Width()) / 2, framed.Bottom,
                          caption->Width(), caption->Height());
  try {
    page_.Canvas().Draw(at.Left, at.Top, *caption);
  } catch (const std::exception&) {
    return icLabelBitmap;
  }
  area = United(framed, at);
  return icNone;
}

void TIndexComposer::MakePalette() {
  const TBitmap& page = page_;
  page_.SetPalette(OctreePalette(
      page.Width(), page.Height(), [&page](int y) { return page.ScanLine(y); }, 256, 8, true));
}

} // namespace kestrel
