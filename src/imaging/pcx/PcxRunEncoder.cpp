#include "imaging/pcx/PcxRunEncoder.h"

namespace kestrel {

namespace {
constexpr size_t kMaxRun = 63;
constexpr uint8_t kCountMark = 0xC0;
} // namespace

void EncodePcxLine(const uint8_t* line, size_t count, std::vector<uint8_t>& out) {
  size_t i = 0;
  while (i < count) {
    const uint8_t value = line[i];
    size_t run = 1;
    while (i + run < count && run < kMaxRun && line[i + run] == value)
      ++run;
    if (run > 1 || value >= kCountMark) out.push_back(static_cast<uint8_t>(kCountMark | run));
    out.push_back(value);
    i += run;
  }
}

} // namespace kestrel
