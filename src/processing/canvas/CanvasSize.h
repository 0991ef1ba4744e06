#pragma once
// The canvas of the shown picture: made larger or smaller with the picture kept at the top-left,
// or replaced by an empty canvas of a chosen size, depth and palette. Also what the "New Canvas"
// window's fields and lists mean, so that it can be checked without a window.

#include "imaging/core/Bitmap.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kestrel {

constexpr int kMinCanvasSide = 1;
constexpr int kMaxCanvasSide = 5000;

// The whole number a size field holds (surrounding blanks allowed, a sign too); nothing for any
// other text. A number of more digits than a 64-bit value holds saturates.
std::optional<int64_t> CanvasFieldNumber(const QString& text);
// The side a field asks for while it is typed: its number, or 1 when it holds none; kept within
// 0 and the largest side a picture may have, so that the memory size stays meaningful.
int64_t RequestedSide(const QString& text);
// A field's side clamped to 1..5000 (a text that is no number counts as 1).
int ClampedSide(const QString& text);
// Whether the field already holds a side of 1..5000.
bool SideInRange(const QString& text);

// Bytes of a width x height canvas at bits per pixel (width x height x bits / 8), and the text
// the window shows for it ("2.86 MB", "128 Bytes", empty for 0).
int64_t CanvasBytes(int64_t width, int64_t height, int bits);
QString CanvasMemoryText(int64_t width, int64_t height, int bits);

enum class TCanvasPalette { Color16, Color20, WinWeb, Image, None };
// The list texts.
QString CanvasPaletteText(TCanvasPalette palette);
// The palettes offered for a bits choice (4, 8, 16 or 24): "Image  palette" only when the loaded
// picture has a palette, "no palette" first for 16 and 24 bits on a screen of more than 8 bits.
std::vector<TCanvasPalette> CanvasPaletteChoices(int bits, bool imagePalette, int screenDepth);
// The palette itself; Image is a copy of imagePalette, None the null palette.
TPalette MakeCanvasPalette(TCanvasPalette palette, const TPalette& imagePalette);

// The bits choice that matches a bitmap's format (0 for none: device-dependent, 32 bits and the
// rest).
int CanvasBitsOf(TPixelFormat format);

// Whether a canvas of that size and depth may be made at all: the sides within 1..5000 and the
// pixels within the memory limit.
bool CanvasFits(int width, int height, int bits);

// A copy of picture with the canvas set to width x height: the pixels keep their place from the
// top-left, new area is fill, a smaller size cuts off the right and bottom. The picture itself is
// never touched; raises EInvalidGraphic when the new pixels cannot be had.
std::unique_ptr<TBitmap> ResizedCanvas(const TBitmap& picture, int width, int height, TColor fill);
// A width x height canvas of the bits choice, all fill (the nearest palette entry for a palette
// format), with palette. Raises EInvalidGraphic when the pixels cannot be had.
std::unique_ptr<TBitmap> EmptyCanvas(int width, int height, int bits, const TPalette& palette,
                                     TColor fill);

} // namespace kestrel
