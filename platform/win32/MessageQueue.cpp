#include "MessageQueue.h"

#include <algorithm>

#include "CursorState.h"
#include "WindowEvents.h"
#include "WindowTable.h"
#include "zkplatform/ZkClock.h"

namespace {

bool InRange(UINT message, UINT filterMin, UINT filterMax) {
  if (filterMin == 0 && filterMax == 0) return true;
  return message >= filterMin && message <= filterMax;
}

}  // namespace

MessageQueue& MessageQueue::Instance() {
  static MessageQueue queue;
  return queue;
}

void MessageQueue::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG posted = {};
  posted.hwnd = hwnd;
  posted.message = message;
  posted.wParam = wParam;
  posted.lParam = lParam;
  posted.time = static_cast<DWORD>(ZkClockMicroseconds() / 1000);
  posted.pt = CursorState::Instance().Position();
  std::lock_guard<std::mutex> guard(m_lock);
  m_messages.push_back(posted);
}

void MessageQueue::PostQuit(int exitCode) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_quitPosted = true;
  m_quitCode = exitCode;
}

bool MessageQueue::Peek(MSG& out, HWND hwnd, UINT filterMin, UINT filterMax, bool remove) {
  std::lock_guard<std::mutex> guard(m_lock);
  auto found = std::find_if(m_messages.begin(), m_messages.end(), [&](const MSG& queued) {
    return (!hwnd || queued.hwnd == hwnd) && InRange(queued.message, filterMin, filterMax);
  });
  if (found != m_messages.end()) {
    out = *found;
    if (remove) m_messages.erase(found);
    return true;
  }
  if (m_quitPosted && m_messages.empty() && InRange(WM_QUIT, filterMin, filterMax)) {
    out = {};
    out.message = WM_QUIT;
    out.wParam = static_cast<WPARAM>(m_quitCode);
    out.time = static_cast<DWORD>(ZkClockMicroseconds() / 1000);
    if (remove) m_quitPosted = false;
    return true;
  }
  return false;
}

void MessageQueue::DropWindow(HWND hwnd) {
  std::lock_guard<std::mutex> guard(m_lock);
  std::erase_if(m_messages, [hwnd](const MSG& queued) { return queued.hwnd == hwnd; });
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  WindowEvents::Pump();
  return MessageQueue::Instance().Peek(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax,
                                       (wRemoveMsg & PM_REMOVE) != 0)
             ? TRUE
             : FALSE;
}

// Characters come from SDL's text input as their own messages, so there is nothing to
// translate; the answer says whether the message was a key message, as on the original.
BOOL TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg) return FALSE;
  switch (lpMsg->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: return TRUE;
    default: return FALSE;
  }
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg || !lpMsg->hwnd) return 0;
  return WindowTable::Instance().Send(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window window;
  if (hWnd && !WindowTable::Instance().Find(hWnd, window)) return FALSE;
  MessageQueue::Instance().Post(hWnd, Msg, wParam, lParam);
  return TRUE;
}

void PostQuitMessage(int nExitCode) { MessageQueue::Instance().PostQuit(nExitCode); }

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return WindowTable::Instance().Send(hWnd, Msg, wParam, lParam);
}
