#include "platform/memory/MemoryStatus.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(MemoryStatus, ReadsTheTotalAndWhatProgramsCanHave) {
  const TMemoryStatus now = ParseMemInfo("MemTotal:       16314060 kB\n"
                                         "MemFree:         1000000 kB\n"
                                         "MemAvailable:    9000000 kB\n"
                                         "Buffers:          200000 kB\n");
  EXPECT_EQ(now.Physical, 16314060LL * 1024);
  EXPECT_EQ(now.Available, 9000000LL * 1024);
  // Without MemAvailable, free memory and the caches stand in.
  const TMemoryStatus old = ParseMemInfo("MemTotal: 4096 kB\nMemFree: 1024 kB\nBuffers: 10 kB\n"
                                         "Cached: 90 kB\nSwapCached: 5 kB\n");
  EXPECT_EQ(old.Available, (1024 + 10 + 90) * 1024);
  // Lines that say nothing are passed over; a figure no byte count can hold is left out.
  const TMemoryStatus odd = ParseMemInfo("garbage\n:\nMemTotal: x kB\nMemFree:\n"
                                         "MemAvailable: 99999999999999999 kB\n");
  EXPECT_EQ(odd.Physical, 0);
  EXPECT_EQ(odd.Available, 0);
}

} // namespace
} // namespace kestrel
