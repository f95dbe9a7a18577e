#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "mmsystem.h"
#include "windows.h"
#include "zktest/ZkTestKernel.h"

namespace {

struct ThreadCall {
  HANDLE go = nullptr;  // the thread waits for this event, when set
  DWORD seenId = 0;
  DWORD result = 0;
};

DWORD WINAPI RecordAndReturn(LPVOID parameter) {
  auto* call = static_cast<ThreadCall*>(parameter);
  if (call->go) WaitForSingleObject(call->go, INFINITE);
  call->seenId = GetCurrentThreadId();
  return call->result;
}

TEST(ThreadsTest, ThreadRunsIsWaitedForAndGivesItsExitCode) {
  ThreadCall call;
  call.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  call.result = 1234;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, RecordAndReturn, &call, 0, &id);
  ASSERT_NE(thread, nullptr);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  SetEvent(call.go);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 1234u);
  EXPECT_EQ(call.seenId, id);
  EXPECT_NE(id, GetCurrentThreadId());
  EXPECT_TRUE(CloseHandle(thread));
  CloseHandle(call.go);
}

TEST(ThreadsTest, SuspendedThreadStartsWhenResumed) {
  ThreadCall call;
  HANDLE thread = CreateThread(nullptr, 0, RecordAndReturn, &call, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 20), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(call.seenId, 0u);
  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_NE(call.seenId, 0u);
  EXPECT_EQ(ResumeThread(thread), 0u);
  CloseHandle(thread);
}

TEST(ThreadsTest, ThreadOutlivesItsClosedHandle) {
  ThreadCall call;
  call.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  struct Both {
    ThreadCall* call;
    HANDLE done;
  } both{&call, done};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        auto* b = static_cast<Both*>(p);
        RecordAndReturn(b->call);
        SetEvent(b->done);
        return 0;
      },
      &both, 0, nullptr);
  ASSERT_TRUE(CloseHandle(thread));
  SetEvent(call.go);
  EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
  CloseHandle(done);
  CloseHandle(call.go);
}

TEST(ThreadsTest, WaitsRunOnRealTimeWhileTheTestClockStands) {
  ZkTestClockSetManual(0);
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 30), static_cast<DWORD>(WAIT_TIMEOUT));
  Sleep(1);
  EXPECT_EQ(timeGetTime(), 0u);
  CloseHandle(event);
  ZkTestClockSetReal();
}

TEST(ThreadsTest, EventsResetAutomaticallyOrByHand) {
  HANDLE automatic = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(SetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(automatic);
  CloseHandle(manual);
}

TEST(ThreadsTest, MutexBelongsToOneThreadRecursively) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // again, by its owner
  struct Probe {
    HANDLE mutex;
    DWORD wait = 0;
    BOOL released = TRUE;
  } probe{mutex};
  auto tryFromOtherThread = [](LPVOID p) -> DWORD {
    auto* probe = static_cast<Probe*>(p);
    probe->released = ReleaseMutex(probe->mutex);
    probe->wait = WaitForSingleObject(probe->mutex, 0);
    if (probe->wait == WAIT_OBJECT_0) ReleaseMutex(probe->mutex);
    return 0;
  };
  HANDLE thread = CreateThread(nullptr, 0, tryFromOtherThread, &probe, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_FALSE(probe.released);
  EXPECT_EQ(probe.wait, static_cast<DWORD>(WAIT_TIMEOUT));

  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_TRUE(ReleaseMutex(mutex));  // both holds let go: free for others now
  thread = CreateThread(nullptr, 0, tryFromOtherThread, &probe, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_EQ(probe.wait, WAIT_OBJECT_0);
  CloseHandle(mutex);
}

TEST(ThreadsTest, MutexLeftByAnEndedThreadIsTakenAsAbandoned) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  HANDLE thread = CreateThread(
      nullptr, 0, [](LPVOID mutex) -> DWORD { return WaitForSingleObject(mutex, INFINITE); },
      mutex, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(WaitForSingleObject(mutex, 5000), WAIT_ABANDONED);
  EXPECT_TRUE(ReleaseMutex(mutex));  // owned now, and no longer abandoned
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(mutex);
}

TEST(ThreadsTest, CriticalSectionExcludesOtherThreads) {
  struct Shared {
    CRITICAL_SECTION section;
    long counter = 0;
  } shared;
  InitializeCriticalSection(&shared.section);
  auto add = [](LPVOID p) -> DWORD {
    auto* shared = static_cast<Shared*>(p);
    for (int i = 0; i < 20000; ++i) {
      EnterCriticalSection(&shared->section);
      EnterCriticalSection(&shared->section);  // recursive, as on the original platform
      long value = shared->counter;
      shared->counter = value + 1;
      LeaveCriticalSection(&shared->section);
      LeaveCriticalSection(&shared->section);
    }
    return 0;
  };
  std::vector<HANDLE> threads;
  for (int i = 0; i < 4; ++i) threads.push_back(CreateThread(nullptr, 0, add, &shared, 0, nullptr));
  for (HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  EXPECT_EQ(shared.counter, 80000);

  EnterCriticalSection(&shared.section);
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD { return TryEnterCriticalSection(&static_cast<Shared*>(p)->section); },
      &shared, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  DWORD entered = 1;
  GetExitCodeThread(thread, &entered);
  EXPECT_EQ(entered, 0u);
  CloseHandle(thread);
  LeaveCriticalSection(&shared.section);
  DeleteCriticalSection(&shared.section);
}

TEST(ThreadsTest, StaleAndWrongHandlesAreErrors) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(CloseHandle(event));
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(event));
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  EXPECT_FALSE(SetEvent(mutex));  // a mutex is not an event
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(mutex);
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(
      nullptr, 0, [](LPVOID go) -> DWORD { return WaitForSingleObject(go, INFINITE); }, go, 0,
      nullptr);
  EXPECT_FALSE(SetEvent(thread));  // a thread's end is not an event to set
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(go);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  CloseHandle(thread);
  CloseHandle(go);
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_TRUE(CloseHandle(GetCurrentProcess()));
}

TEST(ThreadsTest, LastErrorBelongsToEachThread) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID) -> DWORD {
        const DWORD seen = GetLastError();
        SetLastError(ERROR_ACCESS_DENIED);
        return seen;
      },
      nullptr, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  const DWORD mine = GetLastError();
  DWORD seen = 99;
  GetExitCodeThread(thread, &seen);
  CloseHandle(thread);
  EXPECT_EQ(seen, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(mine, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
