#pragma once
// The source name the render targets and their bank log under, and the lock release they share.
#include "windef.h"

class CEngineLog;

extern const char kRenderTargetSource[];

// One lock off `count`; at 0 logs `warning` at the error level, on the caller's line, and leaves
// it. The new count.
UINT ReleaseRenderTargetLock(UINT& count, CEngineLog* log, const char* warning, int line = __builtin_LINE());
