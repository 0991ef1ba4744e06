#pragma once
// Building the view copy (ViewBitmap) of a picture: an exact copy, a drawing on the background,
// or the decoded JPEG; reduced to 1:2, 1:4 or 1:8 by halving; or fitted to the window. The copy
// is built once per load, mode change or zoom change, never per paint.

#include "app/view/DrawingPalette.h"
#include "imaging/core/Bitmap.h"

namespace kestrel {

class TGraphic;

enum class TDrawPath { Copy, Draw, Jpeg };

// What decides how a picture is put into the view copy.
struct TDrawPathFacts {
  bool PreservePixels = false; // pictures are always drawn
  bool Transparent = false;    // "Transparent Bitmap" is checked
  int ScreenDepth = 32;
  TDrawingPaletteChoice Palette; // the kind, and the GIF's animation and palette choice
};
// The first rule that holds: preserved pixels draw; a still GIF without palettes of its own
// copies; a JPEG takes its own path; a device bitmap on a screen of more than 8 bits, not drawn
// transparently, copies; anything else draws.
TDrawPath ChooseDrawPath(const TGraphic& graphic, const TDrawPathFacts& facts);

// What the view copy is now.
struct TViewCopyState {
  int LastReduction = 1; // R of the last reduced rendering
  int CopyReduction = 1; // R the copy is at (1 at full size)
  bool Fitted = false;   // the copy is fitted to the window, not the picture at some 1:R
};

struct TViewCopySettings {
  TDrawPath Path = TDrawPath::Copy;
  int Reduction = 1;   // R
  bool Forced = false; // redraw from the picture even when a reduced copy could be halved on
  TColor Background = clBlack;
  TDrawingPaletteChoice Palette;
  bool Transparent = false;
};

// Builds view from graphic for the Normal and Fit to Image modes. A JPEG must have its load
// options applied already (its own scale does its reduction). A reduction that would leave less
// than a pixel is not made: the copy is then at full size. Errors of the graphic pass on.
void BuildViewCopy(TBitmap& view, TGraphic& graphic, const TViewCopySettings& settings,
                   TViewCopyState& state);

// view becomes graphic drawn at its own size on the background, with palette; a palette bitmap
// not drawn transparently keeps its format (and so its indices), anything else is drawn on a
// device bitmap.
void DrawFullSize(TBitmap& view, TGraphic& graphic, TColor background, const TPalette& palette);

// copy becomes the picture at its own size, as an edit starts from it: a device bitmap or a
// decoded JPEG exactly, anything else drawn on the background with the palette it is drawn with.
void PictureAtFullSize(TBitmap& copy, TGraphic& graphic, TColor background,
                       const TDrawingPaletteChoice& choice);

// view becomes size, filled with the background and the drawing palette unless fill is false (a
// JPEG covers it whole), with graphic stretched over it.
void FitViewCopy(TBitmap& view, TGraphic& graphic, TSize size, TColor background,
                 const TPalette& palette, bool fill, TViewCopyState& state);

} // namespace kestrel
