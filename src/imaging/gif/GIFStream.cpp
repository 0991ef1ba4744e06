#include "imaging/gif/GIFStream.h"

#include "imaging/core/Exceptions.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

namespace {

constexpr int kMaxBlockData = 255;

[[noreturn]] void invalidStreamOperation() {
  throw Exception("Invalid stream operation");
}

} // namespace

int64_t TGIFStream::Read(void*, int64_t) {
  invalidStreamOperation();
}
int64_t TGIFStream::Write(const void*, int64_t) {
  invalidStreamOperation();
}
int64_t TGIFStream::Seek(int64_t, TSeekOrigin) {
  invalidStreamOperation();
}
int64_t TGIFStream::Size() {
  invalidStreamOperation();
}

TGIFReader::TGIFReader(TStream& stream, TGIFWarning warning)
    : TGIFStream(stream, std::move(warning)), buffer_(new uint8_t[kBufferSize]) {}

int TGIFReader::ReadBlock(uint8_t* data) {
  uint8_t length = 0;
  if (stream_.Read(&length, 1) != 1 || length == 0) {
    ended_ = true;
    return 0;
  }
  const int got = static_cast<int>(stream_.Read(data, length));
  if (got < length) {
    // The file was cut inside this block: keep what is there.
    Warning("Premature end of data");
    ended_ = true;
  }
  return got;
}

void TGIFReader::Fill() {
  position_ = 0;
  count_ = 0;
  while (!ended_ && kBufferSize - count_ >= kMaxBlockData)
    count_ += ReadBlock(buffer_.get() + count_);
}

int64_t TGIFReader::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t delivered = 0;
  while (delivered < count) {
    if (position_ == count_) {
      if (ended_) break;
      Fill();
      if (count_ == 0) break;
    }
    const int64_t n = std::min<int64_t>(count - delivered, count_ - position_);
    std::memcpy(out + delivered, buffer_.get() + position_, static_cast<size_t>(n));
    position_ += static_cast<int>(n);
    delivered += n;
  }
  return delivered;
}

void TGIFReader::SkipToEnd() {
  position_ = count_ = 0;
  while (!ended_)
    ReadBlock(buffer_.get());
}

int64_t TGIFWriter::Write(const void* buffer, int64_t count) {
  const auto* in = static_cast<const uint8_t*>(buffer);
  for (int64_t i = 0; i < count; ++i)
    Put(in[i]);
  return count < 0 ? 0 : count;
}

void TGIFWriter::WriteBlock() {
  block_[0] = static_cast<uint8_t>(fill_ - 1);
  stream_.WriteBuffer(block_, fill_);
  fill_ = 1;
  written_ = true;
}

void TGIFWriter::Flush() {
  if (fill_ > 1) WriteBlock();
}

} // namespace kestrel
