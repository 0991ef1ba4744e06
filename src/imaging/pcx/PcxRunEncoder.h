#pragma once
// Run-length coding of one PC Paintbrush line: runs of up to 63 equal bytes. A run longer than one
// byte, or a single byte of 0xC0 or more (which would read as a count), is written as 0xC0 + count
// followed by the byte; other bytes are written as they are. Runs never cross a line.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel {

// Appends the coded form of line[0..count) to out.
void EncodePcxLine(const uint8_t* line, size_t count, std::vector<uint8_t>& out);

} // namespace kestrel
