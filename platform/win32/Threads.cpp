// Threads: creation, identity, priorities recorded, and Sleep.
#include <unistd.h>

#include <atomic>
#include <system_error>
#include <thread>

#include "HandleTable.h"
#include "LastError.h"
#include "ThreadObject.h"

namespace {

// Handles that always mean the caller, as on the original platform.
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;
thread_local int t_priority = THREAD_PRIORITY_NORMAL;

bool ValidPriority(int priority) {
  return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
         priority == THREAD_PRIORITY_TIME_CRITICAL || priority == THREAD_PRIORITY_IDLE;
}

}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                    LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
  if (!lpStartAddress) {
    FailWith(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const DWORD id = g_nextThreadId.fetch_add(1);
  auto thread = std::make_shared<ThreadObject>(id, (dwCreationFlags & CREATE_SUSPENDED) != 0);
  try {
    // The thread keeps its own reference, so it may outlive every handle to it.
    std::thread([thread, lpStartAddress, lpParameter] {
      t_threadId = thread->Id();
      thread->WaitUntilResumed();
      thread->Finish(lpStartAddress(lpParameter));
    }).detach();
  } catch (const std::system_error&) {
    FailWith(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (lpThreadId) *lpThreadId = id;
  return HandleTable::Instance().Add(thread);
}

DWORD ResumeThread(HANDLE hThread) {
  auto thread = HandleTable::Instance().FindAs<ThreadObject>(hThread);
  if (!thread) {
    FailWith(ERROR_INVALID_HANDLE);
    return static_cast<DWORD>(-1);
  }
  return thread->Resume();
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  auto thread = HandleTable::Instance().FindAs<ThreadObject>(hThread);
  if (!thread) return FailWith(ERROR_INVALID_HANDLE);
  if (!lpExitCode) return FailWith(ERROR_INVALID_PARAMETER);
  *lpExitCode = thread->ExitCode();
  return TRUE;
}

BOOL SetThreadPriority(HANDLE hThread, int nPriority) {
  if (!ValidPriority(nPriority)) return FailWith(ERROR_INVALID_PARAMETER);
  if (hThread == kCurrentThread) {
    t_priority = nPriority;
    return TRUE;
  }
  auto thread = HandleTable::Instance().FindAs<ThreadObject>(hThread);
  if (!thread) return FailWith(ERROR_INVALID_HANDLE);
  thread->SetPriority(nPriority);
  return TRUE;
}

int GetThreadPriority(HANDLE hThread) {
  if (hThread == kCurrentThread) return t_priority;
  auto thread = HandleTable::Instance().FindAs<ThreadObject>(hThread);
  if (!thread) {
    FailWith(ERROR_INVALID_HANDLE);
    return 0x7FFFFFFF;  // THREAD_PRIORITY_ERROR_RETURN
  }
  return thread->Priority();
}

HANDLE GetCurrentThread() { return kCurrentThread; }

DWORD GetCurrentThreadId() {
  if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(1);
  return t_threadId;
}

HANDLE GetCurrentProcess() { return kCurrentProcess; }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

void Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0)
    std::this_thread::yield();
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}
