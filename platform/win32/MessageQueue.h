#pragma once
// The process's queue of posted window messages. Windows keeps one per thread; here the thread
// that pumps is the one that made the windows, and other threads only post.
#include <deque>
#include <mutex>

#include "winuser.h"

class MessageQueue {
 public:
  static MessageQueue& Instance();

  // Stamps the message with the clock's time and the cursor position.
  void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void PostQuit(int exitCode);
  // The first message for `hwnd` (any window when null) within the filter range (everything
  // when both ends are 0). A quit request comes once every posted message has been taken.
  bool Peek(MSG& out, HWND hwnd, UINT filterMin, UINT filterMax, bool remove);
  // A destroyed window's messages are dropped.
  void DropWindow(HWND hwnd);

 private:
  std::mutex m_lock;
  std::deque<MSG> m_messages;
  bool m_quitPosted = false;
  int m_quitCode = 0;
};
