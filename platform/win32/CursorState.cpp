#include "CursorState.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "Cursor.h"
#include "WindowTable.h"

namespace {

// The pointer belongs to the foreground window; moves and confinement go to it.
bool PointerWindow(Window& out) {
  WindowTable& table = WindowTable::Instance();
  HWND foreground = table.Foreground();
  return foreground && table.Find(foreground, out);
}

}  // namespace

CursorState& CursorState::Instance() {
  static CursorState state;
  return state;
}

POINT CursorState::Position() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_position;
}

POINT CursorState::ClampLocked(POINT screen) const {
  if (!m_confined) return screen;
  // The right and bottom edges lie outside the rectangle, as on the original.
  screen.x = std::clamp(screen.x, m_confinement.left,
                        std::max(m_confinement.left, m_confinement.right - 1));
  screen.y = std::clamp(screen.y, m_confinement.top,
                        std::max(m_confinement.top, m_confinement.bottom - 1));
  return screen;
}

void CursorState::Moved(POINT screen) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_position = ClampLocked(screen);
}

void CursorState::MoveTo(POINT screen) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_position = ClampLocked(screen);
  m_movePending = true;
}

bool CursorState::IsEchoOfMove(Uint32 sdlId, int x, int y) {
  std::lock_guard<std::mutex> guard(m_lock);
  // SDL names no window for a move it made itself while no window has the pointer.
  if (!m_echoExpected || (sdlId != m_echoWindow && sdlId != 0) || x != m_echoAt.x ||
      y != m_echoAt.y)
    return false;
  m_echoExpected = false;
  return true;
}

void CursorState::Confine(const RECT* rect) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_confined = rect != nullptr;
  if (rect) {
    m_confinement = *rect;
    // A reversed rectangle confines to its corner rather than failing.
    m_confinement.right = std::max(m_confinement.left, m_confinement.right);
    m_confinement.bottom = std::max(m_confinement.top, m_confinement.bottom);
    m_position = ClampLocked(m_position);
    m_movePending = true;
  }
  m_confinementChanged = true;
}

bool CursorState::Confinement(RECT& out) const {
  std::lock_guard<std::mutex> guard(m_lock);
  if (!m_confined) return false;
  out = m_confinement;
  return true;
}

HCURSOR CursorState::Select(HCURSOR cursor) {
  std::lock_guard<std::mutex> guard(m_lock);
  HCURSOR previous = m_current;
  if (previous != cursor) m_shapeChanged = true;
  m_current = cursor;
  return previous;
}

int CursorState::ChangeDisplayCount(bool show) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_displayCount += show ? 1 : -1;
  m_shapeChanged = true;
  return m_displayCount;
}

void CursorState::ApplyToSdl() {
  bool move, confinementChanged, shapeChanged, confined;
  POINT position;
  RECT confinement;
  HCURSOR current;
  int displayCount;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    move = m_movePending;
    confinementChanged = m_confinementChanged;
    shapeChanged = m_shapeChanged;
    m_movePending = m_confinementChanged = m_shapeChanged = false;
    position = m_position;
    confined = m_confined;
    confinement = m_confinement;
    current = m_current;
    displayCount = m_displayCount;
  }
  Window window;
  const bool haveWindow = PointerWindow(window);
  if (move && haveWindow && window.sdl) {
    const int x = position.x - window.rect.left;
    const int y = position.y - window.rect.top;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_echoExpected = true;
      m_echoWindow = window.sdlId;
      m_echoAt = {x, y};
    }
    SDL_WarpMouseInWindow(window.sdl, x, y);
  }
  if (confinementChanged && haveWindow && window.sdl) {
    if (confined) {
      SDL_Rect area = {confinement.left - window.rect.left, confinement.top - window.rect.top,
                       confinement.right - confinement.left, confinement.bottom - confinement.top};
      SDL_SetWindowMouseRect(window.sdl, &area);
    } else {
      SDL_SetWindowMouseRect(window.sdl, nullptr);
    }
  }
  if (shapeChanged) {
    SDL_Cursor* shape = current ? Cursor::Sdl(current) : nullptr;
    if (shape) SDL_SetCursor(shape);
    SDL_ShowCursor(displayCount >= 0 && current ? SDL_ENABLE : SDL_DISABLE);
  }
}

HCURSOR SetCursor(HCURSOR hCursor) {
  if (hCursor && !Cursor::IsCursor(hCursor)) return nullptr;
  return CursorState::Instance().Select(hCursor);
}

int ShowCursor(BOOL bShow) { return CursorState::Instance().ChangeDisplayCount(bShow != FALSE); }

BOOL SetCursorPos(int X, int Y) {
  CursorState::Instance().MoveTo({X, Y});
  return TRUE;
}

BOOL GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  *lpPoint = CursorState::Instance().Position();
  return TRUE;
}

BOOL ClipCursor(const RECT* lpRect) {
  CursorState::Instance().Confine(lpRect);
  return TRUE;
}

BOOL GetClipCursor(LPRECT lpRect) {
  if (!lpRect) return FALSE;
  if (!CursorState::Instance().Confinement(*lpRect)) {
    // Unconfined: the whole screen.
    SDL_Rect bounds = {0, 0, 0, 0};
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetDisplayBounds(0, &bounds);
    *lpRect = {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
  }
  return TRUE;
}
