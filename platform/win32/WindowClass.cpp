#include "WindowClass.h"

#include <strings.h>

#include <mutex>
#include <vector>

namespace {

std::mutex g_lock;
std::vector<WindowClass> g_classes;
ATOM g_nextAtom = 0xC000;  // where the original platform numbers registered classes

WindowClass* FindLocked(LPCSTR name) {
  if (!name) return nullptr;
  for (WindowClass& found : g_classes) {
    if (IS_INTRESOURCE(name) ? found.atom == LOWORD(name)
                             : strcasecmp(found.name.c_str(), name) == 0)
      return &found;
  }
  return nullptr;
}

}  // namespace

ATOM WindowClass::Register(const WNDCLASSA& record) {
  if (!record.lpfnWndProc || !record.lpszClassName || IS_INTRESOURCE(record.lpszClassName) ||
      !record.lpszClassName[0])
    return 0;
  std::lock_guard<std::mutex> guard(g_lock);
  if (FindLocked(record.lpszClassName) || g_nextAtom == 0xFFFF) return 0;
  WindowClass added;
  added.name = record.lpszClassName;
  added.atom = g_nextAtom++;
  added.style = record.style;
  added.proc = record.lpfnWndProc;
  added.instance = record.hInstance;
  added.icon = record.hIcon;
  added.cursor = record.hCursor;
  g_classes.push_back(added);
  return added.atom;
}

bool WindowClass::Find(LPCSTR name, WindowClass& out) {
  std::lock_guard<std::mutex> guard(g_lock);
  WindowClass* found = FindLocked(name);
  if (!found) return false;
  out = *found;
  return true;
}

bool WindowClass::ReplaceCursor(const std::string& name, HCURSOR cursor, HCURSOR& previous) {
  std::lock_guard<std::mutex> guard(g_lock);
  WindowClass* found = FindLocked(name.c_str());
  if (!found) return false;
  previous = found->cursor;
  found->cursor = cursor;
  return true;
}

ATOM RegisterClassA(const WNDCLASSA* lpWndClass) {
  return lpWndClass ? WindowClass::Register(*lpWndClass) : 0;
}
