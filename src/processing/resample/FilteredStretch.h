#pragma once
// FilteredStretch: resizes a picture with a two-pass separable filter (one pass along the rows, one
// down the columns) with one of the seven kernels of ResampleFilter.h. The gallery, the index pages
// and kestrel-tool make their reduced pictures with it.
//
//   TBitmap thumbnail(160, 120);   // the size wanted
//   FilteredStretch(picture, thumbnail, TResampleFilter::Lanczos3);
//
// - source: any bitmap at least 1 x 1, of any pixel format (read as 24-bit colour; it is not
//   changed).
// - destination: gives the size wanted, at least 2 x 2; it becomes a 24-bit bitmap of that size
//   holding the resized picture (its palette, if any, is kept).
// - filter: the kernel.
// - threads: 0 lets large pictures be made by two threads (each a half of the rows); 1 or more
//   asks for that many. The result is the same whatever the number.
//
// The first and last destination pixels of each row and column sit on the first and last source
// pixels. Weights are fixed point and add up to exactly 1, so a flat picture stays flat; results
// past 0..255 (the overshoot of Lanczos3 and Mitchell at hard edges) are clamped.
//
// Raises Exception "Source bitmap too small" for a source under 1 pixel wide or high, Exception
// "Destination bitmap too small" for a destination under 2, and EInvalidGraphic when the memory
// for the result cannot be had (the destination is then unchanged).

#include "processing/resample/ResampleFilter.h"

namespace kestrel {

class TBitmap;

void FilteredStretch(const TBitmap& source, TBitmap& destination, TResampleFilter filter,
                     int threads = 0);

} // namespace kestrel
