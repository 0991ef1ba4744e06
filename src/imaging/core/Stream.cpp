#include "imaging/core/Stream.h"

#include "imaging/core/Exceptions.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kestrel {

namespace {

int64_t clampedPosition(int64_t base, int64_t offset) {
  if (offset > 0 && base > INT64_MAX - offset) return INT64_MAX;
  return std::max<int64_t>(0, base + offset);
}

int64_t seekTarget(int64_t position, int64_t size, int64_t offset, TSeekOrigin origin) {
  switch (origin) {
  case TSeekOrigin::Begin:
    return std::max<int64_t>(0, offset);
  case TSeekOrigin::Current:
    return clampedPosition(position, offset);
  case TSeekOrigin::End:
    return clampedPosition(size, offset);
  }
  return position;
}

} // namespace

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count)
    throw EStreamError(WithSystemReason("Stream write error", ErrorNumber()));
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) count = source.Remaining();
  std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(count, 1 << 20)));
  int64_t copied = 0;
  while (copied < count) {
    const int64_t want = std::min<int64_t>(count - copied, static_cast<int64_t>(chunk.size()));
    source.ReadBuffer(chunk.data(), want);
    WriteBuffer(chunk.data(), want);
    copied += want;
  }
  return copied;
}

TFileStream::TFileStream(const std::string& path, TFileMode mode) : path_(path) {
  const char* how = mode == TFileMode::OpenRead ? "rb" : mode == TFileMode::Create ? "wb" : "r+b";
  file_ = std::fopen(path.c_str(), how);
  if (!file_) throw EStreamError("Cannot open file \"" + path + "\". " + std::strerror(errno));
}

TFileStream::~TFileStream() {
  if (file_) std::fclose(file_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  errno = 0;
  const size_t written = std::fwrite(buffer, 1, static_cast<size_t>(count), file_);
  if (written != static_cast<size_t>(count) && errorNumber_ == 0) errorNumber_ = errno;
  return static_cast<int64_t>(written);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t position = ftello(file_);
  if (origin == TSeekOrigin::Current && offset == 0) return position;
  const int64_t target =
      seekTarget(position, origin == TSeekOrigin::End ? Size() : 0, offset, origin);
  if (fseeko(file_, target, SEEK_SET) != 0) return ftello(file_);
  return target;
}

int64_t TFileStream::Size() {
  const int64_t position = ftello(file_);
  fseeko(file_, 0, SEEK_END);
  const int64_t size = ftello(file_);
  fseeko(file_, position, SEEK_SET);
  return size;
}

void TFileStream::Flush() {
  if (std::fflush(file_) != 0 || std::ferror(file_))
    throw EStreamError("Cannot write file \"" + path_ + "\". " + std::strerror(errno));
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t end = position_ + count;
  if (end > Size()) bytes_.resize(static_cast<size_t>(end));
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  position_ = seekTarget(position_, Size(), offset, origin);
  return position_;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
  TFileStream file(path, TFileMode::OpenRead);
  bytes_.resize(static_cast<size_t>(file.Size()));
  file.ReadBuffer(bytes_.data(), Size());
  position_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& path) {
  TFileStream file(path, TFileMode::Create);
  file.WriteBuffer(bytes_.data(), Size());
  file.Flush();
}

int64_t TSpanStream::Read(void* buffer, int64_t count) {
  const int64_t n = std::clamp<int64_t>(Size() - position_, 0, std::max<int64_t>(count, 0));
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TSpanStream::Seek(int64_t offset, TSeekOrigin origin) {
  position_ = seekTarget(position_, Size(), offset, origin);
  return position_;
}

} // namespace kestrel
