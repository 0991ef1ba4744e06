#include "processing/canvas/CanvasSize.h"

#include "imaging/core/DefaultPalettes.h"
#include "imaging/core/Exceptions.h"
#include "imaging/core/ImageLimits.h"
#include "platform/text/SizeText.h"
#include "processing/colour/FixedPalettes.h"

#include <algorithm>
#include <limits>

namespace kestrel {

std::optional<int64_t> CanvasFieldNumber(const QString& text) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  const bool negative = t.startsWith('-');
  if (negative || t.startsWith('+')) i = 1;
  if (i == t.size()) return std::nullopt;
  int64_t value = 0;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
    const int digit = t[i].unicode() - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return negative ? -value : value;
}

int64_t RequestedSide(const QString& text) {
  return std::clamp<int64_t>(CanvasFieldNumber(text).value_or(1), 0, ImageLimits::kMaxDimension);
}

int ClampedSide(const QString& text) {
  return static_cast<int>(
      std::clamp<int64_t>(CanvasFieldNumber(text).value_or(1), kMinCanvasSide, kMaxCanvasSide));
}

bool SideInRange(const QString& text) {
  const auto number = CanvasFieldNumber(text);
  return number && *number >= kMinCanvasSide && *number <= kMaxCanvasSide;
}

int64_t CanvasBytes(int64_t width, int64_t height, int bits) {
  return width * height * bits / 8;
}

QString CanvasMemoryText(int64_t width, int64_t height, int bits) {
  return SizeText(0, CanvasBytes(width, height, bits));
}

QString CanvasPaletteText(TCanvasPalette palette) {
  switch (palette) {
  case TCanvasPalette::Color16:
    return "16 color palette";
  case TCanvasPalette::Color20:
    return "20 color palette";
  case TCanvasPalette::WinWeb:
    return "Winweb palette";
  case TCanvasPalette::Image:
    return "Image  palette";
  case TCanvasPalette::None:
    break;
  }
  return "no palette";
}

std::vector<TCanvasPalette> CanvasPaletteChoices(int bits, bool imagePalette, int screenDepth) {
  using P = TCanvasPalette;
  if (bits == 4) return {P::Color16};
  std::vector<P> choices;
  if (bits > 8 && screenDepth > 8) choices.push_back(P::None);
  choices.insert(choices.end(), {P::Color16, P::Color20, P::WinWeb});
  if (imagePalette) choices.push_back(P::Image);
  return choices;
}

TPalette MakeCanvasPalette(TCanvasPalette palette, const TPalette& imagePalette) {
  switch (palette) {
  case TCanvasPalette::Color16:
    return SystemPalette16();
  case TCanvasPalette::Color20:
    return MakeDefaultPalette256();
  case TCanvasPalette::WinWeb:
    return MakePalette236();
  case TCanvasPalette::Image:
    return imagePalette;
  case TCanvasPalette::None:
    break;
  }
  return {};
}

int CanvasBitsOf(TPixelFormat format) {
  const int bits = PixelFormatBits(format);
  return bits == 4 || bits == 8 || bits == 16 || bits == 24 ? bits : 0;
}

bool CanvasFits(int width, int height, int bits) {
  return width >= kMinCanvasSide && width <= kMaxCanvasSide && height >= kMinCanvasSide &&
         height <= kMaxCanvasSide && ImageLimits::Fits(width, height, bits);
}

std::unique_ptr<TBitmap> ResizedCanvas(const TBitmap& picture, int width, int height, TColor fill) {
  if (!CanvasFits(width, height, std::max(picture.BitsPerPixel(), 1)))
    throw EInvalidGraphic("Canvas too large");
  auto canvas = std::make_unique<TBitmap>();
  canvas->Assign(&picture); // shares the pixels until the new size is made
  canvas->Canvas().Brush.Color = fill;
  canvas->SetSize(width, height);
  return canvas;
}

std::unique_ptr<TBitmap> EmptyCanvas(int width, int height, int bits, const TPalette& palette,
                                     TColor fill) {
  if (!CanvasFits(width, height, bits)) throw EInvalidGraphic("Canvas too large");
  auto canvas = std::make_unique<TBitmap>();
  canvas->SetPixelFormat(PixelFormatOfBits(bits));
  if (palette) canvas->SetPalette(palette);
  canvas->Canvas().Brush.Color = fill;
  canvas->SetSize(width, height);
  return canvas;
}

} // namespace kestrel
