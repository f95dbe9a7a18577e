#include "TestWindow.h"

#include <cstdio>
#include <string>

namespace {

std::vector<RecordedMessage> g_seen;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  g_seen.push_back({hwnd, message, wParam, lParam});
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

TestWindow::TestWindow(DWORD style, DWORD exStyle, UINT classStyle) {
  char className[64];
  std::snprintf(className, sizeof className, "ZkTestWindow%u", classStyle);
  WNDCLASSA windowClass = {};
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);  // already there for a second window of the same style
  m_hwnd = CreateWindowExA(exStyle, className, "test", style, 0, 0, 320, 240, nullptr, nullptr,
                           nullptr, nullptr);
  g_seen.clear();
}

TestWindow::~TestWindow() {
  if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

std::vector<RecordedMessage> TestWindow::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      g_seen.push_back({msg.hwnd, msg.message, msg.wParam, msg.lParam});
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  std::vector<RecordedMessage> seen;
  seen.swap(g_seen);
  return seen;
}

std::vector<RecordedMessage> TestWindow::Only(const std::vector<RecordedMessage>& seen,
                                              UINT message) {
  std::vector<RecordedMessage> matching;
  for (const RecordedMessage& one : seen)
    if (one.message == message) matching.push_back(one);
  return matching;
}
