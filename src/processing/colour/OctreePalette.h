#pragma once
// The optimised palette of a picture, built by the octree quantizer over its pixels.

#include "imaging/core/Palette.h"

#include <cstdint>
#include <functional>

namespace kestrel {

// Hands out row y (0 = top) of a picture as 24-bit blue-green-red pixels.
using TBgrRowSource = std::function<const uint8_t*(int y)>;

// Palette of a width x height picture read top to bottom. With systemColors: 256 entries, the
// first ten system colours at 0..9, the last ten at 246..255 and up to 236 quantized colours
// between. Without: exactly colors entries (taken in 0..256), quantized colours from entry 0.
// Entries without a quantized colour stay black. colorBits is the tree depth (1..8).
TPalette OctreePalette(int width, int height, const TBgrRowSource& rows, int colors, int colorBits,
                       bool systemColors);

} // namespace kestrel
