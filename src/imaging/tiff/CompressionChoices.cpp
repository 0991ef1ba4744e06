#include "imaging/tiff/CompressionChoices.h"

#include "imaging/tiff/TiffCompression.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr int kTiffResults[] = {tcNone, tcPackbits, tcZLib, tcJpeg};

} // namespace

TCompressChoices::TCompressChoices(TCompressUse use, int depthCode, int paletteColors,
                                   bool synthesized)
    : use_(use), depthCode_(depthCode), paletteColors_(paletteColors), synthesized_(synthesized) {}

std::string TCompressChoices::Caption() const {
  switch (use_) {
  case TCompressUse::Tiff:
    return "TIFF Compression";
  case TCompressUse::Png:
    return "PNG Compression";
  case TCompressUse::Bmp:
    break;
  }
  return "BMP Save Palette";
}

std::string TCompressChoices::Prompt() const {
  return use_ == TCompressUse::Bmp ? "Select Palette Type" : "Select Compression Type";
}

int TCompressChoices::HelpContext() const {
  switch (use_) {
  case TCompressUse::Tiff:
    return 13960;
  case TCompressUse::Png:
    return 13950;
  case TCompressUse::Bmp:
    break;
  }
  return 13970;
}

std::string TCompressChoices::PaletteText() const {
  return "Image has " + std::to_string(paletteColors_) + " Color" +
         (synthesized_ ? " Synthesized" : "") + " Palette";
}

bool TCompressChoices::SetDepth(const std::string& depth) {
  const std::vector<std::string> known = DepthItems();
  if (depth == depth_ || std::find(known.begin(), known.end(), depth) == known.end()) return false;
  depth_ = depth;
  return use_ == TCompressUse::Bmp;
}

int TCompressChoices::DepthCode() const {
  return depth_ == "4" ? kDepthCode4 : depth_ == "8" ? kDepthCode8 : kDepthCode24;
}

std::vector<std::string> TCompressChoices::Items() const {
  switch (use_) {
  case TCompressUse::Tiff:
    return {"No Compression", "Packbits", "ZLib", "JPEG"};
  case TCompressUse::Png:
    return {"Low", "Medium", "High"};
  case TCompressUse::Bmp:
    break;
  }
  return BmpItems();
}

std::vector<std::string> TCompressChoices::BmpItems() const {
  // Sources deeper than 8 bits also get the choices that reduce colours by dithering.
  const bool deep = depthCode_ > kDepthCode8;
  std::vector<std::string> items;
  const auto add = [&items](bool when, const char* item) {
    if (when) items.emplace_back(item);
  };
  if (depth_ == "4") {
    items = {"Image Own Palette", "Octree Palette - no dither", "Windows Default palette",
             "WinWeb Palette"};
  } else if (depth_ == "8") {
    add(deep, "Optimized/Floyd Steinberg Dither");
    items.insert(items.end(), {"Image Own Palette", "WinOctree Palette - no dither",
                               "Windows Default palette", "WinWeb Palette"});
    add(deep, "Octree with F/S dither");
  } else {
    items = {"No Palette", "Image Own Palette"};
    add(deep, "WinOctree Palette - no dither");
    items.insert(items.end(), {"Windows Default palette", "WinWeb Palette"});
  }
  return items;
}

int TCompressChoices::Result(bool accepted, int itemIndex) const {
  const int count = static_cast<int>(Items().size());
  if (!accepted || itemIndex < 0 || itemIndex >= count) return kCancelled;
  return use_ == TCompressUse::Tiff ? kTiffResults[itemIndex] : itemIndex;
}

} // namespace kestrel
