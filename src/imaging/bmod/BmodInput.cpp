#include "imaging/bmod/BmodInput.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

TBmodInput::TBmodInput(TBmodFile& file, int64_t start, int64_t end)
    : file_(file), buffer_(std::make_unique<uint8_t[]>(kBufferSize)) {
  const int64_t size = file.Size();
  const int64_t last = end < 0 ? size : std::min(end, size);
  const int64_t at = file.Seek(start, TSeekOrigin::Begin);
  left_ = at == start ? std::max<int64_t>(0, last - start) : 0;
}

size_t TBmodInput::Fill(size_t count) {
  count = std::min(count, kBufferSize);
  if (Available() >= count || left_ == 0) return Available();
  const size_t kept = Available();
  std::memmove(buffer_.get(), Data(), kept);
  position_ = 0;
  filled_ = kept;
  const int64_t want = std::min<int64_t>(left_, static_cast<int64_t>(kBufferSize - kept));
  const int64_t got = file_.Read(buffer_.get() + kept, want);
  // A short read ends the range: the file is shorter than it said.
  left_ = got == want ? left_ - got : 0;
  filled_ += static_cast<size_t>(std::max<int64_t>(0, got));
  return Available();
}

bool TBmodInput::ReadExact(uint8_t* out, size_t count) {
  while (count > 0) {
    if (Available() == 0 && Fill(kBufferSize) == 0) return false;
    const size_t take = std::min(count, Available());
    std::memcpy(out, Data(), take);
    Consume(take);
    out += take;
    count -= take;
  }
  return true;
}

} // namespace kestrel
