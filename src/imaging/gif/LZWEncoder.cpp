#include "imaging/gif/LZWEncoder.h"

namespace kestrel {

void TLZWEncoder::OutputCode(int code) {
  Output(code);
  if (nextFree_ > maxCode_ || justCleared_) {
    if (justCleared_) {
      codeSize_ = initialCodeSize_;
      justCleared_ = false;
    } else {
      ++codeSize_;
    }
    // From 12 bits on the table is cleared before it overflows, so the size never grows further.
    maxCode_ = codeSize_ == 12 ? 4096 : (1 << codeSize_) - 1;
  }
}

void TLZWEncoder::ClearTable() {
  table_->Clear();
  nextFree_ = baseCode_;
  justCleared_ = true;
  OutputCode(clearCode_);
}

void TLZWEncoder::Compress() {
  if (!table_) table_ = std::make_unique<THashTable>();
  ClearTable();
  const uint8_t* data = nullptr;
  int64_t count = 0;
  bool first = true;
  int prefix = 0;
  while (NextPixels(data, count)) {
    int64_t i = 0;
    if (first) {
      CheckColor(data[0]);
      prefix = data[0];
      first = false;
      i = 1;
    }
    for (; i < count; ++i) {
      const uint8_t pixel = data[i];
      CheckColor(pixel);
      const uint32_t key = static_cast<uint32_t>(prefix) << 8 | pixel;
      const int code = table_->Lookup(key);
      if (code >= 0) {
        prefix = code;
        continue;
      }
      OutputCode(prefix);
      prefix = pixel;
      if (nextFree_ > kLastEntry) {
        ClearTable();
      } else {
        table_->Insert(key, nextFree_++);
      }
    }
  }
  OutputCode(prefix);
}

} // namespace kestrel
