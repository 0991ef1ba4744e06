#pragma once
// Red-green-blue rows (as files hold them) to the blue-green-red order of true-colour pictures,
// and back: the same exchange of the first and third byte of every pixel.

#include <cstddef>
#include <cstdint>

namespace kestrel {

// Writes count three-byte pixels of from to to with their first and third bytes exchanged. from
// and to are either the same row or do not overlap.
void SwapRedAndBlue(const uint8_t* from, uint8_t* to, size_t count);

} // namespace kestrel
