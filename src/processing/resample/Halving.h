#pragma once
// Halving pictures: each pixel of a halved copy is the average of a 2 x 2 block, channel by
// channel (the sum of the four values shifted right by 2). The viewer shows pictures at 1:2, 1:4
// and 1:8 this way; the gallery and the index pages reduce large pictures cheaply with it.

#include "imaging/core/Bitmap.h"

namespace kestrel {

// Whether a width x height picture can be shown reduced by reduction: both sides divided by it
// are at least 1.
bool CanReduce(int width, int height, int reduction);

// target becomes source (24 bits per pixel) halved: width / 2 x height / 2, the odd last column
// and row dropped. source must be at least 2 x 2.
void HalveBitmap(const TBitmap& source, TBitmap& target);

// target becomes source halved again and again while its height is above height: the reduction
// chain of a picture of that height shown at 1:R ends at height / R. A source of another depth is
// taken as 24 bits first; a source no higher than height is copied as it is.
void HalveWhileAbove(const TBitmap& source, TBitmap& target, int height);

} // namespace kestrel
