#pragma once
// The processor's time stamp as the platform gives it (on the platform clock, so the profiler
// follows the test clock like every other timer). Samples keep the low 32 bits and take
// differences modulo 2^32.
#include <cstdint>

uint64_t ReadTimeStamp();
