#include "app/save/PngDepthPlan.h"

#include "app/save/DepthCode.h"

namespace kestrel {

TPngDepthPlan PlanPngDepth(int depthCode, int targetDepthCode, bool synthesized, bool hasPalette) {
  const TPixelFormat format = PixelFormatOfDepthCode(targetDepthCode);
  const auto redraw = [format](TSavePalette palette) {
    return TPngDepthPlan{false, {TSaveWay::Redraw, palette, format}};
  };
  switch (depthCode) {
  case kDepthCode4:
    return redraw(TSavePalette::Own);
  case kDepthCode8:
    return redraw(format == pf4bit ? TSavePalette::Octree16 : TSavePalette::Own);
  case kDepthCodeDevice:
  case kDepthCode16:
  case kDepthCode24:
    if (format == pf4bit) return redraw(TSavePalette::Octree16);
    if (format == pf24bit) return redraw(TSavePalette::None);
    if (synthesized || !hasPalette)
      return {false, {TSaveWay::JpegRoundTrip, TSavePalette::None, pf8bit}};
    return redraw(TSavePalette::Own);
  default:
    return {true, {}};
  }
}

} // namespace kestrel
