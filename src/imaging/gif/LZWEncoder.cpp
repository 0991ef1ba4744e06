#include "imaging/gif/LZWEncoder.h"

namespace kestrel {

inline void TLZWEncoder::OutputCode(int code) {
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
  THashTable& table = *table_;
  ClearTable();
  const uint8_t* data = nullptr;
  int64_t count = 0;
  int prefix = -1; // no pixel yet
  while (NextPixels(data, count)) {
    const uint8_t* const pixels = data;
    const int64_t n = count;
    CheckColors(pixels, n);
    int64_t i = 0;
    if (prefix < 0) {
      prefix = pixels[0];
      i = 1;
    }
    for (; i < n; ++i) {
      const uint8_t pixel = pixels[i];
      const uint32_t key = static_cast<uint32_t>(prefix) << 8 | pixel;
      int slot;
      const int code = table.Lookup(key, slot);
      if (code >= 0) {
        prefix = code;
        continue;
      }
      OutputCode(prefix);
      prefix = pixel;
      if (nextFree_ > kLastEntry) {
        ClearTable();
      } else {
        table.InsertAt(slot, key, nextFree_++);
      }
    }
  }
  OutputCode(prefix);
}

} // namespace kestrel
