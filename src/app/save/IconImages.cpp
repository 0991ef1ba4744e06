#include "app/save/IconImages.h"

#include "imaging/core/DefaultPalettes.h"

namespace kestrel {

namespace {

std::unique_ptr<TBitmap> Filled(TPixelFormat format, const TPalette& palette, TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->NewImage(kSavedIconSize, kSavedIconSize, format, palette);
  bitmap->Canvas().Brush.Color = color;
  bitmap->Canvas().Brush.Style = bsSolid;
  bitmap->Canvas().FillRect({0, 0, kSavedIconSize, kSavedIconSize});
  return bitmap;
}

} // namespace

TIconImages MakeIconImages(const TBitmap& source, TColor frameColor, bool transparent) {
  const TColor frame = ColorToRgb(frameColor);
  TIconImages images{Filled(pf24bit, {}, frame), Filled(pf1bit, BlackWhitePalette(), clBlack)};
  TCanvas& color = images.Color->Canvas();
  const bool larger = source.Width() > kSavedIconSize || source.Height() > kSavedIconSize;
  const TRect target = larger ? TRect{0, 0, kSavedIconSize, kSavedIconSize}
                              : TRect{0, 0, source.Width(), source.Height()};
  color.StretchMode = smDeleteScans;
  color.CopyMode = cmSrcCopy;
  color.CopyRect(target, const_cast<TBitmap&>(source).Canvas(),
                 {0, 0, source.Width(), source.Height()});
  if (!transparent) return images;
  TCanvas& mask = images.Mask->Canvas();
  for (int y = 0; y < kSavedIconSize; ++y)
    for (int x = 0; x < kSavedIconSize; ++x)
      if (color.Pixel(x, y) == frame) {
        color.SetPixel(x, y, clBlack);
        mask.SetPixel(x, y, clWhite);
      }
  return images;
}

} // namespace kestrel
