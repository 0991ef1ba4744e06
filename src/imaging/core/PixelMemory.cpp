#include "imaging/core/PixelMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kestrel {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below this a picture fits in a few ordinary pages' worth of faults; rounding it up to a huge
// page would waste more than it saves.
constexpr size_t kHugeFrom = size_t{8} << 20;

std::shared_ptr<uint8_t[]> AllocateOnHugePages(size_t bytes) {
#if defined(__linux__)
  const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = std::aligned_alloc(kHugePage, rounded);
  if (!memory) return {};
  ::madvise(memory, rounded, MADV_HUGEPAGE); // only a hint: without huge pages it stays as it is
  return std::shared_ptr<uint8_t[]>(static_cast<uint8_t*>(memory),
                                    [](uint8_t* p) { std::free(p); });
#else
  (void)bytes;
  return {};
#endif
}

} // namespace

std::shared_ptr<uint8_t[]> AllocatePixelMemory(size_t bytes, bool clear) {
  if (bytes >= kHugeFrom) {
    if (auto memory = AllocateOnHugePages(bytes)) {
      if (clear) std::memset(memory.get(), 0, bytes);
      return memory;
    }
  }
  return std::shared_ptr<uint8_t[]>(clear ? new (std::nothrow) uint8_t[bytes]()
                                          : new (std::nothrow) uint8_t[bytes]);
}

} // namespace kestrel
