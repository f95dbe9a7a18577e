#include "cpelto/JoystickButtonMap.h"

JoystickButtonMap g_JoystickButtonMap;

void MapJoystickButtons(int nButton, DWORD dwKeyCode) { g_JoystickButtonMap.Map(nButton, dwKeyCode); }
