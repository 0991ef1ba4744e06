#include "platform/process/InstanceLock.h"

#include "support/TempEnvironment.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

namespace kestrel {
namespace {

// Each lock object holds the lock as a separate running copy would.
TEST(InstanceLock, TheLockLastsWhileAnyCopyHoldsIt) {
  test::TTempEnvironment env;
  auto first = std::make_unique<TInstanceLock>("TestMutex");
  EXPECT_TRUE(first->Acquire());
  auto second = std::make_unique<TInstanceLock>("TestMutex");
  EXPECT_FALSE(second->Acquire());
  // The first copy ends; the second still holds the lock, so a third is not the first.
  first.reset();
  TInstanceLock third("TestMutex");
  EXPECT_FALSE(third.Acquire());
  TInstanceLock other("OtherMutex");
  EXPECT_TRUE(other.Acquire());
}

TEST(InstanceLock, ReleasedWithItsHolders) {
  test::TTempEnvironment env;
  {
    TInstanceLock first("TestMutex");
    ASSERT_TRUE(first.Acquire());
  }
  TInstanceLock again("TestMutex");
  EXPECT_TRUE(again.Acquire());
}

TEST(InstanceLock, AChildProcessDoesNotInheritTheHold) {
  test::TTempEnvironment env;
  {
    TInstanceLock parent("TestMutex");
    ASSERT_TRUE(parent.Acquire());
    // A child that outlives the hold: had it inherited the lock, the next test would fail.
    ASSERT_TRUE(QProcess::startDetached("/bin/sleep", {"2"}));
  }
  TInstanceLock next("TestMutex");
  EXPECT_TRUE(next.Acquire());
}

} // namespace
} // namespace kestrel
