#pragma once
// The engine's millisecond timer on the multimedia clock: running time since the start minus the
// time spent paused, and the time since a movable mark. Clock differences are taken modulo 2^32,
// so the clock's wrap after about 49.7 days gives a small positive interval.
#include <cstdint>

#include "ZKDXInterface.h"

class CTimer : public CTimerInterface {
 public:
  CTimer();

  float GetTime() override;
  // Seconds since the mark; a non-zero `moveMark` then moves the mark to a fresh reading.
  float GetTimeGain(UINT moveMark) override;
  float GetTickingPerSecond() override;
  void Resume() override;
  void Pause() override;
  void Reset() override;
  UINT IsPaused() override;

 private:
  static uint32_t Now();
  static float Seconds(uint32_t milliseconds) { return static_cast<float>(milliseconds) * 0.001f; }

  uint32_t m_startTime;
  uint32_t m_pausedTime = 0;
  uint32_t m_mark;
  uint32_t m_ticksPerSecond = 1000;
  int m_running = 1;
};
