#include "framework/FrameTimer.h"

#include <timeapi.h>
#include <windows.h>

void geCFrameTimer::Init() {
  *this = geCFrameTimer();
  LARGE_INTEGER frequency;
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
    m_bUseCounter = true;
    m_nFrequency = frequency.QuadPart;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    m_nStartCounter = m_nLastCounter = now.QuadPart;
  } else {
    m_dwStartTime = m_dwLastTime = timeGetTime();
  }
}

void geCFrameTimer::Tick() {
  ++m_dwFrameCount;
  if (m_bUseCounter) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    m_fLastFrameTime = static_cast<float>(now.QuadPart - m_nLastCounter) / m_nFrequency;
    m_nLastCounter = now.QuadPart;
    m_dwSeconds = static_cast<DWORD>((now.QuadPart - m_nStartCounter) / m_nFrequency);
  } else {
    m_dwLastTime = timeGetTime();
    const DWORD dwElapsed = m_dwLastTime - m_dwStartTime;
    m_fAccumulatedTime = dwElapsed * 0.001f;
    m_dwSeconds = dwElapsed / 1000;
    m_fLastFrameTime = 0.0f;
  }
  m_fAccumulatedTime += m_fLastFrameTime;
  ++m_dwSecondFrames;
  m_fSecondTime += m_fLastFrameTime;
  if (m_fSecondTime >= 1.0f) {
    m_fLastSecondFPS = m_dwSecondFrames / m_fSecondTime;
    m_dwSecondFrames = 0;
    m_fSecondTime = 0.0f;
    m_fAverageFPS = m_fAccumulatedTime > 0.0f ? m_dwFrameCount / m_fAccumulatedTime : 0.0f;
  }
}
