#pragma once
// Test control of the kernel part of the platform: the process exit, message boxes, the
// single-instance lock files and the calendar time. The clock is in zktest/ZkTestClock.h.
#include <cstdint>
#include <string>
#include <vector>

#include "windef.h"
#include "zktest/ZkTestClock.h"

// Replaces what ExitProcess does. The hook should throw, so that a test catches the exit of a
// fatal path; if it returns, the process exits for real. Null restores the real exit. The hook
// runs on the exiting thread: an exception that leaves a thread made by CreateThread ends the
// process, so fatal paths are tested on the test's own thread.
typedef void (*ZkExitHook)(UINT exitCode);
ZKAPI void ZkTestSetExitHook(ZkExitHook hook);

// While capturing, MessageBoxA never shows a box: it records the box, writes it to standard
// error and answers at once with the set answer, or with the box's default button when the
// answer is 0. Starting a capture forgets earlier records.
struct ZkTestMessageBox {
  std::string caption;
  std::string text;
  UINT type;
  int result;
};
ZKAPI void ZkTestMessageBoxCapture(bool capture);
ZKAPI void ZkTestMessageBoxSetAnswer(int answer);
ZKAPI_CPP std::vector<ZkTestMessageBox> ZkTestMessageBoxes();

// The folder of the lock files behind named mutexes (by default $XDG_RUNTIME_DIR, else /tmp).
// A test that creates a named mutex (the engine's start-up does: "ZeKorb_mutex") gives itself a
// folder of its own, or a test running at the same time would see the name taken and exit.
ZKAPI void ZkTestSetLockFolder(const char* folder);

// The calendar time, in microseconds since 1970 (UTC), at which the platform clock reads zero;
// GetLocalTime and GetSystemTime add the clock's reading to it.
ZKAPI void ZkTestSetCalendarOrigin(int64_t unixMicroseconds);
