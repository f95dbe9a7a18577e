#pragma once
// The multimedia interfaces: the timer and waveOut.
#include "windef.h"
#include "mmreg.h"
#include "timeapi.h"
#include "mmeapi.h"
