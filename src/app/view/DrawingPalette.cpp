#include "app/view/DrawingPalette.h"

#include "app/view/ImageKind.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Graphic.h"
#include "processing/colour/FixedPalettes.h"

namespace kestrel {

TPalette DrawingPalette(const TGraphic& graphic, const TDrawingPaletteChoice& choice) {
  switch (choice.ImageKind) {
  case ikWmf:
  case ikEmf:
    return MakePalette236();
  case ikIcon:
    return SystemPalette16();
  case ikGif:
    if (choice.Animated && !choice.GifPalettes) return {};
    return graphic.Palette();
  default:
    return graphic.Palette();
  }
}

} // namespace kestrel
