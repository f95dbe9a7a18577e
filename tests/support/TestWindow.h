#pragma once
// A window whose procedure records every message it gets (and hands it on to DefWindowProcA),
// for tests of the message pump and of what reads the window's input.
#include <vector>

#include "windows.h"

struct RecordedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class TestWindow {
 public:
  // A window of its own class ("ZkTestWindow" plus the class style) at (0, 0), 320 x 240.
  explicit TestWindow(DWORD style = WS_POPUP, DWORD exStyle = 0, UINT classStyle = 0);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return m_hwnd; }
  // Takes every pending message, translating and dispatching each, as a game's loop does.
  // Returns the messages the procedure saw (sent ones included) and forgets them.
  std::vector<RecordedMessage> Pump();
  // The messages of `message` among what Pump returned.
  static std::vector<RecordedMessage> Only(const std::vector<RecordedMessage>& seen, UINT message);

 private:
  HWND m_hwnd = nullptr;
};
