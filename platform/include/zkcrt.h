#pragma once
// The C-runtime extensions of the original platform that the engine and the game call
// (_stricmp, _strlwr, ...).
#include "windef.h"
