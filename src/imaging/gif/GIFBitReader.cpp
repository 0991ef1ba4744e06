#include "imaging/gif/GIFBitReader.h"

#include <cstring>

namespace kestrel {

TGIFBitReader::TGIFBitReader(TStream& stream, TGIFWarning warning)
    : reader_(stream, warning), warning_(std::move(warning)) {}

void TGIFBitReader::UnderRun() {
  NotifyGIFWarning(warning_, this, "Decoder bit buffer under-run");
}

bool TGIFBitReader::Refill(int bits) {
  if (exhausted_) {
    UnderRun();
    return false;
  }
  if (bytes_ >= kKeptBytes) std::memmove(buffer_, buffer_ + bytes_ - kKeptBytes, kKeptBytes);
  const int got = static_cast<int>(reader_.Read(buffer_ + kKeptBytes, kFillBytes));
  std::memset(buffer_ + kKeptBytes + got, 0, sizeof buffer_ - kKeptBytes - got);
  position_ = position_ - valid_ + kKeptBytes * 8;
  bytes_ = kKeptBytes + got;
  valid_ = bytes_ * 8;
  exhausted_ = got < kFillBytes;
  if (valid_ - position_ < bits) {
    UnderRun();
    return false;
  }
  return true;
}

} // namespace kestrel
