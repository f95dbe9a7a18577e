#pragma once
// A mutex owned by one thread at a time, recursively. A named one also keeps the lock file that
// makes its name exclusive between processes. When its owner thread ends without releasing it,
// the next thread to wait takes it with WAIT_ABANDONED, as on the original platform, instead of
// waiting for ever.
#include <memory>

#include "KernelObject.h"

class MutexObject : public KernelObject, public std::enable_shared_from_this<MutexObject> {
 public:
  // lockFile: an open descriptor holding the name's lock, or -1; closed with the mutex.
  explicit MutexObject(int lockFile);
  ~MutexObject() override;
  MutexObject(const MutexObject&) = delete;
  MutexObject& operator=(const MutexObject&) = delete;

  // Takes ownership for the calling thread: WAIT_OBJECT_0, WAIT_ABANDONED or WAIT_TIMEOUT.
  DWORD Wait(DWORD milliseconds) override;
  // False when the calling thread does not own the mutex.
  bool Release();
  // The thread has ended: a mutex it still owns becomes free and abandoned.
  void Abandon(DWORD threadId);

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  DWORD m_owner = 0;  // thread id, 0 when free
  DWORD m_recursion = 0;
  bool m_abandoned = false;
  const int m_lockFile;
};
