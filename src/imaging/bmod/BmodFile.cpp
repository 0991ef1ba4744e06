#include "imaging/bmod/BmodFile.h"

#include <algorithm>

namespace kestrel {

int64_t TBmodFile::Size() {
  const int64_t here = Seek(0, TSeekOrigin::Current);
  const int64_t size = Seek(0, TSeekOrigin::End);
  Seek(here, TSeekOrigin::Begin);
  return size;
}

TBmodStreamFile::TBmodStreamFile(TStream& stream)
    : stream_(stream), start_(stream.Position()), end_(-1) {}

TBmodStreamFile::TBmodStreamFile(TStream& stream, int64_t start, int64_t end)
    : stream_(stream), start_(start), end_(end) {
  stream_.SetPosition(start_);
}

int64_t TBmodStreamFile::End() {
  return end_ >= 0 ? end_ : std::max(start_, stream_.Size());
}

int64_t TBmodStreamFile::Read(void* buffer, int64_t count) {
  const int64_t left = End() - stream_.Position();
  if (count <= 0 || left <= 0) return 0;
  return stream_.Read(buffer, std::min(count, left));
}

int64_t TBmodStreamFile::Write(const void* buffer, int64_t count) {
  return stream_.Write(buffer, count);
}

int64_t TBmodStreamFile::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = start_;
  if (origin == TSeekOrigin::Current) base = stream_.Position();
  if (origin == TSeekOrigin::End) base = End();
  int64_t target = 0;
  if (__builtin_add_overflow(base, offset, &target) || target < start_) return -1;
  return stream_.Seek(target, TSeekOrigin::Begin) - start_;
}

} // namespace kestrel
