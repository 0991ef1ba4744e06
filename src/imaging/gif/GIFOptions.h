#pragma once
// The settings of a GIF image: how it is drawn and animated, how bitmaps are reduced to its colour
// tables and how its pixels are compressed. New images take the class-wide defaults, which the
// program adjusts once at start-up.

#include "imaging/core/Color.h"
#include "imaging/gif/GIFFrameCoder.h"

#include <cstdint>

namespace kestrel {

// Draw options, a bit set.
enum TGIFDrawOption : uint16_t {
  gdAsync = 0x0001,           // the painter runs in a thread of its own
  gdTransparent = 0x0002,     // frames are drawn through their transparency masks
  gdAnimate = 0x0004,         // show every frame, not just the first
  gdLoop = 0x0008,            // with gdAnimate: repeat the animation
  gdLoopForever = 0x0010,     // repeat without end, whatever the loop count says
  gdCheckCanvas = 0x0020,     // stop when the target canvas loses its device
  gdDirect = 0x0040,          // draw on the caller's canvas, not through the image's own bitmap
  gdClearOnPass = 0x0080,     // restore the frame area to the background at each pass
  gdTile = 0x0100,            // tile frames over the target rectangle
  gdDither = 0x0200,          // render frames dithered onto a 216-colour cube
  gdDitherPalDevice = 0x0400, // with gdDither: only on palette devices, which are never reported
};
using TGIFDrawOptions = uint16_t;

struct TGIFOptions {
  TGIFDrawOptions DrawOptions = 0x068F;
  int ColorReduction = 6; // reduction mode code of the colour reducer (web cube)
  int ReductionBits = 8;  // 3..8
  int DitherMode = 0;     // dither mode code of the colour reducer (none)
  TGIFCompression Compression = TGIFCompression::LZW;
  int ThreadPriority = 3;          // normal
  int AnimationSpeed = 100;        // percent
  TColor BackgroundColor = clNone; // clNone: the background index's colour, or the window colour
};

// The defaults new images take (not locked: set them before images are made).
TGIFOptions& GIFDefaults();
// The program's start-up changes to the defaults: drawn transparently without dithering, and
// bitmaps reduced to an octree palette with the system colours, 8 bits per pixel.
void ApplyProgramGIFDefaults();

} // namespace kestrel
