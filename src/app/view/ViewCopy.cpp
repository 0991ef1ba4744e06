#include "app/view/ViewCopy.h"

#include "app/view/ImageKind.h"
#include "imaging/core/Graphic.h"
#include "imaging/jpeg/JpegImage.h"
#include "processing/colour/FixedPalettes.h"
#include "processing/resample/Halving.h"

namespace kestrel {
namespace {

bool IsPaletteFormat(TPixelFormat format) {
  return format == pf1bit || format == pf4bit || format == pf8bit;
}

// The full-size picture as the path puts it in the view copy.
void FullSize(TBitmap& view, TGraphic& graphic, const TViewCopySettings& settings) {
  if (settings.Path == TDrawPath::Draw)
    DrawFullSize(view, graphic, settings.Background, DrawingPalette(graphic, settings.Palette));
  else
    view.Assign(&graphic);
}

void Reduce(TBitmap& view, TGraphic& graphic, const TViewCopySettings& settings,
            TViewCopyState& state) {
  const int reduction = settings.Reduction;
  const int target = graphic.Height() / reduction;
  if (settings.Forced || state.Fitted || reduction < state.LastReduction) {
    const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic);
    if (settings.Path == TDrawPath::Copy && bitmap && bitmap->PixelFormat() == pf24bit) {
      // The copy would hold the same pixels: halve straight from the picture.
      HalveWhileAbove(*bitmap, view, target);
    } else {
      TBitmap full;
      full.Canvas().Brush.Color = settings.Background;
      FullSize(full, graphic, settings);
      full.SetPixelFormat(pf24bit);
      HalveWhileAbove(full, view, target);
    }
  } else {
    // The copy already reduced is halved further.
    TBitmap current;
    current.Assign(&view);
    HalveWhileAbove(current, view, target);
  }
  state.LastReduction = reduction;
  state.CopyReduction = reduction;
  const bool gifOwnPalettes = settings.Palette.ImageKind == ikGif &&
                              (settings.Palette.Animated || settings.Palette.GifPalettes);
  view.SetPalette(gifOwnPalettes ? MakePalette236() : graphic.Palette());
}

} // namespace

TDrawPath ChooseDrawPath(const TGraphic& graphic, const TDrawPathFacts& facts) {
  if (facts.PreservePixels) return TDrawPath::Draw;
  if (facts.Palette.ImageKind == ikGif && !facts.Palette.Animated && !facts.Palette.GifPalettes)
    return TDrawPath::Copy;
  if (dynamic_cast<const TJPEGImage*>(&graphic)) return TDrawPath::Jpeg;
  if (dynamic_cast<const TBitmap*>(&graphic) && !facts.Transparent && facts.ScreenDepth > 8)
    return TDrawPath::Copy;
  return TDrawPath::Draw;
}

void DrawFullSize(TBitmap& view, TGraphic& graphic, TColor background, const TPalette& palette) {
  const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic);
  const bool keepFormat =
      bitmap && (!IsPaletteFormat(bitmap->PixelFormat()) || !graphic.Transparent());
  view.Assign(nullptr);
  view.SetIgnorePalette(false);
  view.SetPixelFormat(keepFormat ? bitmap->PixelFormat() : pfDevice);
  view.SetPalette(palette);
  view.Canvas().Brush.Color = background;
  view.SetSize(graphic.Width(), graphic.Height());
  view.Canvas().Draw(0, 0, graphic);
}

void PictureAtFullSize(TBitmap& copy, TGraphic& graphic, TColor background,
                       const TDrawingPaletteChoice& choice) {
  if (auto* jpeg = dynamic_cast<TJPEGImage*>(&graphic))
    copy.Assign(&jpeg->Bitmap());
  else if (const auto* bitmap = dynamic_cast<const TBitmap*>(&graphic))
    copy.Assign(bitmap);
  else
    DrawFullSize(copy, graphic, background, DrawingPalette(graphic, choice));
}

void BuildViewCopy(TBitmap& view, TGraphic& graphic, const TViewCopySettings& settings,
                   TViewCopyState& state) {
  view.Canvas().Brush.Color = settings.Background;
  if (settings.Path == TDrawPath::Jpeg) {
    view.Assign(&graphic); // its own scale did any reduction
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic);
    state.CopyReduction = jpeg ? 1 << jpeg->Scale() : 1;
    state.Fitted = false;
    return;
  }
  if (settings.Path == TDrawPath::Draw) graphic.SetTransparent(settings.Transparent);
  if (settings.Reduction > 1 && CanReduce(graphic.Width(), graphic.Height(), settings.Reduction)) {
    Reduce(view, graphic, settings, state);
  } else {
    FullSize(view, graphic, settings);
    state.CopyReduction = 1;
  }
  state.Fitted = false;
}

void FitViewCopy(TBitmap& view, TGraphic& graphic, TSize size, TColor background,
                 const TPalette& palette, bool fill, TViewCopyState& state) {
  view.Assign(nullptr);
  view.SetIgnorePalette(false);
  view.SetPixelFormat(pfDevice);
  view.Canvas().Brush.Color = background;
  if (fill) view.SetPalette(palette);
  view.SetSize(size.Width, size.Height);
  const TRect whole{0, 0, view.Width(), view.Height()};
  try {
    view.Canvas().StretchDraw(whole, graphic);
  } catch (const std::exception&) {
    // Once more, with the size as the bitmap has it now.
    view.Canvas().StretchDraw({0, 0, view.Width(), view.Height()}, graphic);
  }
  state.Fitted = true;
  state.CopyReduction = 1;
}

} // namespace kestrel
