#include "app/view/PaletteSynthesis.h"

#include "imaging/core/Bitmap.h"
#include "imaging/core/Exceptions.h"
#include "processing/colour/ReduceToPalette.h"

namespace kestrel {
namespace {

// The 256 colours of a palette screen, its 20 static colours among them.
constexpr int kColors = 256;
constexpr int kColorBits = 8;

} // namespace

bool NeedsSynthesizedPalette(const TGraphic& graphic, int screenDepth) {
  const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic);
  return bitmap && screenDepth <= 8 && !bitmap->Empty() && bitmap->BitsPerPixel() > 8 &&
         bitmap->Palette().IsNull();
}

TSynthesis SynthesizePalette(TGraphic& graphic, int screenDepth, bool preservePixels) {
  TSynthesis result;
  if (!NeedsSynthesizedPalette(graphic, screenDepth)) return result;
  auto& bitmap = static_cast<TBitmap&>(graphic);
  try {
    if (preservePixels) {
      const std::unique_ptr<TBitmap> reduced =
          ReduceToPalette(bitmap, rmQuantizeWindows, dmFloydSteinberg, kColorBits, {});
      if (!reduced || reduced->Empty()) throw EInvalidGraphic("Cannot reduce the colours");
      bitmap.Assign(reduced.get());
    } else {
      const TPalette palette = BuildOctreePalette(bitmap, kColors, kColorBits, true);
      bitmap.SetIgnorePalette(false);
      bitmap.SetPalette(palette);
    }
    result.Synthesized = true;
  } catch (const std::exception& error) {
    result.Error = QString::fromStdString(error.what());
  }
  return result;
}

} // namespace kestrel
