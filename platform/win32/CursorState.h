#pragma once
// The system cursor: position, confinement, shape and display count. Any thread may change
// them; SDL hears of the changes from the message pump, on the main thread.
#include <SDL2/SDL_video.h>

#include <mutex>

#include "winuser.h"

class CursorState {
 public:
  static CursorState& Instance();

  POINT Position() const;
  // The cursor moved on its own (screen coordinates); kept inside the confinement.
  void Moved(POINT screen);
  // SetCursorPos: moves the cursor now and has the pump move the real pointer.
  void MoveTo(POINT screen);
  // A pointer motion event in client coordinates of `sdlId`: true when it is only the echo of
  // the pump's own move, which must not count as motion of the mouse.
  bool IsEchoOfMove(Uint32 sdlId, int x, int y);

  void Confine(const RECT* rect);
  bool Confinement(RECT& out) const;

  HCURSOR Select(HCURSOR cursor);
  int ChangeDisplayCount(bool show);

  // Hands the pending changes to SDL. Main thread.
  void ApplyToSdl();

 private:
  POINT ClampLocked(POINT screen) const;

  mutable std::mutex m_lock;
  POINT m_position = {};
  bool m_confined = false;
  RECT m_confinement = {};
  HCURSOR m_current = nullptr;
  int m_displayCount = 0;
  bool m_movePending = false;
  bool m_echoExpected = false;
  Uint32 m_echoWindow = 0;
  POINT m_echoAt = {};
  bool m_confinementChanged = false;
  bool m_shapeChanged = true;
};
