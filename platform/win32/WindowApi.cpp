// The window calls of the original platform over SDL windows.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>

#include "InputState.h"
#include "MessageQueue.h"
#include "SdlVideo.h"
#include "WindowClass.h"
#include "WindowEvents.h"
#include "WindowTable.h"
#include "zkplatform/ZkWindow.h"

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

bool ValidWindow(HWND handle, Window& window) {
  return WindowTable::Instance().Find(handle, window);
}

void Activate(const Window& window) {
  WindowTable::Instance().Activate(window.handle);
  SDL_RaiseWindow(window.sdl);
}

void SetVisible(HWND handle, bool visible, UINT showCmd) {
  WindowTable::Instance().Update(handle, [&](Window& changed) {
    changed.visible = visible;
    changed.showCmd = showCmd;
  });
}

// Reads back where SDL put the window (the desktop may move or resize it).
void RefreshGeometry(HWND handle, SDL_Window* sdl) {
  int x = 0, y = 0, width = 0, height = 0;
  SDL_GetWindowPosition(sdl, &x, &y);
  SDL_GetWindowSize(sdl, &width, &height);
  WindowTable::Instance().Update(handle, [&](Window& changed) {
    changed.rect = {x, y, x + width, y + height};
  });
}

}  // namespace

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                     int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam) {
  WindowClass windowClass;
  if (!WindowClass::Find(lpClassName, windowClass) || !SdlVideo::Ensure()) return nullptr;
  WindowEvents::AdoptCurrentThread();

  // Windows without a caption are borderless; the window is shown by ShowWindow or WS_VISIBLE.
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if ((dwStyle & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  if (dwExStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  const int x = X == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : X;
  const int y = X == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : Y;
  const int width = nWidth == CW_USEDEFAULT ? kDefaultWidth : std::max(1, nWidth);
  const int height = nWidth == CW_USEDEFAULT ? kDefaultHeight : std::max(1, nHeight);
  const char* title = lpWindowName ? lpWindowName : "";
  SDL_Window* sdl = SDL_CreateWindow(title, x, y, width, height, flags);
  if (!sdl) {
    std::fprintf(stderr, "zkplatform: cannot create an OpenGL window (%s); trying without\n",
                 SDL_GetError());
    sdl = SDL_CreateWindow(title, x, y, width, height, flags & ~SDL_WINDOW_OPENGL);
  }
  if (!sdl) {
    std::fprintf(stderr, "zkplatform: cannot create a window: %s\n", SDL_GetError());
    return nullptr;
  }

  Window window;
  window.sdl = sdl;
  window.sdlId = SDL_GetWindowID(sdl);
  window.className = windowClass.name;
  window.proc = windowClass.proc;
  window.classStyle = windowClass.style;
  window.style = dwStyle;
  window.exStyle = dwExStyle;
  HWND handle = WindowTable::Instance().Add(window);
  RefreshGeometry(handle, sdl);
  // No screen saver while the program has a window.
  SDL_DisableScreenSaver();

  CREATESTRUCTA create = {};
  create.lpCreateParams = lpParam;
  create.hInstance = hInstance;
  create.hMenu = hMenu;
  create.hwndParent = hWndParent;
  create.cx = width;
  create.cy = height;
  create.x = X;
  create.y = Y;
  create.style = static_cast<LONG>(dwStyle);
  create.lpszName = lpWindowName;
  create.lpszClass = lpClassName;
  create.dwExStyle = dwExStyle;
  if (WindowTable::Instance().Send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (dwStyle & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
  return handle;
}

BOOL DestroyWindow(HWND hWnd) {
  WindowTable& table = WindowTable::Instance();
  bool alreadyDestroying = false;
  if (!table.Update(hWnd, [&](Window& changed) {
        alreadyDestroying = changed.destroying;
        changed.destroying = true;
      }))
    return FALSE;
  if (alreadyDestroying) return FALSE;
  table.Send(hWnd, WM_DESTROY, 0, 0);
  Window window;
  table.Remove(hWnd, window);
  MessageQueue::Instance().DropWindow(hWnd);
  SDL_DestroyWindow(window.sdl);
  if (!table.Foreground()) InputState::Instance().ReleaseAll();
  if (table.Count() == 0) SDL_EnableScreenSaver();
  return TRUE;
}

BOOL IsWindow(HWND hWnd) {
  Window window;
  return ValidWindow(hWnd, window) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  Window window;
  if (!ValidWindow(hWnd, window)) return FALSE;
  const BOOL wasVisible = window.visible ? TRUE : FALSE;
  WindowTable& table = WindowTable::Instance();
  switch (nCmdShow) {
    case SW_HIDE:
      SDL_HideWindow(window.sdl);
      SetVisible(hWnd, false, window.showCmd);
      if (table.Foreground() == hWnd) table.Activate(nullptr);
      return wasVisible;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      SDL_ShowWindow(window.sdl);
      SDL_MinimizeWindow(window.sdl);
      SetVisible(hWnd, true, SW_SHOWMINIMIZED);
      if (window.showCmd != SW_SHOWMINIMIZED)
        MessageQueue::Instance().Post(hWnd, WM_SIZE, SIZE_MINIMIZED, 0);
      if (nCmdShow != SW_SHOWMINIMIZED && table.Foreground() == hWnd) table.Activate(nullptr);
      return wasVisible;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
      SDL_ShowWindow(window.sdl);
      SetVisible(hWnd, true, SW_SHOWNOACTIVATE);
      break;
    case SW_SHOWMAXIMIZED:
      SDL_ShowWindow(window.sdl);
      SDL_MaximizeWindow(window.sdl);
      SetVisible(hWnd, true, SW_SHOWMAXIMIZED);
      Activate(window);
      break;
    default:  // SW_SHOWNORMAL, SW_SHOW, SW_RESTORE, SW_SHOWDEFAULT
      SDL_ShowWindow(window.sdl);
      if (window.showCmd == SW_SHOWMINIMIZED || window.showCmd == SW_SHOWMAXIMIZED) {
        SDL_RestoreWindow(window.sdl);
        MessageQueue::Instance().Post(hWnd, WM_SIZE, SIZE_RESTORED,
                                      MAKELPARAM(window.Width(), window.Height()));
      }
      SetVisible(hWnd, true, SW_SHOWNORMAL);
      Activate(window);
      break;
  }
  if (!wasVisible) MessageQueue::Instance().Post(hWnd, WM_ERASEBKGND, 0, 0);
  return wasVisible;
}

BOOL UpdateWindow(HWND hWnd) {
  Window window;
  return ValidWindow(hWnd, window) ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  Window window;
  if (!ValidWindow(hWnd, window)) return FALSE;
  WindowTable& table = WindowTable::Instance();
  if (!(uFlags & SWP_NOZORDER) &&
      (hWndInsertAfter == HWND_TOPMOST || hWndInsertAfter == HWND_NOTOPMOST)) {
    const bool topmost = hWndInsertAfter == HWND_TOPMOST;
    SDL_SetWindowAlwaysOnTop(window.sdl, topmost ? SDL_TRUE : SDL_FALSE);
    table.Update(hWnd, [&](Window& changed) {
      changed.exStyle =
          topmost ? (changed.exStyle | WS_EX_TOPMOST) : (changed.exStyle & ~WS_EX_TOPMOST);
    });
  }
  if (!(uFlags & SWP_NOMOVE)) SDL_SetWindowPosition(window.sdl, X, Y);
  const int width = std::max(1, cx), height = std::max(1, cy);
  const bool resized =
      !(uFlags & SWP_NOSIZE) && (width != window.Width() || height != window.Height());
  if (resized) SDL_SetWindowSize(window.sdl, width, height);
  // The rectangle is what was asked for; SDL's events correct it if the desktop decides otherwise.
  table.Update(hWnd, [&](Window& changed) {
    const LONG left = (uFlags & SWP_NOMOVE) ? changed.rect.left : X;
    const LONG top = (uFlags & SWP_NOMOVE) ? changed.rect.top : Y;
    const LONG w = (uFlags & SWP_NOSIZE) ? changed.Width() : width;
    const LONG h = (uFlags & SWP_NOSIZE) ? changed.Height() : height;
    changed.rect = {left, top, left + w, top + h};
  });
  if (resized)
    MessageQueue::Instance().Post(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  if (uFlags & SWP_HIDEWINDOW)
    ShowWindow(hWnd, SW_HIDE);
  else if ((uFlags & SWP_SHOWWINDOW) && !window.visible)
    ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  else if (!(uFlags & SWP_NOACTIVATE) && window.visible)
    Activate(window);
  return TRUE;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  Window window;
  if (!ValidWindow(hWnd, window)) return FALSE;
  SDL_SetWindowTitle(window.sdl, lpString ? lpString : "");
  return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  Window window;
  if (!lpRect || !ValidWindow(hWnd, window)) return FALSE;
  *lpRect = {0, 0, window.Width(), window.Height()};
  return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  Window window;
  if (!lpRect || !ValidWindow(hWnd, window)) return FALSE;
  *lpRect = window.rect;
  return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  Window window;
  if (!lpPoint || !ValidWindow(hWnd, window)) return FALSE;
  lpPoint->x += window.rect.left;
  lpPoint->y += window.rect.top;
  return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  Window window;
  if (!lpPoint || !ValidWindow(hWnd, window)) return FALSE;
  lpPoint->x -= window.rect.left;
  lpPoint->y -= window.rect.top;
  return TRUE;
}

// The show state is how the window was last shown: minimised, maximised, shown without being
// activated (SW_SHOWNOACTIVATE) or normally; the engine's input thread pauses on the first and
// the third.
BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl) {
  Window window;
  if (!lpwndpl || !ValidWindow(hWnd, window)) return FALSE;
  lpwndpl->length = sizeof(WINDOWPLACEMENT);
  lpwndpl->flags = 0;
  lpwndpl->showCmd = window.showCmd;
  lpwndpl->ptMinPosition = {-1, -1};
  lpwndpl->ptMaxPosition = {-1, -1};
  lpwndpl->rcNormalPosition = window.rect;
  return TRUE;
}

HWND SetActiveWindow(HWND hWnd) {
  Window window;
  if (!ValidWindow(hWnd, window)) return nullptr;
  HWND previous = WindowTable::Instance().Activate(hWnd);
  SDL_RaiseWindow(window.sdl);
  return previous;
}

HWND GetActiveWindow() { return WindowTable::Instance().Foreground(); }

BOOL SetForegroundWindow(HWND hWnd) {
  Window window;
  if (!ValidWindow(hWnd, window)) return FALSE;
  Activate(window);
  return TRUE;
}

HWND GetForegroundWindow() { return WindowTable::Instance().Foreground(); }

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  switch (Msg) {
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessageA(hWnd, WM_CLOSE, 0, 0); return 0;
        case SC_MINIMIZE: ShowWindow(hWnd, SW_MINIMIZE); return 0;
        case SC_MAXIMIZE: ShowWindow(hWnd, SW_SHOWMAXIMIZED); return 0;
        case SC_RESTORE: ShowWindow(hWnd, SW_RESTORE); return 0;
        default: return 0;
      }
    case WM_SYSKEYDOWN:
      // Alt+Enter asks for the system menu's "key" command, Alt+F4 for closing; a key held
      // down (bit 30) does not repeat either.
      if (lParam & (1 << 30)) return 0;
      if (wParam == VK_RETURN)
        SendMessageA(hWnd, WM_SYSCOMMAND, SC_KEYMENU, VK_RETURN);
      else if (wParam == VK_F4 && (lParam & (1 << 29)))
        SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    case WM_SETCURSOR: {
      Window window;
      WindowClass windowClass;
      if (LOWORD(lParam) != HTCLIENT || !ValidWindow(hWnd, window) ||
          !WindowClass::Find(window.className.c_str(), windowClass) || !windowClass.cursor)
        return FALSE;
      SetCursor(windowClass.cursor);
      return TRUE;
    }
    default: return 0;
  }
}

DWORD SetClassLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  Window window;
  if (!ValidWindow(hWnd, window) || nIndex != GCL_HCURSOR) return 0;
  // Handles are small numbers, so the 32-bit word carries one whole.
  HCURSOR cursor =
      reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(static_cast<uint32_t>(dwNewLong)));
  HCURSOR previous = nullptr;
  if (!WindowClass::ReplaceCursor(window.className, cursor, previous)) return 0;
  return static_cast<DWORD>(reinterpret_cast<uintptr_t>(previous));
}

SDL_Window* ZkSdlWindowFromHwnd(HWND hwnd) {
  Window window;
  return ValidWindow(hwnd, window) ? window.sdl : nullptr;
}
