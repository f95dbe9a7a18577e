#pragma once
// A thread made by CreateThread: signalled when it ends, holding its exit code.
#include <atomic>

#include "SignalObject.h"

// Its end is a signal of its own, not an event: SetEvent on a thread handle is refused.
class ThreadObject : public KernelObject {
 public:
  ThreadObject(DWORD id, bool suspended);

  DWORD Wait(DWORD milliseconds) override { return m_ended.Wait(milliseconds); }

  DWORD Id() const { return m_id; }
  // STILL_ACTIVE until the thread has ended.
  DWORD ExitCode() const { return m_exitCode.load(); }
  void Finish(DWORD exitCode);

  // A thread created suspended waits here until resumed once.
  void WaitUntilResumed();
  // The suspend count before the call (0 for a running thread).
  DWORD Resume();

  int Priority() const { return m_priority.load(); }
  void SetPriority(int priority) { m_priority.store(priority); }

 private:
  const DWORD m_id;
  SignalObject m_ended{true, false};
  std::atomic<DWORD> m_exitCode{STILL_ACTIVE};
  std::atomic<int> m_priority{THREAD_PRIORITY_NORMAL};
  std::mutex m_resumeMutex;
  std::condition_variable m_resumed;
  bool m_suspended;
};
