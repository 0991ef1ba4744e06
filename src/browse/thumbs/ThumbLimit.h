#pragma once
// The gallery's memory limit: how many tiles of S x S pixels at the display's depth fit in it.

#include <cstdint>
#include <string>

namespace kestrel {

// Without a limit of the user's: 12 MiB, in bits.
constexpr uint64_t kPresetLimitBits = 100663296;

// The limit in bits from the user's text of megabytes (digits with at most one "."; "1.5" is
// 1 500 000 bytes); empty, 0 or unreadable text is the preset. Huge values are clamped, never
// wrapped.
uint64_t ThumbLimitBits(const std::string& megabytes);

// The most tiles of size x size at bitsPerPixel within the limit (at most INT_MAX).
int ThumbMaximumCount(const std::string& megabytes, int size, int bitsPerPixel);

// Whether text may stand in the limit field: digits and at most one ".", and without a "." at
// most three digits.
bool AcceptableLimitText(const std::string& text);

} // namespace kestrel
