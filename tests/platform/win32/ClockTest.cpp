#include <gtest/gtest.h>

#include "zkplatform/ZkClock.h"
#include "zktest/ZkTestClock.h"

TEST(ClockTest, ManualClockMovesOnlyWhenAdvanced) {
  ZkTestClockSetManual(1'000'000);
  EXPECT_EQ(ZkClockMicroseconds(), 1'000'000u);
  ZkTestClockAdvance(2'500);
  EXPECT_EQ(ZkClockMicroseconds(), 1'002'500u);
  ZkTestClockSetReal();
  uint64_t a = ZkClockMicroseconds();
  uint64_t b = ZkClockMicroseconds();
  EXPECT_LE(a, b);
  EXPECT_FALSE(ZkTestClockIsManual());
}
