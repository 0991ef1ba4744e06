#include "imaging/gif/RLEEncoder.h"

namespace kestrel {

namespace {

// The largest r with r * r <= n, by Newton's iteration.
uint64_t integerSquareRoot(uint64_t n) {
  if (n < 2) return n;
  uint64_t root = n;
  uint64_t next = (root + 1) / 2;
  while (next < root) {
    root = next;
    next = (root + n / root) / 2;
  }
  return root;
}

} // namespace

uint64_t TRLEEncoder::Triangle(uint64_t count, uint64_t maxCodes) {
  // A fresh table sends runs of 1, 2, ..., maxCodes pixels with maxCodes codes before it must be
  // cleared; what is left needs the smallest k with 1 + 2 + ... + k >= rest.
  const uint64_t perTable = maxCodes * (maxCodes + 1) / 2;
  uint64_t cost = perTable == 0 ? 0 : count / perTable * maxCodes;
  const uint64_t rest = perTable == 0 ? count : count % perTable;
  if (rest > 0) {
    uint64_t k = integerSquareRoot(2 * rest);
    while (k > 0 && k * (k + 1) >= 2 * rest)
      --k;
    while (k * (k + 1) < 2 * rest)
      ++k;
    cost += k;
  }
  return cost;
}

void TRLEEncoder::DidClear() {
  bump_ = bumpInitial_;
  clearAt_ = clearInitial_;
  outputCount_ = 0;
  runTableMax_ = 0;
  Clear();
  codeSize_ = initialCodeSize_;
}

void TRLEEncoder::OutputPlain(int code) {
  justCleared_ = false;
  Output(code);
  ++outputCount_;
  if (outputCount_ >= bump_) {
    bump_ += uint64_t(1) << codeSize_;
    ++codeSize_;
  }
  if (outputCount_ >= clearAt_) DidClear();
}

void TRLEEncoder::RestoreClearThreshold() {
  clearAt_ = clearInitial_;
  if (outputCount_ >= clearAt_) DidClear();
}

void TRLEEncoder::FlushFromClear(uint64_t count) {
  clearAt_ = maxOutputCodes_;
  runTablePixel_ = runPixel_;
  uint64_t k = 1;
  while (count > 0) {
    if (k == 1) {
      runTableMax_ = 1;
      OutputPlain(runPixel_);
      --count;
    } else if (count >= k) {
      runTableMax_ = k;
      OutputPlain(baseCode_ + static_cast<int>(k) - 2);
      count -= k;
    } else if (count == 1) {
      ++runTableMax_;
      OutputPlain(runPixel_);
      count = 0;
    } else {
      ++runTableMax_;
      OutputPlain(baseCode_ + static_cast<int>(count) - 2);
      count = 0;
    }
    k = outputCount_ == 0 ? 1 : k + 1;
  }
  RestoreClearThreshold();
}

void TRLEEncoder::FlushClearOrRepeat(uint64_t count) {
  if (1 + Triangle(count) < count) {
    DidClear();
    FlushFromClear(count);
    return;
  }
  for (; count > 0; --count)
    OutputPlain(runPixel_);
}

void TRLEEncoder::FlushWithTable(uint64_t count) {
  const uint64_t longest = runTableMax_;
  uint64_t repeats = count / longest;
  uint64_t left = count % longest;
  uint64_t extra = left > 0 ? 1 : 0;
  if (outputCount_ + repeats + extra > maxOutputCodes_) {
    repeats = maxOutputCodes_ - outputCount_;
    left = count - repeats * longest;
    extra = 1 + Triangle(left);
  }
  if (1 + Triangle(count) < repeats + extra) {
    DidClear();
    FlushFromClear(count);
    return;
  }
  clearAt_ = maxOutputCodes_;
  for (; repeats > 0; --repeats)
    OutputPlain(baseCode_ + static_cast<int>(longest) - 2);
  if (left > 0) {
    if (justCleared_) {
      FlushFromClear(left);
    } else if (left == 1) {
      OutputPlain(runPixel_);
    } else {
      OutputPlain(baseCode_ + static_cast<int>(left) - 2);
    }
  }
  RestoreClearThreshold();
}

void TRLEEncoder::Flush(uint64_t count) {
  if (count == 1) {
    OutputPlain(runPixel_);
  } else if (justCleared_) {
    FlushFromClear(count);
  } else if (runTableMax_ < 2 || runTablePixel_ != runPixel_) {
    FlushClearOrRepeat(count);
  } else {
    FlushWithTable(count);
  }
}

void TRLEEncoder::Compress() {
  bumpInitial_ = static_cast<uint64_t>(clearCode_) - 1;
  clearInitial_ = codeSizeWritten_ <= 3 ? 9 : static_cast<uint64_t>(clearCode_) - 2;
  maxOutputCodes_ = static_cast<uint64_t>(4095 - baseCode_);
  DidClear();
  runCount_ = 0;
  const uint8_t* data = nullptr;
  int64_t count = 0;
  while (NextPixels(data, count)) {
    for (int64_t i = 0; i < count; ++i) {
      const uint8_t pixel = data[i];
      if (runCount_ > 0 && pixel == runPixel_) {
        ++runCount_;
        continue;
      }
      CheckColor(pixel);
      if (runCount_ > 0) Flush(runCount_);
      runPixel_ = pixel;
      runCount_ = 1;
    }
  }
  if (runCount_ > 0) Flush(runCount_);
}

} // namespace kestrel
