#include "SignalObject.h"

SignalObject::SignalObject(bool manualReset, bool initiallySignalled)
    : m_manualReset(manualReset), m_signalled(initiallySignalled) {}

void SignalObject::Set() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_signalled = true;
  }
  if (m_manualReset)
    m_changed.notify_all();
  else
    m_changed.notify_one();
}

void SignalObject::Reset() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_signalled = false;
}

DWORD SignalObject::Wait(DWORD milliseconds) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!WaitUntil(m_changed, lock, milliseconds, [this] { return m_signalled; }))
    return WAIT_TIMEOUT;
  if (!m_manualReset) m_signalled = false;
  return WAIT_OBJECT_0;
}
