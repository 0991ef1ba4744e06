#pragma once
// How the PNG writer brings the source to the depth chosen in the compression window:
// - palette sources of 4 and 8 bits are redrawn with their own palette; an 8-bit one going to
//   4 bits gets an optimised 16-colour palette instead;
// - direct-colour sources (device bitmaps, 16 and 24 bits) going to 4 bits get an optimised
//   16-colour palette; to 8 bits they go through the JPEG round trip when their palette was made
//   by the program or when they have none, and are otherwise redrawn with their palette; to 24
//   bits they are redrawn;
// - 1-, 15- and 32-bit sources have no conversion: the save is refused.
// Redraws fill the new bitmap with the viewing area's colour first.

#include "app/save/BitmapSavePlan.h"

namespace kestrel {

struct TPngDepthPlan {
  bool Refused = false;
  TSavePlan Plan;
};

TPngDepthPlan PlanPngDepth(int depthCode, int targetDepthCode, bool synthesized, bool hasPalette);

} // namespace kestrel
