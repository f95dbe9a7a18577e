#pragma once
// The Windows interfaces that the engine and the game use, served by libzkplatform.so.
#include <cstring>

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winuser.h"
#include "wingdi.h"
#include "winreg.h"
#include "zkcrt.h"
