#pragma once
// Making the bitmap a writer hands its codec: the source drawn at (0, 0) onto a new bitmap of the
// target depth with a chosen palette, and the palettes the save choices name.

#include "imaging/core/Bitmap.h"

#include <memory>

namespace kestrel {

// The palettes the writers' choices name.
enum class TSavePalette {
  None,       // no palette: a palette format shows the format's default colours
  Own,        // the source's palette (or its colours, for a palette bitmap without one)
  OwnWidened, // the same, widened with black to 256 entries
  Octree16,   // an optimised palette of 16 colours
  Octree256,  // an optimised palette of 256 colours, the system colours at both ends
  Default,    // the 16 standard colours for 4 bits; else the 20 system colours and 236 blacks
  Web         // the 236-colour palette
};

// The palette source has: its own, or for a palette format without one the colours it shows; a
// null palette for a direct-colour bitmap without one.
TPalette SourcePalette(const TBitmap& source);
// The palette choice made concrete for source at target format.
TPalette ResolveSavePalette(TSavePalette choice, const TBitmap& source, TPixelFormat target);

// A new bitmap of source's size in format with palette, filled with background, source copied
// onto it at (0, 0) (transparency ignored; palette targets take the nearest entry).
std::unique_ptr<TBitmap> Redraw(const TBitmap& source, TPixelFormat format, const TPalette& palette,
                                TColor background);
// Whether a redraw at format with palette would give the source's own pixels: then the writer
// takes a SharedCopy instead, and a large picture is not held twice while it is saved.
bool IsRedrawnAsItIs(const TBitmap& source, TPixelFormat format, const TPalette& palette);
// The source's pixels and palette, shared until either bitmap is written, as a redraw would give
// them: no resolution, no transparency.
std::unique_ptr<TBitmap> SharedCopy(const TBitmap& source);

} // namespace kestrel
