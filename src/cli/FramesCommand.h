#pragma once
// kestrel-tool frames: the frames of an animated GIF as the viewer shows them, each composed over
// what the frames before it left (after their disposal), written as BMP files with a list of the
// waits between them.

#include <iosfwd>
#include <string>

namespace kestrel {

// Plays input once and writes folder/frame-NNN.bmp for every frame (24 bits, the logical screen)
// and folder/delays.txt with one line per frame: its file name and the milliseconds the painter
// waits after it. The folder is made when missing. Errors raise the library's exceptions.
void WriteFrames(const std::string& input, const std::string& folder, std::ostream& out);

} // namespace kestrel
