#pragma once
// A registered window class, and the process's table of them (names match in any letter case,
// as on the original platform).
#include <string>

#include "winuser.h"

class WindowClass {
 public:
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;

  // 0 when the record is unusable (no procedure, no name) or the name is taken.
  static ATOM Register(const WNDCLASSA& record);
  // By name, or by atom when `name` is one (MAKEINTATOM). False when no such class.
  static bool Find(LPCSTR name, WindowClass& out);
  // Replaces the class cursor; false when the class is gone.
  static bool ReplaceCursor(const std::string& name, HCURSOR cursor, HCURSOR& previous);
};
