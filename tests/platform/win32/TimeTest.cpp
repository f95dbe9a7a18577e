#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "mmsystem.h"
#include "windows.h"
#include "zkplatform/ZkClock.h"
#include "zktest/ZkTestKernel.h"

namespace {

class TimeTest : public testing::Test {
 protected:
  void TearDown() override { ZkTestClockSetReal(); }
};

TEST_F(TimeTest, TimersFollowTheOneClock) {
  ZkTestClockSetManual(5'000'000);
  LARGE_INTEGER frequency, before, after;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  ASSERT_TRUE(QueryPerformanceCounter(&before));
  const DWORD timeBefore = timeGetTime();
  const uint64_t stampBefore = ZkReadTimeStampCounter();

  ZkTestClockAdvance(2'500'000);
  ASSERT_TRUE(QueryPerformanceCounter(&after));
  EXPECT_DOUBLE_EQ(double(after.QuadPart - before.QuadPart) / double(frequency.QuadPart), 2.5);
  EXPECT_EQ(timeGetTime() - timeBefore, 2500u);
  EXPECT_EQ(GetTickCount(), timeGetTime());
  EXPECT_EQ((ZkReadTimeStampCounter() - stampBefore) / double(ZkTimeStampFrequency()), 2.5);
}

TEST_F(TimeTest, MillisecondsWrapAt32Bits) {
  ZkTestClockSetManual(0xFFFFFFFFull * 1000);
  EXPECT_EQ(timeGetTime(), 0xFFFFFFFFu);
  const DWORD start = timeGetTime();
  ZkTestClockAdvance(3000);
  EXPECT_EQ(timeGetTime(), 2u);
  EXPECT_EQ(timeGetTime() - start, 3u);  // differences stay right across the wrap

  ZkTestClockSetManual(0xFFFFFFF0ull);
  const uint32_t stamp = static_cast<uint32_t>(ZkReadTimeStampCounter());
  ZkTestClockAdvance(0x20);
  EXPECT_EQ(static_cast<uint32_t>(ZkReadTimeStampCounter()) - stamp, 0x20u);
}

TEST_F(TimeTest, CalendarTimeMovesWithTheClock) {
  setenv("TZ", "UTC", 1);
  tzset();
  ZkTestClockSetManual(0);
  ZkTestSetCalendarOrigin(1'796'860'799'500'000);  // 2026-12-09 23:59:59.500 UTC, a Wednesday
  SYSTEMTIME local;
  GetLocalTime(&local);
  EXPECT_EQ(local.wYear, 2026);
  EXPECT_EQ(local.wMonth, 12);
  EXPECT_EQ(local.wDay, 9);
  EXPECT_EQ(local.wDayOfWeek, 3);
  EXPECT_EQ(local.wHour, 23);
  EXPECT_EQ(local.wSecond, 59);
  EXPECT_EQ(local.wMilliseconds, 500);

  ZkTestClockAdvance(600'000);
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  EXPECT_EQ(utc.wDay, 10);
  EXPECT_EQ(utc.wDayOfWeek, 4);
  EXPECT_EQ(utc.wHour, 0);
  EXPECT_EQ(utc.wMinute, 0);
  EXPECT_EQ(utc.wSecond, 0);
  EXPECT_EQ(utc.wMilliseconds, 100);
}

TEST_F(TimeTest, ResolutionRequestsMustPair) {
  EXPECT_EQ(timeBeginPeriod(1), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_EQ(timeEndPeriod(1), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_EQ(timeEndPeriod(1), static_cast<MMRESULT>(TIMERR_NOCANDO));
  EXPECT_EQ(timeBeginPeriod(0), static_cast<MMRESULT>(TIMERR_NOCANDO));
}

}  // namespace
