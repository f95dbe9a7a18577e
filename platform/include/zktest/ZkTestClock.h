#pragma once
// Test control of the platform clock. With a manual clock, time moves only when a test moves it.
#include <cstdint>

#include "zkplatform/ZkApi.h"

ZKAPI void ZkTestClockSetManual(uint64_t microseconds);
ZKAPI void ZkTestClockAdvance(uint64_t microseconds);
ZKAPI void ZkTestClockSetReal();
ZKAPI bool ZkTestClockIsManual();
