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
//   convert INPUT OUTPUT reads INPUT by its extension and writes OUTPUT by its own
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kestrel
