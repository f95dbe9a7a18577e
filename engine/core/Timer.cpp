#include "core/Timer.h"

#include <windows.h>
#include <mmsystem.h>

uint32_t CTimer::Now() { return timeGetTime(); }

CTimer::CTimer() : m_startTime(Now()), m_mark(m_startTime) {}

float CTimer::GetTime() {
  // Pauses are counted only here: the stretch since the last reading counts as paused when the
  // timer is paused now.
  if (m_running != 1) m_pausedTime += Now() - m_mark;
  m_mark = Now();
  return Seconds(m_mark - m_pausedTime - m_startTime);
}

float CTimer::GetTimeGain(UINT moveMark) {
  float gain = Seconds(Now() - m_mark);
  if (moveMark) m_mark = Now();
  return gain;
}

float CTimer::GetTickingPerSecond() { return static_cast<float>(m_ticksPerSecond); }
void CTimer::Resume() { m_running = 1; }
void CTimer::Pause() { m_running = 0; }

void CTimer::Reset() {
  m_startTime = m_mark = Now();
  m_pausedTime = 0;
  m_ticksPerSecond = 1000;
}

UINT CTimer::IsPaused() { return m_running == 1 ? 0 : 1; }
