#pragma once
// Frame times and rates for the main loop: the performance counter when the platform has one,
// else the millisecond clock (which gives no frame time, so the rates are never refreshed).
#include <windef.h>

#include <cstdint>

class geCFrameTimer {
 public:
  void Init();
  void Tick();

  float GetLastFrameTime() const { return m_fLastFrameTime; }
  float GetFramesPerSecond() const { return m_fLastSecondFPS; }
  float GetAverageFramesPerSecond() const { return m_fAverageFPS; }
  DWORD GetFrameCount() const { return m_dwFrameCount; }
  DWORD GetSeconds() const { return m_dwSeconds; }
  float GetAccumulatedTime() const { return m_fAccumulatedTime; }

 private:
  bool m_bUseCounter = false;
  DWORD m_dwFrameCount = 0;
  float m_fLastFrameTime = 0.0f;
  float m_fAccumulatedTime = 0.0f;
  DWORD m_dwSeconds = 0;
  float m_fAverageFPS = 0.0f;
  float m_fLastSecondFPS = 0.0f;
  int64_t m_nFrequency = 0;
  int64_t m_nStartCounter = 0;
  int64_t m_nLastCounter = 0;
  DWORD m_dwStartTime = 0;
  DWORD m_dwLastTime = 0;
  // Frames and time towards the next once-a-second rate.
  DWORD m_dwSecondFrames = 0;
  float m_fSecondTime = 0.0f;
};
