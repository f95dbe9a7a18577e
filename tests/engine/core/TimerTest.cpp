#include <gtest/gtest.h>

#include <cstdint>

#include "core/Timer.h"
#include "zktest/ZkTestClock.h"

namespace {

// The multimedia clock reads the platform clock in milliseconds; here it moves only by hand.
struct TimerFixture : testing::Test {
  void SetUp() override { ZkTestClockSetManual(10'000'000); }
  void TearDown() override { ZkTestClockSetReal(); }
  static void Wait(uint64_t milliseconds) { ZkTestClockAdvance(milliseconds * 1000); }
};

}  // namespace

TEST_F(TimerFixture, ANewTimerRunsFromZero) {
  CTimer timer;
  EXPECT_EQ(timer.IsPaused(), 0u);
  EXPECT_EQ(timer.GetTickingPerSecond(), 1000.0f);
  EXPECT_EQ(timer.GetTime(), 0.0f);
  Wait(1500);
  EXPECT_FLOAT_EQ(timer.GetTime(), 1.5f);
}

TEST_F(TimerFixture, APausedTimerStandsStillAndGoesOnAfterResume) {
  CTimer timer;
  Wait(1000);
  EXPECT_FLOAT_EQ(timer.GetTime(), 1.0f);
  timer.Pause();
  EXPECT_EQ(timer.IsPaused(), 1u);
  for (int i = 0; i < 3; ++i) {
    Wait(700);
    EXPECT_FLOAT_EQ(timer.GetTime(), 1.0f);
  }
  timer.Resume();
  Wait(250);
  EXPECT_FLOAT_EQ(timer.GetTime(), 1.25f);
}

TEST_F(TimerFixture, PausesAreCountedFromTheLastReading) {
  CTimer timer;
  Wait(1000);
  timer.GetTime();
  Wait(500);  // before the pause, but after the last reading: counted as paused
  timer.Pause();
  Wait(500);
  EXPECT_FLOAT_EQ(timer.GetTime(), 1.0f);
  Wait(300);  // after the last reading while paused: counted as running
  timer.Resume();
  EXPECT_FLOAT_EQ(timer.GetTime(), 1.3f);
}

TEST_F(TimerFixture, TimeGainGrowsUntilTheMarkMoves) {
  CTimer timer;
  Wait(100);
  EXPECT_FLOAT_EQ(timer.GetTimeGain(0), 0.1f);
  Wait(100);
  EXPECT_FLOAT_EQ(timer.GetTimeGain(1), 0.2f);
  Wait(50);
  EXPECT_FLOAT_EQ(timer.GetTimeGain(0), 0.05f);
  timer.Pause();  // the gain ignores the running flag
  Wait(50);
  EXPECT_FLOAT_EQ(timer.GetTimeGain(0), 0.1f);
}

TEST_F(TimerFixture, TheClocksWrapAt2To32MillisecondsGivesASmallInterval) {
  ZkTestClockSetManual(uint64_t{0xFFFFFFFF} * 1000);  // the clock reads 4294967295 ms
  CTimer timer;
  Wait(2);  // now it reads 1
  EXPECT_FLOAT_EQ(timer.GetTimeGain(0), 0.002f);
  EXPECT_FLOAT_EQ(timer.GetTime(), 0.002f);
  timer.Pause();
  Wait(5);
  EXPECT_FLOAT_EQ(timer.GetTime(), 0.002f);
}

TEST_F(TimerFixture, ResetRestartsAndKeepsThePause) {
  CTimer timer;
  Wait(900);
  timer.Pause();
  timer.Reset();
  EXPECT_EQ(timer.IsPaused(), 1u);
  Wait(400);
  EXPECT_EQ(timer.GetTime(), 0.0f);
  timer.Resume();
  Wait(400);
  EXPECT_FLOAT_EQ(timer.GetTime(), 0.4f);
}
