#pragma once
// Turns the joystick's axes and buttons into entries of the incoming key table, once a frame.
// Keys are written only when the stick or a button changes, so a keyboard key bound to the same
// action keeps its state while the stick rests.
#include <windef.h>

#include "cpelto/KeyBindings.h"

class CGameInputs;
class JoystickButtonMap;

class JoystickKeyFeed {
 public:
  // Key codes past the keyboard's: full deflections left, right, up, down, then buttons 0 to 15.
  static constexpr DWORD kStickLeft = 288;
  static constexpr DWORD kStickRight = 289;
  static constexpr DWORD kStickUp = 290;
  static constexpr DWORD kStickDown = 291;
  static constexpr DWORD kFirstButton = 292;

  // `pInputs` may be null: the stick then rests in the middle with every button up.
  void Feed(const CGameInputs* pInputs, const KeyBindings& bindings,
            const JoystickButtonMap& buttonMap);

 private:
  // On a change of one axis: its full deflections press their key and code, anything else
  // releases all four.
  static void FeedAxis(LONG lValue, DWORD dwNegativeKey, DWORD dwNegativeCode, DWORD dwPositiveKey,
                       DWORD dwPositiveCode);

  LONG m_lPreviousX = 0;
  LONG m_lPreviousY = 0;
  DWORD m_adwPreviousButtons[16] = {};
};
