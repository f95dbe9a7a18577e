#pragma once
// What the rest of the platform (the Direct3D device, DirectInput) needs to know about a window.
#include "windef.h"

struct SDL_Window;

// The SDL window behind a window handle, or null when the handle is not one of our windows.
// Every window is created able to carry an OpenGL context.
ZKAPI SDL_Window* ZkSdlWindowFromHwnd(HWND hwnd);
