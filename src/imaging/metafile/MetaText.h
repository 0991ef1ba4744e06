#pragma once
// Text of metafile records: plain metafiles and the 8-bit text records hold Windows-1252 text,
// the enhanced text records UTF-16.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

std::u16string DecodeAnsiText(std::span<const uint8_t> bytes);
// The 8-bit form of text, or nothing when a character has none.
std::optional<std::vector<uint8_t>> EncodeAnsiText(const std::u16string& text);

} // namespace kestrel
