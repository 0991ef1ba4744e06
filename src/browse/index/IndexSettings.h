#pragma once
// The settings of the Picture Index Maker: what a page looks like, kept in the settings store
// (section "ThumbnailMaker") between runs. Values read back are held to the ranges the window's
// fields allow, so a damaged store cannot ask for a page the window could not.

#include "browse/index/IndexPageConfig.h"

#include <QSize>
#include <QString>

namespace kestrel {

struct TIndexRange {
  int Low;
  int High;
  int Clamp(int value) const { return value < Low ? Low : value > High ? High : value; }
};

constexpr TIndexRange kPageSideRange{100, 5000};
constexpr TIndexRange kPageBorderRange{0, 40};
constexpr TIndexRange kThumbBorderRange{-20, 20};
constexpr TIndexRange kSpacingRange{1, 50};
constexpr TIndexRange kGridRange{0, 500};
constexpr TIndexRange kFontSizeRange{1, 200}; // points

// The bits of the stored "CheckBoxes" value.
enum TIndexCheckBox : int {
  cbBackgroundGraphic = 1,
  cbTile = 2,
  cbFromClipboard = 4,
  cbQuickThumbnails = 8,
  cbManualLayout = 16,
  cbTransparentTitle = 32,
  cbTransparentFooter = 64,
  cbTransparentCaptions = 128,
  cbOneFont = 256,
  cbOneColor = 512,
  cbLeftJustify = 1024,
  cbCentre = 2048
};
constexpr int kDefaultCheckBoxes =
    cbTransparentTitle | cbTransparentFooter | cbTransparentCaptions | cbCentre; // 2272

struct TIndexSettings {
  int PageWidth = 800;
  int PageHeight = 600;
  int PageBorder = 1;
  int ThumbBorder = 0;
  int Spacing = 10;
  int Columns = 7; // not stored: proposed again when the window is shown
  int Rows = 3;
  TColor Background = clBlack;
  TColor PageBorderColor = clWhite;
  TColor ThumbBorderColor = clWhite;
  int CheckBoxes = kDefaultCheckBoxes;
  QString WallpaperFile;
  QString TitleText = "Thumbnails By Kestrel";
  QString FooterText = "Sheet 1 of 1";
  TFont TitleFont;
  TFont FooterFont;
  TFont CaptionFont;

  bool Checked(TIndexCheckBox box) const { return (CheckBoxes & box) != 0; }
  void SetChecked(TIndexCheckBox box, bool on) {
    CheckBoxes = on ? CheckBoxes | box : CheckBoxes & ~box;
  }

  // The defaults on a screen of that size with the program's background colour: a page of 78 %
  // of the screen, frames and text in the background's contrast colour.
  static TIndexSettings Defaults(QSize screen, TColor background);
  // Reads every stored value over these (a missing one is stored with its present value).
  void Read();
  void Write() const;

  // What the engine is given (without the files).
  TIndexPageConfig Config() const;
};

// White on a background whose green is 150 or less, else black.
TColor IndexContrastColor(TColor background);

// The size of a 24-bit page of that size in memory ("1.37 MB").
QString IndexMemoryText(int width, int height);

} // namespace kestrel
