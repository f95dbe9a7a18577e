#include "MutexObject.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

// The mutexes the current thread owns, abandoned when the thread ends.
class OwnedMutexes {
 public:
  ~OwnedMutexes() {
    for (const Owned& owned : m_owned)
      if (auto mutex = owned.mutex.lock()) mutex->Abandon(owned.threadId);
  }
  void Add(const std::shared_ptr<MutexObject>& mutex) {
    m_owned.push_back(Owned{mutex, GetCurrentThreadId()});
  }
  void Remove(const MutexObject* mutex) {
    m_owned.erase(std::remove_if(m_owned.begin(), m_owned.end(),
                                 [&](const Owned& owned) {
                                   auto alive = owned.mutex.lock();
                                   return !alive || alive.get() == mutex;
                                 }),
                  m_owned.end());
  }

 private:
  struct Owned {
    std::weak_ptr<MutexObject> mutex;
    DWORD threadId;
  };
  std::vector<Owned> m_owned;
};

thread_local OwnedMutexes t_owned;

}  // namespace

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
  if (++m_recursion > 1) return WAIT_OBJECT_0;
  lock.unlock();
  t_owned.Add(shared_from_this());
  lock.lock();
  const bool abandoned = m_abandoned;
  m_abandoned = false;
  return abandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
}

bool MutexObject::Release() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_owner != GetCurrentThreadId()) return false;
    if (--m_recursion > 0) return true;
    m_owner = 0;
  }
  t_owned.Remove(this);
  m_changed.notify_one();
  return true;
}

void MutexObject::Abandon(DWORD threadId) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_owner != threadId) return;
    m_owner = 0;
    m_recursion = 0;
    m_abandoned = true;
  }
  m_changed.notify_one();
}
