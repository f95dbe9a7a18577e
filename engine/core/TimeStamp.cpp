#include "core/TimeStamp.h"

#include "zkplatform/ZkClock.h"

uint64_t ReadTimeStamp() { return ZkReadTimeStampCounter(); }
