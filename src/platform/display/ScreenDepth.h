#pragma once
// The screen's colour depth, the one place the program and the image model ask for it: device
// bitmaps made "compatible with the screen", the palette paths of screens of 8 bits or fewer, the
// start-up refusal and the depth of a capture all follow it.

namespace kestrel {

// Bits per pixel of the screen: KESTREL_SCREEN_DEPTH when it holds a number from 1 to 32 and
// nothing else (so the paths for 4-, 8- and 16-bit screens can run anywhere), else the primary
// screen's depth when a QGuiApplication exists, else 32.
int ScreenDepth();

} // namespace kestrel
