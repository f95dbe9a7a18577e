#pragma once
// Message crackers: the signed cursor coordinates packed into a mouse message's lParam.
#include "windef.h"

#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
