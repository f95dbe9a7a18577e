#pragma once
// What the platform keeps of one window. The rectangle is the client area in screen
// coordinates; frames drawn by the desktop are not counted, so the window rectangle is the
// client rectangle and a size given to the window is the size that renders.
#include <SDL2/SDL_video.h>

#include <string>

#include "winuser.h"

class Window {
 public:
  HWND handle = nullptr;
  SDL_Window* sdl = nullptr;
  Uint32 sdlId = 0;
  std::string className;
  WNDPROC proc = nullptr;
  UINT classStyle = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect = {};
  UINT showCmd = SW_HIDE;  // as GetWindowPlacement reports it
  bool visible = false;
  bool destroying = false;  // WM_DESTROY is on its way; a second DestroyWindow does nothing

  LONG Width() const { return rect.right - rect.left; }
  LONG Height() const { return rect.bottom - rect.top; }
};
