#pragma once
// The input snapshots that DirectInput and GetAsyncKeyState read: key bytes, mouse motion and
// buttons, joystick values. The message pump writes them on the main thread; readers on any
// thread (the engine polls from its own) take the same lock.
#include <SDL2/SDL_joystick.h>

#include <cstdint>
#include <map>
#include <mutex>

#include "VirtualKeys.h"

// Running totals of the mouse since the process started; a reader keeps the totals of its last
// read and takes the difference, so every reader sees the motion since its own last read.
struct MouseTotals {
  int64_t x = 0;
  int64_t y = 0;
  int64_t wheel = 0;     // WHEEL_DELTA (120) per notch, away from the user positive
  BYTE buttons[8] = {};  // 0x80 while down: left, right, middle, X1, X2
};

struct JoystickSnapshot {
  static constexpr int kMaxAxes = 8;
  static constexpr int kMaxButtons = 128;
  static constexpr int kMaxHats = 4;
  int axisCount = 0;
  int buttonCount = 0;
  int hatCount = 0;
  int16_t axes[kMaxAxes] = {};
  BYTE buttons[kMaxButtons] = {};
  uint8_t hats[kMaxHats] = {};  // SDL_HAT_* bits
  bool attached = false;
};

class InputState {
 public:
  static InputState& Instance();

  void SetKey(const KeyCodes& key, bool down);
  void CopyKeyBytes(BYTE out[256]) const;
  bool IsKeyDown(BYTE dik) const;
  bool IsVirtualKeyDown(int vk) const;

  void AddMouseMotion(int dx, int dy);
  void AddMouseWheel(int delta);
  // Button 0 left, 1 right, 2 middle, 3 and 4 the side buttons.
  void SetMouseButton(int button, bool down);
  MouseTotals Mouse() const;

  // Everything held is let go: the window lost the focus and will not see the releases.
  void ReleaseAll();

  // Joysticks opened by DirectInput devices (main thread). Opening twice counts a reference.
  bool OpenJoystick(SDL_JoystickID id);
  void CloseJoystick(SDL_JoystickID id);
  // Copies the current values of every open joystick (the message pump, after SDL's update).
  void RefreshJoysticks();
  JoystickSnapshot Joystick(SDL_JoystickID id) const;

 private:
  struct OpenJoystickEntry {
    SDL_Joystick* joystick = nullptr;
    int references = 0;
    JoystickSnapshot snapshot;
  };

  mutable std::mutex m_lock;
  BYTE m_keys[256] = {};
  bool m_virtualKeys[256] = {};
  MouseTotals m_mouse;
  std::map<SDL_JoystickID, OpenJoystickEntry> m_joysticks;
};
