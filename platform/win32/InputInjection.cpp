// The test-control header zktest/ZkTestInput.h: input pushed as SDL events or through SDL's
// virtual joysticks.
#include <SDL2/SDL.h>

#include <cstring>
#include <map>
#include <mutex>

#include "CursorState.h"
#include "SdlVideo.h"
#include "VirtualKeys.h"
#include "WindowTable.h"
#include "zktest/ZkTestInput.h"

namespace {

std::mutex g_lock;
std::map<int, SDL_Joystick*> g_joysticks;
int g_nextJoystick = 1;

bool SdlIdOf(HWND hwnd, Uint32& sdlId) {
  Window window;
  if (!WindowTable::Instance().Find(hwnd, window)) return false;
  sdlId = window.sdlId;
  return true;
}

BOOL Push(SDL_Event& event) { return SDL_PushEvent(&event) == 1 ? TRUE : FALSE; }

BOOL PushWindowEvent(HWND hwnd, SDL_WindowEventID what) {
  SDL_Event event = {};
  if (!SdlIdOf(hwnd, event.window.windowID)) return FALSE;
  event.type = SDL_WINDOWEVENT;
  event.window.event = what;
  return Push(event);
}

SDL_Joystick* JoystickOf(int joystick) {
  std::lock_guard<std::mutex> guard(g_lock);
  auto found = g_joysticks.find(joystick);
  return found == g_joysticks.end() ? nullptr : found->second;
}

}  // namespace

BOOL ZkTestInputKey(HWND hwnd, BYTE dik, BOOL down) {
  SDL_Event event = {};
  const SDL_Scancode scancode = VirtualKeys::ScancodeFromDik(dik);
  if (scancode == SDL_SCANCODE_UNKNOWN || !SdlIdOf(hwnd, event.key.windowID)) return FALSE;
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
  return Push(event);
}

BOOL ZkTestInputText(HWND hwnd, const char* utf8) {
  SDL_Event event = {};
  if (!utf8 || std::strlen(utf8) >= sizeof event.text.text || !SdlIdOf(hwnd, event.text.windowID))
    return FALSE;
  event.type = SDL_TEXTINPUT;
  std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
  return Push(event);
}

BOOL ZkTestInputMouseMove(HWND hwnd, int x, int y, int dx, int dy) {
  SDL_Event event = {};
  if (!SdlIdOf(hwnd, event.motion.windowID)) return FALSE;
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  event.motion.xrel = dx;
  event.motion.yrel = dy;
  return Push(event);
}

BOOL ZkTestInputMouseButton(HWND hwnd, int button, BOOL down, int clicks) {
  static constexpr Uint8 kButtons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE};
  SDL_Event event = {};
  if (button < 0 || button > 2 || clicks < 0 || clicks > 255 ||
      !SdlIdOf(hwnd, event.button.windowID))
    return FALSE;
  // A button is pressed where the pointer is.
  Window window;
  WindowTable::Instance().Find(hwnd, window);
  const POINT cursor = CursorState::Instance().Position();
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.button = kButtons[button];
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = static_cast<Uint8>(clicks);
  event.button.x = cursor.x - window.rect.left;
  event.button.y = cursor.y - window.rect.top;
  return Push(event);
}

BOOL ZkTestInputMouseWheel(HWND hwnd, int notches) {
  SDL_Event event = {};
  if (!SdlIdOf(hwnd, event.wheel.windowID)) return FALSE;
  event.type = SDL_MOUSEWHEEL;
  event.wheel.y = notches;
  event.wheel.preciseY = static_cast<float>(notches);
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  return Push(event);
}

BOOL ZkTestInputClose(HWND hwnd) { return PushWindowEvent(hwnd, SDL_WINDOWEVENT_CLOSE); }

BOOL ZkTestInputFocus(HWND hwnd, BOOL focused) {
  return PushWindowEvent(hwnd, focused ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
}

BOOL ZkTestInputMinimize(HWND hwnd, BOOL minimized) {
  return PushWindowEvent(hwnd, minimized ? SDL_WINDOWEVENT_MINIMIZED : SDL_WINDOWEVENT_RESTORED);
}

int ZkTestInputAttachJoystick(int axes, int buttons, int hats) {
  if (!SdlVideo::EnsureJoysticks()) return -1;
  const int index =
      SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, axes, buttons, hats);
  if (index < 0) return -1;
  SDL_Joystick* joystick = SDL_JoystickOpen(index);
  if (!joystick) return -1;
  std::lock_guard<std::mutex> guard(g_lock);
  g_joysticks[g_nextJoystick] = joystick;
  return g_nextJoystick++;
}

BOOL ZkTestInputJoystickAxis(int joystick, int axis, SHORT value) {
  SDL_Joystick* found = JoystickOf(joystick);
  return found && SDL_JoystickSetVirtualAxis(found, axis, value) == 0 ? TRUE : FALSE;
}

BOOL ZkTestInputJoystickButton(int joystick, int button, BOOL down) {
  SDL_Joystick* found = JoystickOf(joystick);
  return found &&
                 SDL_JoystickSetVirtualButton(found, button, down ? SDL_PRESSED : SDL_RELEASED) == 0
             ? TRUE
             : FALSE;
}

BOOL ZkTestInputJoystickHat(int joystick, int hat, BYTE sdlHatBits) {
  SDL_Joystick* found = JoystickOf(joystick);
  return found && SDL_JoystickSetVirtualHat(found, hat, sdlHatBits) == 0 ? TRUE : FALSE;
}

BOOL ZkTestInputDetachJoystick(int joystick) {
  SDL_Joystick* found;
  {
    std::lock_guard<std::mutex> guard(g_lock);
    auto entry = g_joysticks.find(joystick);
    if (entry == g_joysticks.end()) return FALSE;
    found = entry->second;
    g_joysticks.erase(entry);
  }
  const SDL_JoystickID id = SDL_JoystickInstanceID(found);
  SDL_JoystickClose(found);
  for (int index = 0; index < SDL_NumJoysticks(); ++index)
    if (SDL_JoystickGetDeviceInstanceID(index) == id)
      return SDL_JoystickDetachVirtual(index) == 0 ? TRUE : FALSE;
  return FALSE;
}
