#pragma once
// One picture of an index page, from the file's graphic to the cell's bitmap. Large pictures are
// reduced cheaply first (a JPEG decoded at 1/2, 1/4 or 1/8 of its size, then halved by 2 x 2
// averaging while more than twice the cell's height) so that the quality filter never works on
// much more than twice the cell.

#include "imaging/core/Bitmap.h"
#include "imaging/jpeg/JpegImage.h"

namespace kestrel {

// The decoding scale of a JPEG picture pictureHeight high shown rectHeight high: 1/8 when it is
// more than 8 times as high, 1/4 above 4, 1/2 above 2, else full size.
TJPEGScale IndexJpegScale(int pictureHeight, int rectHeight);

// Makes bitmap 24 bits per pixel and half its size, each pixel the mean of a 2 x 2 block (an odd
// last row or column is dropped). Needs at least 2 x 2.
void HalveBitmap(TBitmap& bitmap);

// Puts picture into source, reduced towards rectHeight: returns 0, or the code of the step that
// failed twice (SOURCE_FAIL_ASSIGN, SOURCE_FAIL_DRAW, SOURCE_FAIL_SCALE). A JPEG, a GIF of one
// frame without transparency and a bitmap of more than one bit per pixel are copied; anything
// else is drawn on background. quick decodes a JPEG for speed.
int PrepareIndexSource(TGraphic& picture, int rectHeight, TColor background, bool quick,
                       TBitmap& source);

// Resamples source into cell at exactly size with the quality filter (Lanczos3), or with the
// plainer Triangle filter when quick. Raises when it cannot.
void StretchIndexCell(const TBitmap& source, TBitmap& cell, TSize size, bool quick);

} // namespace kestrel
