#pragma once
// Every window of the process by handle, and which one is in the foreground. Window procedures
// are always called with the table unlocked, so they may create, change or destroy windows.
#include <functional>
#include <map>
#include <mutex>

#include "Window.h"

class WindowTable {
 public:
  static WindowTable& Instance();

  // Gives the window its handle and keeps it.
  HWND Add(Window window);
  bool Remove(HWND handle, Window& removed);
  bool Find(HWND handle, Window& out) const;
  size_t Count() const;
  HWND FromSdlId(Uint32 sdlId) const;
  // The most recently created visible window, else the most recently created one; null when
  // there is no window.
  HWND Newest() const;
  // Changes a window under the lock; false when the handle is not a window.
  bool Update(HWND handle, const std::function<void(Window&)>& change);

  HWND Foreground() const;
  // Makes `handle` (or nobody) the foreground window: the old one is told WA_INACTIVE, the new
  // one WA_ACTIVE, through the queue. Losing the focus lets go of every key and button.
  // Returns the previous foreground window.
  HWND Activate(HWND handle);

  // Calls the window's procedure; 0 when the handle is not a window.
  LRESULT Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) const;

 private:
  mutable std::mutex m_lock;
  std::map<HWND, Window> m_windows;
  HWND m_foreground = nullptr;
  uintptr_t m_nextHandle = 0x10010;
};
