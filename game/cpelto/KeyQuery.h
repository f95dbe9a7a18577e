#pragma once
// The player's reading of one key: its state this frame, and whether it was down (1) the frame
// before. A code outside the key tables reads 0, not down before.
#include <windef.h>

DWORD QueryKey(DWORD dwKeyCode, bool* pbWasDown);
