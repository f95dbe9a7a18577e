#pragma once
// A mutex owned by one thread at a time, recursively. A named one also keeps the lock file that
// makes its name exclusive between processes.
#include "KernelObject.h"

class MutexObject : public KernelObject {
 public:
  // lockFile: an open descriptor holding the name's lock, or -1; closed with the mutex.
  explicit MutexObject(int lockFile);
  ~MutexObject() override;
  MutexObject(const MutexObject&) = delete;
  MutexObject& operator=(const MutexObject&) = delete;

  // Takes ownership for the calling thread.
  DWORD Wait(DWORD milliseconds) override;
  // False when the calling thread does not own the mutex.
  bool Release();

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  DWORD m_owner = 0;  // thread id, 0 when free
  DWORD m_recursion = 0;
  const int m_lockFile;
};
