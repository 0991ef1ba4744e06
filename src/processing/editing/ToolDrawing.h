#pragma once
// What the editing tools draw on a bitmap: the outlines of line, rectangle and ellipse, the pen's
// segments, the eraser's square, and copies of areas between two bitmaps of one pixel format
// (the picture and the overlay it is edited on, a crop's cut-out). Each returns the rectangle it
// may have changed, so that only that part is shown again.

#include "imaging/core/Color.h"
#include "imaging/core/Types.h"
#include "processing/editing/ToolGeometry.h"

namespace kestrel {

class TBitmap;
class TCanvas;

// The outline of a line, rectangle or ellipse tool through the corners, in color with a pen
// width pixels wide: the line ends on both corner pixels; the rectangle runs through the four
// corners; the ellipse is inscribed in them. Nothing for other tools.
TRect DrawToolShape(TCanvas& canvas, TEditTool tool, const TCorners& corners, TColor color,
                    int width);
// A pen stroke's segment from one point to the next, both pixels set.
TRect DrawPenSegment(TCanvas& canvas, TPoint from, TPoint to, TColor color, int width);

// Copies area of source to the same place of dest, both of one size and pixel format: stored
// values are copied, so palette indices stay exactly what they were. Clipped to both bitmaps.
TRect RestoreArea(TBitmap& dest, const TBitmap& source, const TRect& area);
// The eraser: the square of half-size half round point, from picture back to overlay.
TRect EraseSquare(TBitmap& overlay, const TBitmap& picture, TPoint point, int half);
// dest becomes area of source (clipped to it), in source's pixel format and palette. Raises
// EInvalidGraphic when the memory limit refuses the size; dest is then unchanged.
void CutOut(TBitmap& dest, const TBitmap& source, const TRect& area);

} // namespace kestrel
