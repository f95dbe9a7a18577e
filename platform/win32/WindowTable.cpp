#include "WindowTable.h"

#include "InputState.h"
#include "MessageQueue.h"

WindowTable& WindowTable::Instance() {
  static WindowTable table;
  return table;
}

HWND WindowTable::Add(Window window) {
  std::lock_guard<std::mutex> guard(m_lock);
  window.handle = reinterpret_cast<HWND>(m_nextHandle);
  m_nextHandle += 4;
  m_windows[window.handle] = window;
  return window.handle;
}

bool WindowTable::Remove(HWND handle, Window& removed) {
  std::lock_guard<std::mutex> guard(m_lock);
  auto found = m_windows.find(handle);
  if (found == m_windows.end()) return false;
  removed = found->second;
  m_windows.erase(found);
  if (m_foreground == handle) m_foreground = nullptr;
  return true;
}

bool WindowTable::Find(HWND handle, Window& out) const {
  std::lock_guard<std::mutex> guard(m_lock);
  auto found = m_windows.find(handle);
  if (found == m_windows.end()) return false;
  out = found->second;
  return true;
}

size_t WindowTable::Count() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_windows.size();
}

HWND WindowTable::FromSdlId(Uint32 sdlId) const {
  std::lock_guard<std::mutex> guard(m_lock);
  for (const auto& [handle, window] : m_windows)
    if (window.sdlId == sdlId) return handle;
  return nullptr;
}

HWND WindowTable::Newest() const {
  std::lock_guard<std::mutex> guard(m_lock);
  // Handles grow with each window, so the map runs from the oldest to the newest.
  for (auto entry = m_windows.rbegin(); entry != m_windows.rend(); ++entry)
    if (entry->second.visible) return entry->first;
  return m_windows.empty() ? nullptr : m_windows.rbegin()->first;
}

bool WindowTable::Update(HWND handle, const std::function<void(Window&)>& change) {
  std::lock_guard<std::mutex> guard(m_lock);
  auto found = m_windows.find(handle);
  if (found == m_windows.end()) return false;
  change(found->second);
  return true;
}

HWND WindowTable::Foreground() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_foreground;
}

HWND WindowTable::Activate(HWND handle) {
  HWND previous;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (handle && !m_windows.count(handle)) return m_foreground;
    previous = m_foreground;
    if (previous == handle) return previous;
    m_foreground = handle;
  }
  MessageQueue& queue = MessageQueue::Instance();
  if (previous) {
    InputState::Instance().ReleaseAll();
    queue.Post(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
  }
  if (handle) queue.Post(handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
  return previous;
}

LRESULT WindowTable::Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) const {
  WNDPROC proc;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_windows.find(handle);
    if (found == m_windows.end()) return 0;
    proc = found->second.proc;
  }
  return proc(handle, message, wParam, lParam);
}
