#pragma once
// The reference of one pass over a picture's bytes: a memcpy of all its rows into memory that is
// already there.

#include "imaging/core/Bitmap.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace kestrel::bench {

inline void CopyBitmapBytes(benchmark::State& state, const TBitmap& bitmap) {
  const size_t bytes = static_cast<size_t>(bitmap.BytesPerLine()) * bitmap.Height();
  std::vector<uint8_t> copy(bytes);
  for (auto _ : state) {
    std::memcpy(copy.data(), bitmap.ScanLine(0), bytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
}

} // namespace kestrel::bench
