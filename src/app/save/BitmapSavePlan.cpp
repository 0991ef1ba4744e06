#include "app/save/BitmapSavePlan.h"

#include "app/save/DepthCode.h"
#include "imaging/tiff/CompressionChoices.h"

#include <vector>

namespace kestrel {

namespace {

using P = TSavePalette;

TSavePlan Redrawn(TSavePalette palette, TPixelFormat format) {
  return {TSaveWay::Redraw, palette, format};
}

// The choices of the compression window's list, in its order.
std::vector<TSavePlan> Choices(bool deep, int targetDepthCode) {
  const TPixelFormat format = PixelFormatOfDepthCode(targetDepthCode);
  std::vector<TSavePalette> palettes;
  if (format == pf4bit) {
    palettes = {P::Own, P::Octree16, P::Default, P::Web};
  } else if (format == pf8bit && !deep) {
    palettes = {P::Own, P::Octree256, P::Default, P::Web};
  } else if (format == pf8bit) {
    return {{TSaveWay::JpegRoundTrip, P::None, pf8bit},
            Redrawn(P::OwnWidened, pf8bit),
            Redrawn(P::Octree256, pf8bit),
            Redrawn(P::Default, pf8bit),
            Redrawn(P::Web, pf8bit),
            {TSaveWay::OctreeDither, P::None, pf8bit}};
  } else if (!deep) {
    palettes = {P::None, P::Own, P::Default, P::Web};
  } else {
    palettes = {P::None, P::Own, P::Octree256, P::Default, P::Web};
  }
  std::vector<TSavePlan> plans;
  for (TSavePalette palette : palettes)
    plans.push_back(Redrawn(palette, format));
  return plans;
}

} // namespace

bool TSavePlan::NeedsSourcePalette() const {
  return Format != pf24bit && (Palette == P::Own || Palette == P::OwnWidened);
}

TSavePlan PlanBitmapSave(int depthCode, int targetDepthCode, int choice) {
  if (depthCode == kDepthCodeDevice)
    return Redrawn(P::None, PixelFormatOfDepthCode(targetDepthCode));
  // The window offers the dithering choices to sources deeper than 8 bits.
  const std::vector<TSavePlan> plans = Choices(depthCode > kDepthCode8, targetDepthCode);
  if (choice < 0 || choice >= static_cast<int>(plans.size()))
    return Redrawn(P::None, PixelFormatOfDepthCode(targetDepthCode));
  return plans[static_cast<size_t>(choice)];
}

bool PlanFitsSource(const TSavePlan& plan, const TBitmap& source) {
  return !plan.NeedsSourcePalette() || !SourcePalette(source).IsNull();
}

} // namespace kestrel
