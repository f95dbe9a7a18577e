#pragma once
// The one table between SDL's physical keys, Windows virtual keys and DirectInput key codes
// (which are the keyboard's set-1 scan codes, 0x80 marking the extended keys).
#include <SDL2/SDL_scancode.h>

#include "windef.h"

struct KeyCodes {
  BYTE vk = 0;       // what WM_KEYDOWN carries (VK_SHIFT for either shift key)
  BYTE sidedVk = 0;  // the left or right form (VK_LSHIFT), 0 when the key has none
  BYTE dik = 0;      // DirectInput key code, 0 for keys DirectInput does not know
};

class VirtualKeys {
 public:
  // The codes of a physical key; all zero for keys outside the table.
  static KeyCodes FromScancode(SDL_Scancode scancode);
  // The physical key of a DirectInput key code, SDL_SCANCODE_UNKNOWN when there is none.
  static SDL_Scancode ScancodeFromDik(BYTE dik);
};
