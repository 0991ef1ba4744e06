#include "imaging/metafile/MetaReader.h"

#include "imaging/metafile/EmfReader.h"
#include "imaging/metafile/WmfReader.h"

namespace kestrel {

std::unique_ptr<TMetaReader> OpenMetaReader(std::span<const uint8_t> bytes) {
  if (TEmfReader::Recognizes(bytes)) return std::make_unique<TEmfReader>(bytes);
  return std::make_unique<TWmfReader>(bytes);
}

uint32_t TMetaSlots::Allocate() {
  if (!free_.empty()) {
    const uint32_t slot = *free_.begin();
    free_.erase(free_.begin());
    return slot + 1;
  }
  return ++next_;
}

void TMetaSlots::Free(uint32_t handle) {
  if (handle == 0 || handle > next_) return;
  free_.insert(handle - 1);
}

bool TMetaSlots::InUse(uint32_t handle) const {
  return handle > 0 && handle <= next_ && !free_.count(handle - 1);
}

} // namespace kestrel
