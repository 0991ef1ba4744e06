#include "app/save/Redraw.h"

#include "imaging/core/DefaultPalettes.h"
#include "processing/colour/FixedPalettes.h"
#include "processing/colour/ReduceToPalette.h"

#include <span>

namespace kestrel {

namespace {

constexpr int kOctreeColors16 = 16;
constexpr int kOctreeBits16 = 4;
constexpr int kOctreeColors256 = 256;
constexpr int kOctreeBits256 = 8;

} // namespace

TPalette SourcePalette(const TBitmap& source) {
  if (!source.OwnPalette().IsNull()) return source.OwnPalette();
  const int bits = source.BitsPerPixel();
  if (bits > 8) return {};
  const TColorTable& table = source.ColorTable();
  TPalette palette = TPalette::Black(1 << bits);
  for (int i = 0; i < palette.Count(); ++i)
    palette.SetColor(i, ColorOfPixel(table.Colors[i]));
  return palette;
}

TPalette ResolveSavePalette(TSavePalette choice, const TBitmap& source, TPixelFormat target) {
  switch (choice) {
  case TSavePalette::None:
    return {};
  case TSavePalette::Own:
    return SourcePalette(source);
  case TSavePalette::OwnWidened: {
    TPalette palette = SourcePalette(source);
    if (!palette.IsNull()) palette.Resize(TPalette::kMaxEntries);
    return palette;
  }
  case TSavePalette::Octree16:
    return BuildOctreePalette(source, kOctreeColors16, kOctreeBits16, false);
  case TSavePalette::Octree256:
    return BuildOctreePalette(source, kOctreeColors256, kOctreeBits256, true);
  case TSavePalette::Default:
    return target == pf4bit ? SystemPalette16() : MakeDefaultPalette256();
  case TSavePalette::Web:
    return MakePalette236();
  }
  return {};
}

std::unique_ptr<TBitmap> Redraw(const TBitmap& source, TPixelFormat format, const TPalette& palette,
                                TColor background) {
  auto target = std::make_unique<TBitmap>();
  const int width = source.Width();
  const int height = source.Height();
  target->NewImage(width, height, format, palette);
  TCanvas& canvas = target->Canvas();
  canvas.Brush.Color = background;
  canvas.Brush.Style = bsSolid;
  canvas.FillRect({0, 0, width, height});
  canvas.CopyMode = cmSrcCopy;
  canvas.CopyRect({0, 0, width, height}, const_cast<TBitmap&>(source).Canvas(),
                  {0, 0, width, height});
  return target;
}

bool IsRedrawnAsItIs(const TBitmap& source, TPixelFormat format, const TPalette& palette) {
  return source.PixelFormat() == format && source.OwnPalette() == palette;
}

std::unique_ptr<TBitmap> SharedCopy(const TBitmap& source) {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(&source);
  copy->SetPelsPerMeter(0, 0);
  copy->SetIgnorePalette(false);
  copy->SetTransparent(false);
  copy->SetTransparentMode(tmAuto);
  return copy;
}

} // namespace kestrel
