#pragma once
// The one clock behind every timer of the platform (timeGetTime, the performance counter, the
// sound cursors, ...). Tests can stop it and move it by hand through zktest/ZkTestClock.h.
#include <cstdint>

#include "zkplatform/ZkApi.h"

// Microseconds on a monotonic clock, counted from the first call in this process.
ZKAPI uint64_t ZkClockMicroseconds();
