#include "app/view/DrawingPalette.h"

#include "app/view/ImageKind.h"
#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Graphic.h"

namespace kestrel {

const TPalette& Palette236() {
  static const TPalette palette = [] {
    const TPalette& system = SystemPalette20();
    TPalette p = TPalette::Black(236);
    int i = 0;
    for (int s = 0; s < 10; ++s)
      p[i++] = system[s];
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          p[i++] = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                    static_cast<uint8_t>(b * 51), 0};
    for (int s = 10; s < 20; ++s)
      p[i++] = system[s];
    return p;
  }();
  return palette;
}

TPalette DrawingPalette(const TGraphic& graphic, const TDrawingPaletteChoice& choice) {
  switch (choice.ImageKind) {
  case ikWmf:
  case ikEmf:
    return Palette236();
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
