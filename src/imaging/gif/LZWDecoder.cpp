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
  stack_[--top_] = firstPixel_; // the stack is empty after the reset
  return true;
}

void TLZWDecoder::StackOverflow() {
  // Only a table whose strings loop back on themselves can fill the stack.
  throw GIFException("Invalid GIF data");
}

void TLZWDecoder::Circular() {
  throw GIFException("Circular decoder table entry");
}

int64_t TLZWDecoder::Read(uint8_t* pixels, int64_t count) {
  int64_t produced = 0;
  while (produced < count) {
    if (top_ < kStackSize) {
      // Pixels of the last string that did not fit into the previous call's buffer.
      const int64_t n = std::min<int64_t>(kStackSize - top_, count - produced);
      std::memcpy(pixels + produced, stack_ + top_, static_cast<size_t>(n));
      top_ += static_cast<int>(n);
      produced += n;
      continue;
    }
    if (ended_) break;
    int code;
    if (freshStart_) {
      freshStart_ = false;
      code = clear_;
    } else {
      code = bits_.Read(codeSize_);
    }
    if (code == clear_) {
      ended_ = !StartAfterClear();
      continue;
    }
    if (code < 0 || code == end_) {
      if (code == end_) bits_.Reader().SkipToEnd();
      ended_ = true;
      break;
    }
    produced += Expand(code, pixels + produced, count - produced);
  }
  return produced;
}

int TLZWDecoder::Expand(int code, uint8_t* out, int64_t room) {
  const int inCode = code;
  // Locals, so that the pixel stores below cannot force the table state to be reloaded.
  const int clear = clear_;
  int nextFree = nextFree_;
  uint8_t first = firstPixel_;
  int written;
  if (code < clear) {
    // A single pixel: by far the most common string in detailed pictures.
    first = suffix_[code];
    *out = first;
    written = 1;
  } else {
    int sp = kStackSize;
    if (code >= nextFree) {
      // The string being defined by this very code: the previous string plus its own first pixel.
      stack_[--sp] = first;
      code = previousCode_;
    }
    while (code >= clear) {
      if (sp == 0) StackOverflow();
      stack_[--sp] = suffix_[code];
      const int prefix = prefix_[code];
      if (prefix == code) Circular();
      code = prefix;
    }
    if (sp == 0) StackOverflow();
    first = suffix_[code];
    stack_[--sp] = first;
    const int length = kStackSize - sp;
    written = static_cast<int>(std::min<int64_t>(length, room));
    for (int i = 0; i < written; ++i)
      out[i] = stack_[sp + i];
    top_ = sp + written;
  }
  firstPixel_ = first;
  if (nextFree < kTableSize) {
    prefix_[nextFree] = static_cast<uint16_t>(previousCode_);
    suffix_[nextFree] = first;
    ++nextFree;
    // A full table keeps its 12-bit codes until the stream sends a clear code.
    if (nextFree >= threshold_ && threshold_ < kTableSize) {
      threshold_ *= 2;
      ++codeSize_;
    }
    nextFree_ = nextFree;
  }
  previousCode_ = inCode;
  return written;
}

} // namespace kestrel
