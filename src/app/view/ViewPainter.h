#pragma once
// Painting the view copy: only the part of the copy that is visible is read, and magnified
// pixels are drawn as plain squares.

#include "imaging/core/Types.h"

#include <QImage>
#include <QRect>

class QPainter;

namespace kestrel {

class TBitmap;

// The pixels of bitmap inside source as an image of that size (nothing outside it is read).
QImage BitmapPart(const TBitmap& bitmap, const QRect& source);

// Paints view magnified magnification times on a paint box that starts at position relative to
// a visible area of free pixels: only whole source pixels that are at least partly visible.
// Returns the paint box rectangle drawn.
QRect PaintVisible(QPainter& painter, const TBitmap& view, int magnification, TPoint position,
                   TSize free);

} // namespace kestrel
