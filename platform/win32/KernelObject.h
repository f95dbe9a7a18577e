#pragma once
// Anything a kernel handle can stand for: threads, events, mutexes, files, searches.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "windows.h"

class KernelObject {
 public:
  virtual ~KernelObject() = default;

  // Waits until the object is signalled, for at most `milliseconds` of real time (INFINITE:
  // without limit). Returns WAIT_OBJECT_0 or WAIT_TIMEOUT; objects that cannot be waited for
  // return WAIT_FAILED with ERROR_INVALID_HANDLE, as on the original platform.
  virtual DWORD Wait(DWORD milliseconds);

 protected:
  // Waits on `changed` under `lock` until `ready()` holds or the time is up; true when ready.
  template <class Ready>
  static bool WaitUntil(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                        DWORD milliseconds, Ready ready) {
    if (milliseconds == INFINITE) {
      changed.wait(lock, ready);
      return true;
    }
    return changed.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
  }
};
