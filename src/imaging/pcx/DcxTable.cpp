#include "imaging/pcx/DcxTable.h"

#include "imaging/bmod/ByteOrder.h"

#include <limits>
#include <vector>

namespace kestrel {

namespace {
constexpr int64_t kEntrySize = 4;

[[noreturn]] void NotValid() {
  throw EDcxError("The DCX file header is not valid");
}
} // namespace

void TDcxTable::CheckMagic() {
  stream_.SetPosition(start_);
  if (ReadEntry() != kMagic) NotValid();
}

uint32_t TDcxTable::ReadEntry() {
  uint8_t bytes[kEntrySize];
  if (stream_.Read(bytes, kEntrySize) != kEntrySize) NotValid();
  return LoadLe32(bytes);
}

int TDcxTable::PageCount() {
  CheckMagic();
  const uint32_t first = ReadEntry();
  if (first == 0) return 0;
  int count = 1;
  while (kEntrySize * (count + 1) < first && ReadEntry() != 0)
    ++count;
  return count;
}

TDcxPage TDcxTable::Page(int n) {
  if (n < 1) NotValid();
  CheckMagic();
  uint32_t offset = 0;
  for (int i = 1; i <= n; ++i)
    if ((offset = ReadEntry()) == 0) NotValid();
  const uint32_t next = ReadEntry();
  const int64_t size = stream_.Size() - start_;
  const int64_t end = next ? next : size;
  const int64_t tableRead = kEntrySize * (int64_t(n) + 2);
  if (offset < tableRead || end <= offset || end > size) NotValid();
  return {start_ + offset, start_ + end};
}

int64_t TDcxTable::FreeEntry() {
  CheckMagic();
  const uint32_t first = ReadEntry();
  if (first == 0) NotValid();
  for (int64_t position = 2 * kEntrySize;; position += kEntrySize) {
    // The entry and the zero after it must lie before the first page.
    if (position + 2 * kEntrySize > first) throw EDcxError("The DCX file header is full");
    if (ReadEntry() == 0) return start_ + position;
  }
}

void TDcxTable::WriteNew(TStream& stream) {
  std::vector<uint8_t> table(kWrittenFirstPage, 0);
  StoreLe32(table.data(), kMagic);
  StoreLe32(table.data() + kEntrySize, kWrittenFirstPage);
  stream.WriteBuffer(table.data(), static_cast<int64_t>(table.size()));
}

void TDcxTable::SetEntry(int64_t entryPosition, int64_t pageStart) {
  const int64_t offset = pageStart - start_;
  if (offset <= 0 || offset > std::numeric_limits<uint32_t>::max())
    throw EDcxError("The DCX file header is full");
  uint8_t entries[2 * kEntrySize] = {};
  StoreLe32(entries, static_cast<uint32_t>(offset));
  stream_.SetPosition(entryPosition);
  stream_.WriteBuffer(entries, sizeof entries);
}

} // namespace kestrel
