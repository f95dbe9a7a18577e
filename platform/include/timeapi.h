#pragma once
// The multimedia timer.
#include "windef.h"
