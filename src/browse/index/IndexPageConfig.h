#pragma once
// What one picture index page is made of: the configuration the Picture Index Maker hands the
// engine. Sizes are in pixels, colours 0x00BBGGRR.

#include "imaging/core/Canvas.h"
#include "imaging/core/Color.h"

#include <memory>
#include <string>
#include <vector>

namespace kestrel {

class TBitmap;

struct TIndexPageConfig {
  int Columns = 7;
  int Rows = 3;
  int Spacing = 10;    // the gap around each cell
  int PageBorder = 1;  // 0..40: nested one-pixel frames round the page
  int ThumbBorder = 0; // -20..20: frames round each picture; negative lie inside it
  TColor PageBorderColor = clWhite;
  TColor ThumbBorderColor = clWhite;
  TColor Background = clBlack; // the page, and the labels' own background
  int PageWidth = 800;
  int PageHeight = 600;
  std::string TitleText;
  TFont TitleFont;
  std::string FooterText;
  TFont FooterFont;
  TFont CaptionFont;
  bool Captions = true;     // each picture captioned with its file name
  bool LeftJustify = false; // headings at the left instead of centred
  bool TransparentTitle = true;
  bool TransparentFooter = true;
  bool TransparentCaptions = true;
  bool BackgroundGraphic = false; // a wallpaper, centred
  bool Tile = false;              // the wallpaper tiled (only with BackgroundGraphic)
  bool FromClipboard = false; // the wallpaper is ClipboardWallpaper (only with BackgroundGraphic)
  std::string WallpaperFile;
  // The clipboard's picture, read on the user-interface thread before the run; null when the
  // clipboard held none.
  std::shared_ptr<const TBitmap> ClipboardWallpaper;
  bool QuickThumbnails = false;   // the faster, plainer scaling filter
  std::vector<std::string> Files; // the pictures, in order (full paths)
  // The screen shows 8 bits per pixel or fewer: the finished page gets an optimised palette.
  bool PalettePage = false;
};

} // namespace kestrel
