#include "imaging/bmod/BmodOutput.h"

#include "imaging/bmod/BitmapModule.h"

namespace kestrel {

void TBmodOutput::Put(const void* data, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  buffer_.insert(buffer_.end(), bytes, bytes + count);
  FlushIfFull();
}

void TBmodOutput::Flush() {
  if (!file_.WriteExact(buffer_.data(), static_cast<int64_t>(buffer_.size())))
    BmodFail(TBmodError::WriteFailed);
  buffer_.clear();
}

} // namespace kestrel
