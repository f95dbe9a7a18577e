#include "framework/AnimationsManager.h"

#include <cmath>

#include "framework/CorePort.h"

float geCAnimationsManager::Now() { return geGetCorePort().GetGlobalArg()->m_fCurrentTime; }

void geCAnimationsManager::AddAnimation(DWORD dwID, DWORD dwStartFrame, DWORD dwEndFrame,
                                        DWORD dwType) {
  m_mapAnimations[dwID] = {dwStartFrame, dwEndFrame, dwType};
}

bool geCAnimationsManager::SetAnimationType(DWORD dwID, DWORD dwType) {
  const auto found = m_mapAnimations.find(dwID);
  if (found == m_mapAnimations.end()) return false;
  found->second.dwType = dwType;
  return true;
}

const geCAnimationsManager::geSAnimation* geCAnimationsManager::GetAnimation(DWORD dwID) const {
  const auto found = m_mapAnimations.find(dwID);
  return found != m_mapAnimations.end() ? &found->second : nullptr;
}

void geCAnimationsManager::SetActive(DWORD dwID) {
  if (!m_mapAnimations.empty() && !m_mapAnimations.count(dwID)) return;
  m_dwStopped = 0;
  m_dwActive = dwID;
  ResetClock();
}

void geCAnimationsManager::ResetClock() {
  m_fStartTime = Now();
  m_fElapsedTime = 0.0f;
}

float geCAnimationsManager::GetFrame(float fFramesPerSecond) {
  if (m_dwStopped) return m_fLastFrame;
  const geSAnimation* pAnimation = GetAnimation(m_dwActive);
  if (!pAnimation) return 0.0f;
  const float fStart = static_cast<float>(pAnimation->dwStartFrame);
  const float fEnd = static_cast<float>(pAnimation->dwEndFrame);
  const bool bForward = pAnimation->dwEndFrame >= pAnimation->dwStartFrame;
  m_fElapsedTime = Now() - m_fStartTime;
  const float fAdvance = m_fElapsedTime * fFramesPerSecond;
  float fFrame = bForward ? fStart + fAdvance : fStart - fAdvance;
  // A range that runs backwards ends below its end frame, not above it.
  if (bForward ? fFrame > fEnd : fFrame < fEnd) {
    if (pAnimation->dwType == kTypeLoop) {
      ResetClock();
      fFrame = fStart;
    } else {
      m_dwStopped = 1;
      fFrame = fEnd;
    }
  }
  m_fLastFrame = std::trunc(fFrame);
  return m_fLastFrame;
}
