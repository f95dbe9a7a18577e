#include "ThreadObject.h"

ThreadObject::ThreadObject(DWORD id, bool suspended)
    : m_id(id), m_suspended(suspended) {}

void ThreadObject::Finish(DWORD exitCode) {
  m_exitCode.store(exitCode);
  m_ended.Set();
}

void ThreadObject::WaitUntilResumed() {
  std::unique_lock<std::mutex> lock(m_resumeMutex);
  m_resumed.wait(lock, [this] { return !m_suspended; });
}

DWORD ThreadObject::Resume() {
  std::lock_guard<std::mutex> lock(m_resumeMutex);
  const DWORD previous = m_suspended ? 1 : 0;
  m_suspended = false;
  m_resumed.notify_all();
  return previous;
}
