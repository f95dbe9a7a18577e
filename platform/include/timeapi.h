#pragma once
// The multimedia timer. It reads the platform clock (zkplatform/ZkClock.h) in milliseconds.
#include "windef.h"

typedef UINT MMRESULT;
#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

// Milliseconds of the platform clock as a 32-bit value that wraps after about 49.7 days.
ZKAPI DWORD timeGetTime();
// Resolution requests are counted, so that every timeEndPeriod must match a timeBeginPeriod;
// the clock itself always runs at full resolution.
ZKAPI MMRESULT timeBeginPeriod(UINT uPeriod);
ZKAPI MMRESULT timeEndPeriod(UINT uPeriod);
