#include "imaging/gif/LZWDecoder.h"

#include "imaging/gif/GIFException.h"

#include <algorithm>
#include <cstring>

namespace kestrel {

TLZWDecoder::TLZWDecoder(TGIFBitReader& bits, int minimumCodeSize)
    : bits_(bits), minimumSize_(minimumCodeSize % 32) {
  // Larger sizes would put the clear code and the first free code past the table.
  if (minimumSize_ > kMaxMinimumCodeSize) throw GIFException("Invalid GIF data");
  clear_ = 1 << minimumSize_;
  end_ = clear_ + 1;
}

void TLZWDecoder::ResetTable() {
  for (int i = 0; i < clear_; ++i) {
    suffix_[i] = static_cast<uint8_t>(i);
    prefix_[i] = 0;
  }
  std::memset(suffix_ + clear_, 0, sizeof suffix_ - clear_ * sizeof suffix_[0]);
  std::memset(prefix_ + clear_, 0, sizeof prefix_ - clear_ * sizeof prefix_[0]);
  codeSize_ = minimumSize_ + 1;
  threshold_ = 2 * clear_;
  nextFree_ = clear_ + 2;
  top_ = kStackSize;
}

void TLZWDecoder::Push(uint8_t pixel) {
  // Only a table whose strings loop back on themselves can overflow the stack.
  if (top_ == 0) throw GIFException("Invalid GIF data");
  stack_[--top_] = pixel;
}

bool TLZWDecoder::StartAfterClear() {
  ResetTable();
  int code;
  do {
    code = bits_.Read(codeSize_);
  } while (code == clear_);
  if (code < 0) return false;
  if (code == end_) {
    // An empty frame ("clear, end"): nothing to output.
    bits_.Reader().SkipToEnd();
    return false;
  }
  // The first code after a clear has no previous string to build on, so it must be a pixel.
  if (code > end_) throw GIFException("Invalid GIF data");
  previousCode_ = code;
  firstPixel_ = suffix_[code];
  Push(firstPixel_);
  return true;
}

bool TLZWDecoder::DecodeCode() {
  int code;
  if (freshStart_) {
    freshStart_ = false;
    code = clear_;
  } else {
    code = bits_.Read(codeSize_);
    if (code < 0) return false;
  }
  if (code == clear_) return StartAfterClear();
  if (code == end_) {
    bits_.Reader().SkipToEnd();
    return false;
  }
  const int inCode = code;
  if (code >= nextFree_) {
    // The string being defined by this very code: the previous string plus its own first pixel.
    Push(firstPixel_);
    code = previousCode_;
  }
  while (code >= clear_) {
    Push(suffix_[code]);
    if (prefix_[code] == code) throw GIFException("Circular decoder table entry");
    code = prefix_[code];
  }
  firstPixel_ = suffix_[code];
  Push(firstPixel_);
  if (nextFree_ < kTableSize) {
    prefix_[nextFree_] = static_cast<uint16_t>(previousCode_);
    suffix_[nextFree_] = firstPixel_;
    ++nextFree_;
    // A full table keeps its 12-bit codes until the stream sends a clear code.
    if (nextFree_ >= threshold_ && threshold_ < kTableSize) {
      threshold_ *= 2;
      ++codeSize_;
    }
  }
  previousCode_ = inCode;
  return true;
}

int64_t TLZWDecoder::Read(uint8_t* pixels, int64_t count) {
  int64_t produced = 0;
  while (produced < count) {
    if (top_ == kStackSize) {
      if (ended_ || !DecodeCode()) {
        ended_ = true;
        break;
      }
    }
    const int64_t n = std::min<int64_t>(kStackSize - top_, count - produced);
    const uint8_t* from = stack_ + top_;
    for (int64_t i = 0; i < n; ++i)
      pixels[produced + i] = from[i];
    top_ += static_cast<int>(n);
    produced += n;
  }
  return produced;
}

} // namespace kestrel
