#include "imaging/metafile/MetaText.h"

#include <algorithm>
#include <array>

namespace kestrel {

namespace {

// Characters 0x80..0x9F; the five unassigned codes stand for themselves.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

std::u16string DecodeAnsiText(std::span<const uint8_t> bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (const uint8_t b : bytes)
    text.push_back(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : static_cast<char16_t>(b));
  return text;
}

std::optional<std::vector<uint8_t>> EncodeAnsiText(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size());
  for (const char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      bytes.push_back(static_cast<uint8_t>(c));
      continue;
    }
    const auto* found = std::find(kHighControls.begin(), kHighControls.end(), c);
    if (found == kHighControls.end()) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(0x80 + (found - kHighControls.begin())));
  }
  return bytes;
}

} // namespace kestrel
