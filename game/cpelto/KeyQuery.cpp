#include "cpelto/KeyQuery.h"

#include "framework/InputState.h"

DWORD QueryKey(DWORD dwKeyCode, bool* pbWasDown) {
  const bool bInTable = dwKeyCode < static_cast<DWORD>(kKeyTableSize);
  if (pbWasDown)
    *pbWasDown = bInTable && g_dwLastKeys[dwKeyCode].load(std::memory_order_relaxed) == 1;
  return bInTable ? g_dwCurrentKeys[dwKeyCode].load(std::memory_order_relaxed) : 0;
}
