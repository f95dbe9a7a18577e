#pragma once
// Which key each joystick button also presses: one key code per button 0 to 15, shared by the
// whole program. The game core fills eight entries from the key bindings; scripts remap them.
#include <windef.h>

class JoystickButtonMap {
 public:
  static constexpr int kButtons = 16;
  static constexpr DWORD kUnmapped = 0xFFFF;

  // The button's key code; kUnmapped for a button outside 0 to 15.
  DWORD Get(int nButton) const { return IsButton(nButton) ? m_adwKeys[nButton] : kUnmapped; }
  // A button outside 0 to 15 changes nothing.
  void Map(int nButton, DWORD dwKeyCode) {
    if (IsButton(nButton)) m_adwKeys[nButton] = dwKeyCode;
  }

 private:
  static constexpr bool IsButton(int nButton) { return nButton >= 0 && nButton < kButtons; }

  DWORD m_adwKeys[kButtons] = {};
};

extern JoystickButtonMap g_JoystickButtonMap;

// The scripts' remapping of one button.
void MapJoystickButtons(int nButton, DWORD dwKeyCode);
