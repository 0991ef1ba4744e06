#pragma once
// The arithmetic of the editing tools, apart from any window: pen width steps, the shape
// rectangle (two corners in picture pixels, either order), the crop area, the zones of a shape
// being adjusted, and where the view scrolls when the zoom changes.

#include "imaging/core/Types.h"

namespace kestrel {

// Tool codes, shared by the selected and the active tool.
enum class TEditTool {
  None = 0,
  Select = 1,
  Fill = 2,
  Line = 3,
  Rectangle = 4,
  Ellipse = 5,
  Pen = 6,
  Erase = 7
};

constexpr int kPenWidthSteps = 6;
// The pen width of a width step (1, 2, 4, 8, 12, 16 pixels; steps outside 0..5 are clamped).
int PenWidthOfStep(int step);
// The size across of the round width sample for a step (4, 6, 8, 10, 12, 16 pixels).
int PenSampleSize(int step);
// One step up or down, saturating at both ends.
int NextPenStep(int step, bool up);

// The shape rectangle: Left/Top the start point, Right/Bottom the end point, both inclusive.
using TCorners = TRect;
// Left <= Right and Top <= Bottom.
TCorners NormalizedCorners(const TCorners& corners);
// What "W: " and "H: " show: the absolute differences plus one.
TSize ShapeSize(const TCorners& corners);
// The pixels a crop or a copy takes: the corners normalised, right and bottom extended by one
// (both corners are inside), clipped to a width x height picture. Empty when nothing is left.
TRect CropArea(const TCorners& corners, int width, int height);
// Where the text box stands: one pixel inside the normalised selection.
TRect TextBoxArea(const TCorners& corners);

// The zones of a shape being adjusted.
enum class TAdjustZone {
  Inside = 0, // moves the whole shape
  Left = 1,
  Top = 2,
  Right = 3,
  Bottom = 4,
  TopLeft = 5,
  TopRight = 6,
  BottomRight = 7,
  BottomLeft = 8,
  Outside = 9 // no change
};
// How near an edge counts as on it: half the pen width (nothing for the select tool), plus 2 at
// zoom 1 and 1 at zoom 2.
int AdjustTolerance(int penWidth, int zoom, bool selectTool);
// The zone of point for the normalised corners; corners win over edges.
TAdjustZone AdjustZoneAt(const TCorners& corners, TPoint point, int tolerance);
// The corners after a drag of (dx, dy) picture pixels in zone, normalised.
TCorners AdjustedCorners(const TCorners& corners, TAdjustZone zone, int dx, int dy);

// adjusted (normalised) put back in the direction original ran: a line dragged by an edge keeps
// which end is which.
TCorners WithOrientationOf(const TCorners& original, const TCorners& adjusted);

// The zoom factor of a zoom step (0..4 give 1, 2, 4, 8, 16) and the step of a factor.
int ZoomFactorOfStep(int step);
int ZoomStepOfFactor(int factor);
// A scroll bar's position after the zoom moved by delta steps (new step - old step, -4..4),
// keeping the picture point at the centre of client in place: new range x old position / old
// range + (2^delta - 1) / 2 x client, in integer steps. Never below 0.
int ZoomScrollPosition(int oldRange, int oldPosition, int newRange, int client, int delta);

} // namespace kestrel
