#pragma once

namespace kestrel {

// Bits per pixel of the screen. KESTREL_SCREEN_DEPTH, when set to a positive number, stands in
// for the screen's own depth, so the paths for 4-, 8- and 16-bit screens can run anywhere.
int ScreenDepth();

} // namespace kestrel
