#pragma once
// What the bitmap writer does for a source depth, a target depth and the compression window's
// palette choice. The choice is an index into the window's list, whose items depend on whether the
// source is deeper than 8 bits (see TCompressChoices); each index means here what its item says:
//
// | source   | depth | choices by index                                                      |
// | <= 8 bit | 4     | own palette, octree 16, default 16, web                               |
// | <= 8 bit | 8     | own palette, octree 256, default 256, web                             |
// | <= 8 bit | 24    | no palette, own palette, default 256, web                             |
// | deeper   | 4     | own palette, octree 16, default 16, web                               |
// | deeper   | 8     | JPEG round trip, own palette widened to 256, octree 256, default 256, |
// |          |       | web, octree reduction with Floyd-Steinberg dithering                  |
// | deeper   | 24    | no palette, own palette, octree 256, default 256, web                 |
// Every palette choice is a redraw at the target depth with that palette on black. An index past
// the list redraws without a palette.

#include "app/save/Redraw.h"

namespace kestrel {

enum class TSaveWay {
  Redraw,        // draw onto a new bitmap with the chosen palette
  JpegRoundTrip, // the library's quantiser with dithering, through an in-memory JPEG
  OctreeDither   // the octree reduction with Floyd-Steinberg dithering
};

struct TSavePlan {
  TSaveWay Way = TSaveWay::Redraw;
  TSavePalette Palette = TSavePalette::None;
  // The choice names the source's own palette at 4 or 8 bits: a source without one cannot
  // follow it.
  bool NeedsSourcePalette() const;
  TPixelFormat Format = pf24bit;
};

// A device bitmap (depth code 0), such as a view fitted to the window, is redrawn at the target
// depth without a palette, whatever the choice.
TSavePlan PlanBitmapSave(int depthCode, int targetDepthCode, int choice);
// Whether source can be saved by plan: not when the plan names a palette the source lacks.
bool PlanFitsSource(const TSavePlan& plan, const TBitmap& source);

} // namespace kestrel
