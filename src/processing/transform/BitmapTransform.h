#pragma once
// The geometric commands of the picture editing menu, in place on a device bitmap (the viewer's
// ViewBitmap): a half turn (the menu's "&Invert"), the two mirrors and the two quarter turns.
// Bitmaps of fewer than 8 bits per pixel become 8-bit ones first (palette indices kept), so every
// pixel is a whole number of bytes; all other formats keep theirs. Quarter turns exchange width
// and height.

namespace kestrel {

class TBitmap;

enum class TBitmapTransform {
  HalfTurn,           // "&Invert": both mirrors
  MirrorVertical,     // "Mirror &Vertical ": upside down
  MirrorHorizontal,   // "Mirror &Horizontal": left and right exchanged
  RotateClockwise,    // "Rotate &Clockwise": the left column becomes the top row
  RotateAnticlockwise // "Rotate &Anticlockwise": the top row becomes the left column
};

// Transforms bitmap; an empty bitmap is left alone. Raises EInvalidGraphic when a quarter turn
// cannot have the memory for the turned picture (the bitmap is then unchanged).
void ApplyBitmapTransform(TBitmap& bitmap, TBitmapTransform transform);

} // namespace kestrel
