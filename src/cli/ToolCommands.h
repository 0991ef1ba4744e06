#pragma once
// The commands of kestrel-tool. Readers and writers are picked through the picture registry by
// file extension, so a codec that registers itself is usable here without changes.

#include <iosfwd>
#include <string>
#include <vector>

namespace kestrel {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // reading or writing failed; the codec's message is on err
constexpr int kExitUsage = 2;

// Runs kestrel-tool with args (without the program name):
//   info FILE            format, size, bits per pixel, palette entries and frames of FILE
//   convert INPUT OUTPUT reads INPUT by its extension and writes OUTPUT by its own; options:
//     --tiff-compression none|packbits|g3|g3-2d|g4|zlib|jpeg  the compression of a TIFF output
//     (by default Group 4 for black and white, Packbits otherwise; a kind the picture's format
//     does not take fails with the codec's message)
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kestrel
