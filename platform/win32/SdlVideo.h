#pragma once
// SDL's video subsystem, started once for the windows, cursors and the message pump.

class SdlVideo {
 public:
  // Starts the video subsystem on first use. Without a display (DISPLAY and WAYLAND_DISPLAY
  // unset) and without an explicit SDL_VIDEODRIVER, windows are offscreen. False when SDL
  // cannot start; the reason goes to standard error.
  static bool Ensure();
  // Starts the joystick subsystem (DirectInput's game controllers).
  static bool EnsureJoysticks();
};
