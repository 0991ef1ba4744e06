#pragma once
// Memory for pixel rows. Large pictures take whole huge pages where the system offers them: the
// first touch of a 70 MB picture then costs a few dozen faults instead of some seventeen
// thousand, which otherwise take longer than filling the memory.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kestrel {

// bytes of pixel memory, zeroed when clear is set; empty when the system has no memory to give.
// Clearing costs next to nothing where the memory comes fresh from the system, which hands it
// out zeroed.
std::shared_ptr<uint8_t[]> AllocatePixelMemory(size_t bytes, bool clear);

} // namespace kestrel
