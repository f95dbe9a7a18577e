#pragma once
// SDL's video subsystem, started once for the windows, cursors, the message pump and the
// Direct3D device.

class SdlVideo {
 public:
  // Starts the video subsystem on first use. Without a display (DISPLAY and WAYLAND_DISPLAY
  // unset) and without an explicit SDL_VIDEODRIVER, windows are offscreen. False when SDL
  // cannot start; the reason goes to standard error. Also fixes the OpenGL attributes every
  // window and context is made with: under EGL a context only binds to a window whose surface
  // was made with the same configuration.
  static bool Ensure();
  // Starts the joystick subsystem (DirectInput's game controllers).
  static bool EnsureJoysticks();
};
