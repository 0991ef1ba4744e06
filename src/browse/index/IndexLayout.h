#pragma once
// The geometry of a picture index page: cell sizes, where each picture, its frames and its
// caption go, and the grid proposed for a number of pictures. Pure arithmetic, so it can be
// checked by numbers.
//
// With W x H the page, B the page border, S the spacing, T' the thumbnail border when positive
// (else 0), C columns and R rows, and HT, HF, HC the heights of the title, the footer and the
// tallest caption:
//   cell width  CW = (W - 2B - 2(S + T')C) / C
//   cell height CH = (H - HT - HF - S - T' - 2B) / R - HC - S - T'
// Rows are packed by the tallest picture actually placed in them, not by CH.

#include "browse/index/IndexPageConfig.h"
#include "imaging/core/Types.h"

#include <optional>
#include <vector>

namespace kestrel {

struct TIndexGeometry {
  int CellWidth = 0;     // CW
  int CellHeight = 0;    // CH
  int TitleHeight = 0;   // HT
  int FooterHeight = 0;  // HF
  int CaptionHeight = 0; // HC
  int Border = 0;        // T'
};

// The geometry of config with the label heights given; columns and rows below 1 count as 1.
TIndexGeometry IndexGeometryOf(const TIndexPageConfig& config, int titleHeight, int footerHeight,
                               int captionHeight);

// Where the picture of width x height goes in column column of the row starting rowOffset below
// the first: as large as the cell allows at the picture's proportions, centred across the cell.
// A picture without a width or a height is laid out as a square.
TRect IndexPictureRect(const TIndexPageConfig& config, const TIndexGeometry& geometry, int width,
                       int height, int column, int rowOffset);
// The whole cell, CW x CH, of column column in that row: what a failed picture is framed by.
TRect IndexCellBox(const TIndexPageConfig& config, const TIndexGeometry& geometry, int column,
                   int rowOffset);
// The offset of the row after one whose tallest picture is tallest high.
int IndexNextRowOffset(const TIndexPageConfig& config, const TIndexGeometry& geometry,
                       int rowOffset, int tallest);

// The nested one-pixel frames of a thumbnail border of thickness t round picture: for t > 0 they
// lie outside the picture (the outermost t pixels from it), for t < 0 inside it (the outermost on
// its edge); none for 0.
std::vector<TRect> ThumbnailFrames(const TRect& picture, int t);
// The rectangle a caption goes under: the picture grown by t when t > 0, else the picture.
TRect FramedRect(const TRect& picture, int t);

struct TIndexGrid {
  int Columns = 0;
  int Rows = 0;
  friend bool operator==(const TIndexGrid&, const TIndexGrid&) = default;
};

// The grid proposed for files pictures on a width x height page: about as many columns per row as
// the page's proportions ask, with room for every picture; 0 x 0 for no pictures. Nothing when the
// page has no height or no width.
std::optional<TIndexGrid> ProposeIndexGrid(int files, int width, int height);

} // namespace kestrel
