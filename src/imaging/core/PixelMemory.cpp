#include "imaging/core/PixelMemory.h"

#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace kestrel {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// Below this a picture fits in a few ordinary pages' worth of faults; rounding it up to a huge
// page would waste more than it saves.
constexpr size_t kHugeFrom = size_t{8} << 20;

// A fresh mapping, aligned to a huge page so that the system can back it with huge pages. The
// system hands it out zeroed, so it never needs clearing.
std::shared_ptr<uint8_t[]> AllocateOnHugePages(size_t bytes) {
#if defined(__linux__)
  const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  const size_t span = rounded + kHugePage;
  void* mapped = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return {};
  auto* base = static_cast<uint8_t*>(mapped);
  const size_t misalignment = reinterpret_cast<uintptr_t>(base) % kHugePage;
  const size_t head = misalignment ? kHugePage - misalignment : 0;
  if (head) ::munmap(base, head);
  if (span - head > rounded) ::munmap(base + head + rounded, span - head - rounded);
  uint8_t* memory = base + head;
  ::madvise(memory, rounded, MADV_HUGEPAGE); // only a hint: without huge pages it stays as it is
  return std::shared_ptr<uint8_t[]>(memory, [rounded](uint8_t* p) { ::munmap(p, rounded); });
#else
  (void)bytes;
  return {};
#endif
}

} // namespace

std::shared_ptr<uint8_t[]> AllocatePixelMemory(size_t bytes, bool clear) {
  if (bytes >= kHugeFrom) {
    if (auto memory = AllocateOnHugePages(bytes)) return memory;
  }
  // calloc skips the clearing where the block is fresh from the system.
  void* memory = clear ? std::calloc(bytes, 1) : std::malloc(bytes);
  if (!memory) return {};
  return std::shared_ptr<uint8_t[]>(static_cast<uint8_t*>(memory),
                                    [](uint8_t* p) { std::free(p); });
}

} // namespace kestrel
