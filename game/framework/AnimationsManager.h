#pragma once
// A game object's list of named frame ranges of its scene's animation, one of them active. The
// clock is the game's current time, so an animation stands still while the game is paused.
#include <windef.h>

#include <map>

class geCAnimationsManager {
 public:
  static constexpr DWORD kTypeLoop = 1;
  static constexpr DWORD kTypePlayOnce = 4;
  static constexpr DWORD kNoAnimation = 0xFFFFFFFF;

  struct geSAnimation {
    DWORD dwStartFrame;
    DWORD dwEndFrame;
    DWORD dwType;
  };

  // Adds the record, replacing one of the same id.
  void AddAnimation(DWORD dwID, DWORD dwStartFrame, DWORD dwEndFrame, DWORD dwType);
  // Changes the type of an existing record; false when there is none.
  bool SetAnimationType(DWORD dwID, DWORD dwType);
  const geSAnimation* GetAnimation(DWORD dwID) const;
  DWORD GetNumberOfAnimations() const { return static_cast<DWORD>(m_mapAnimations.size()); }

  // Activates the id and restarts its clock; an id the (non-empty) list lacks is ignored.
  void SetActive(DWORD dwID);
  DWORD GetActive() const { return m_dwActive; }
  DWORD IsStopped() const { return m_dwStopped; }
  void SetStopped(DWORD dwStopped) { m_dwStopped = dwStopped; }
  // Restarts the clock of the active animation at the current time.
  void ResetClock();

  // The active animation's whole frame now, for the scene's frames per second: a loop restarts
  // past its end, a play-once animation stops there and keeps answering its end.
  float GetFrame(float fFramesPerSecond);

 private:
  static float Now();

  std::map<DWORD, geSAnimation> m_mapAnimations;
  DWORD m_dwActive = kNoAnimation;
  float m_fStartTime = 0.0f;
  float m_fElapsedTime = 0.0f;
  DWORD m_dwStopped = 0;
  float m_fLastFrame = 0.0f;
};
