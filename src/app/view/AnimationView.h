#pragma once
// An animation's new frame in the view copy: only the part of the copy that shows what the frame
// changed is drawn again, at the scale the copy holds the picture (its own size, fitted to the
// window, or halved for a reduced view), with the pixels a whole new copy would have there.

#include "imaging/core/Types.h"

#include <optional>

namespace kestrel {

class TBitmap;
class TGIFImage;

// Redraws in view the part that shows area of animation (in picture coordinates) and returns that
// part of view. A reduced copy (halved from the picture) is redone from the picture's 2^n blocks
// under the part; nothing is drawn, and nothing returned, when view is no halving of the picture.
std::optional<TRect> RedrawAnimationArea(TBitmap& view, TGIFImage& animation, const TRect& area,
                                         bool reduced);

} // namespace kestrel
