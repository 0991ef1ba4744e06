#pragma once
// The page table of a DCX file: a 4-byte magic (987654321, little-endian), then one 32-bit offset
// per page ended by a zero entry; the pages are whole PC Paintbrush files at those offsets, which
// count from the start of the DCX. Written files reserve 1024 entries, so the first page lies at
// 4100 and a file holds at most 1023 pages (the last entry stays the terminating zero).
//
// Every damage raises EDcxError "The DCX file header is not valid": a wrong magic, a table that
// ends early, a page that starts inside the table or ends before it starts or past the data.

#include "imaging/core/Exceptions.h"
#include "imaging/core/Stream.h"

#include <cstdint>

namespace kestrel {

KESTREL_EXCEPTION_CLASS(EDcxError, Exception)

struct TDcxPage {
  int64_t Start = 0; // stream positions
  int64_t End = 0;
};

class TDcxTable {
public:
  static constexpr uint32_t kMagic = 987654321;
  static constexpr int kWrittenEntries = 1024;
  static constexpr int64_t kWrittenFirstPage = 4 + 4 * kWrittenEntries;

  // The DCX that starts at position start of stream.
  TDcxTable(TStream& stream, int64_t start) : stream_(stream), start_(start) {}

  // The non-zero entries before the first zero (entries end at the first page's start).
  int PageCount();
  // Where page n (1-based) lies.
  TDcxPage Page(int n);
  // For appending: the position of the first zero entry, checked to leave room for the zero that
  // must follow it; EDcxError "The DCX file header is full" when there is none.
  int64_t FreeEntry();

  // Writes the magic, the first page's offset (4100) and 1023 zero entries at the stream's
  // position.
  static void WriteNew(TStream& stream);
  // Stores a page's offset at the free entry found by FreeEntry, and a zero entry after it.
  void SetEntry(int64_t entryPosition, int64_t pageStart);

private:
  void CheckMagic();
  uint32_t ReadEntry();

  TStream& stream_;
  int64_t start_;
};

} // namespace kestrel
