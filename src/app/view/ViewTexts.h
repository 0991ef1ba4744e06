#pragma once
// The information texts of the viewer: sizes, pixel formats, the caption and the description the
// Space key shows.

#include <QString>

#include <cstdint>

namespace kestrel {

class TGraphic;

// What a size text is about; its prefix.
enum TSizeKind : int {
  skPlain = 0,      // no prefix
  skFile = 1,       // "Size: "
  skFreeSpace = 2,  // "Space Free: "
  skImageMemory = 3 // "Memory Size of Image: "
};
// A byte count as "Size: 1.5 KB": " Bytes", or divided by 1024 " KB", or again " MB", with up to
// two decimals and no trailing zeros. 0 gives "".
QString SizeText(int kind, int64_t bytes);

// " ( 24 bits/pixel )" for a device bitmap, a JPEG, a GIF or an image-library picture; "" for
// any other graphic.
QString PixelFormatText(const TGraphic* graphic);

// "(Magn 2:1, Scale 1:1) - path".
QString CaptionText(int magnification, int reduction, const QString& path);

// "256 Color Palette", "256 Color Synthesized Palette", or "No Palette" for 0 entries.
QString PaletteText(int entries, bool synthesized);

// "Editor Image: " + the file's name without folder or extension + " " + the pixel-format text +
// " - " + the palette text.
QString ImageDescriptionText(const QString& path, const QString& pixelFormatText,
                             const QString& paletteText);

} // namespace kestrel
