#pragma once
// Test control of the window input: each call pushes the SDL event that a real keyboard, mouse,
// joystick or desktop would produce for the window, so it takes the same path through the
// message pump. Nothing arrives until the next PeekMessageA.
#include "windef.h"
#include "zkplatform/ZkApi.h"

// A key by its DirectInput code (DIK_ value); FALSE when no physical key has that code.
ZKAPI BOOL ZkTestInputKey(HWND hwnd, BYTE dik, BOOL down);
// Typed text, UTF-8.
ZKAPI BOOL ZkTestInputText(HWND hwnd, const char* utf8);
// The pointer moved to client (x, y), having moved by (dx, dy) as the mouse reports it.
ZKAPI BOOL ZkTestInputMouseMove(HWND hwnd, int x, int y, int dx, int dy);
// Button 0 left, 1 right, 2 middle, pressed where the cursor is at the time of the call; clicks
// counts quick presses (2 for a double click).
ZKAPI BOOL ZkTestInputMouseButton(HWND hwnd, int button, BOOL down, int clicks);
// Wheel notches, away from the user positive.
ZKAPI BOOL ZkTestInputMouseWheel(HWND hwnd, int notches);
// The desktop asks the window to close.
ZKAPI BOOL ZkTestInputClose(HWND hwnd);
// The window gains or loses the keyboard focus.
ZKAPI BOOL ZkTestInputFocus(HWND hwnd, BOOL focused);
// The desktop minimises or restores the window.
ZKAPI BOOL ZkTestInputMinimize(HWND hwnd, BOOL minimized);

// A virtual joystick attached to SDL; the result numbers it for the calls below (-1 on
// failure). It is enumerated and read by DirectInput like a real one.
ZKAPI int ZkTestInputAttachJoystick(int axes, int buttons, int hats);
ZKAPI BOOL ZkTestInputJoystickAxis(int joystick, int axis, SHORT value);
ZKAPI BOOL ZkTestInputJoystickButton(int joystick, int button, BOOL down);
ZKAPI BOOL ZkTestInputJoystickHat(int joystick, int hat, BYTE sdlHatBits);
ZKAPI BOOL ZkTestInputDetachJoystick(int joystick);
