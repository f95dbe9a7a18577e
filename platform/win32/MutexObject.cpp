#include "MutexObject.h"

#include <unistd.h>

MutexObject::MutexObject(int lockFile) : m_lockFile(lockFile) {}

MutexObject::~MutexObject() {
  if (m_lockFile >= 0) close(m_lockFile);
}

DWORD MutexObject::Wait(DWORD milliseconds) {
  const DWORD self = GetCurrentThreadId();
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!WaitUntil(m_changed, lock, milliseconds, [&] { return m_owner == 0 || m_owner == self; }))
    return WAIT_TIMEOUT;
  m_owner = self;
  ++m_recursion;
  return WAIT_OBJECT_0;
}

bool MutexObject::Release() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_owner != GetCurrentThreadId()) return false;
    if (--m_recursion > 0) return true;
    m_owner = 0;
  }
  m_changed.notify_one();
  return true;
}
