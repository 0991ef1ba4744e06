#pragma once
// TIndexComposer: composes one picture index page on the calling thread into a page bitmap of its
// own: the background or wallpaper, the page border, the title and the footer, then the grid of
// pictures row by row, each scaled into its cell, framed and captioned with its file name. It
// never touches a shown bitmap; whoever shows the page copies what it reports.
//
// Failures of one picture leave a frame (at least a pixel thick) round its cell and go on; only a
// failure to make the page itself ends the run. Rows are packed by the tallest picture placed.

#include "browse/index/IndexCodes.h"
#include "browse/index/IndexLabel.h"
#include "browse/index/IndexLayout.h"
#include "browse/index/IndexPageConfig.h"
#include "imaging/core/Bitmap.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

// Reads a picture file: null when the file holds no picture to show (an unknown kind, a sound);
// raises when reading fails. Called on the composing thread.
using TIndexReader = std::function<std::unique_ptr<TGraphic>(const std::string& path)>;

// What became of one cell.
struct TIndexCell {
  std::string File;
  TRect Picture;     // where the picture went (the cell's box when it failed)
  int Code = icNone; // the cell's failure, before it was reset; 0 when it succeeded
  bool Empty = true; // the file gave no picture
};

class TIndexComposer {
public:
  TIndexComposer(TIndexPageConfig config, TIndexReader reader);
  ~TIndexComposer();

  // Called on the composing thread: the page once its background, border and headings are
  // drawn; the part of the page a cell changed, after each cell; a failure the user should read
  // at once (the file name, a blank and the reason), when a picture cannot be resampled.
  std::function<void(const TBitmap& page)> OnPageMade;
  std::function<void(const TRect& changed)> OnCellDone;
  std::function<void(const std::string& message)> OnMessage;

  // The cell and label sizes of the page (needs fonts: a running application). A page whose cell
  // width or height is below 2 cannot be made.
  TIndexGeometry Measure();

  // Composes the page, checking stop before each picture. Returns the final code: 0 when the
  // grid is full, NORMAL COMPLETE when the pictures ran out first, else why the page could not
  // be made (the page is then not reported).
  int Run(const std::atomic<bool>& stop);

  const TBitmap& Page() const { return page_; }
  TBitmap& Page() { return page_; }
  const std::vector<TIndexCell>& Cells() const { return cells_; }
  const TIndexGeometry& Geometry() const { return geometry_; }

private:
  int CreatePage();
  int DrawWallpaper();
  int TileWallpaper(TGraphic& wallpaper);
  std::unique_ptr<TGraphic> LoadWallpaper(int& code);
  int DrawHeadings();
  void DrawBorder();
  TBitmap* MakeLabel(const QString& text, const TFont& font, bool transparent, bool wrap);
  int HeadingX(int labelWidth) const;
  int PlaceRow(int rowOffset, const std::atomic<bool>& stop, bool& placedAny);
  int PlaceCell(int column, int rowOffset, int& tallest);
  int DrawPicture(TGraphic* picture, const TRect& rect, bool& failed);
  int DrawFrames(const TRect& rect, int thickness);
  int DrawCaption(const std::string& file, const TRect& framed, TRect& area);
  std::unique_ptr<TGraphic> ReadPicture(const std::string& path);
  void MakePalette();

  TIndexPageConfig config_;
  TIndexReader reader_;
  TBitmap page_;
  TBitmap source_;
  TBitmap cell_;
  TIndexLabel label_;
  TIndexGeometry geometry_;
  std::vector<TIndexCell> cells_;
  size_t next_ = 0;
};

// The file name of a path, without its folder.
QString IndexFileName(const std::string& path);

} // namespace kestrel
