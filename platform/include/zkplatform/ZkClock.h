#pragma once
// The one clock behind every timer of the platform (timeGetTime, the performance counter, the
// time-stamp counter, the sound cursors, ...). Tests can stop it and move it by hand through
// zktest/ZkTestClock.h. Sleeps and waits never depend on it: they run on real time.
#include <cstdint>

#include "zkplatform/ZkApi.h"

// Microseconds on a monotonic clock, counted from the first call in this process.
ZKAPI uint64_t ZkClockMicroseconds();

// The stand-in for the processor's time-stamp counter: ticks of the platform clock at
// ZkTimeStampFrequency() per second. Callers that keep the low 32 bits take differences modulo
// 2^32, which stay right across the wrap.
ZKAPI uint64_t ZkReadTimeStampCounter();
ZKAPI uint64_t ZkTimeStampFrequency();
