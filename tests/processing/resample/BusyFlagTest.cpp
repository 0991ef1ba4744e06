// The not-busy flag: one claim at a time, free again however the claim ends.

#include "processing/busy/BusyFlag.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

namespace kestrel {
namespace {

TEST(BusyFlag, OneClaimAtATime) {
  ASSERT_TRUE(TBusyClaim::NotBusy());
  {
    TBusyClaim first;
    EXPECT_TRUE(first.Held());
    EXPECT_FALSE(TBusyClaim::NotBusy());
    TBusyClaim second;
    EXPECT_FALSE(second.Held());
    // Handing the claim on keeps the flag held; the one handed from releases nothing.
    TBusyClaim moved = std::move(first);
    EXPECT_TRUE(moved.Held());
    first.Release();
    EXPECT_FALSE(TBusyClaim::NotBusy());
  }
  EXPECT_TRUE(TBusyClaim::NotBusy());
  try {
    TBusyClaim failing;
    throw std::runtime_error("work failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(TBusyClaim::NotBusy());
}

} // namespace
} // namespace kestrel
