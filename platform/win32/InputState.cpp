#include "InputState.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <iterator>

#include "winuser.h"

InputState& InputState::Instance() {
  static InputState state;
  return state;
}

void InputState::SetKey(const KeyCodes& key, bool down) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (key.dik) m_keys[key.dik] = down ? 0x80 : 0;
  BYTE vk = key.sidedVk ? key.sidedVk : key.vk;
  if (vk) m_virtualKeys[vk] = down;
}

void InputState::CopyKeyBytes(BYTE out[256]) const {
  std::lock_guard<std::mutex> guard(m_lock);
  std::copy(std::begin(m_keys), std::end(m_keys), out);
}

bool InputState::IsKeyDown(BYTE dik) const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_keys[dik] != 0;
}

bool InputState::IsVirtualKeyDown(int vk) const {
  if (vk <= 0 || vk > 255) return false;
  std::lock_guard<std::mutex> guard(m_lock);
  // The plain modifier codes answer for either side.
  switch (vk) {
    case VK_SHIFT: return m_virtualKeys[VK_LSHIFT] || m_virtualKeys[VK_RSHIFT];
    case VK_CONTROL: return m_virtualKeys[VK_LCONTROL] || m_virtualKeys[VK_RCONTROL];
    case VK_MENU: return m_virtualKeys[VK_LMENU] || m_virtualKeys[VK_RMENU];
    default: return m_virtualKeys[vk];
  }
}

void InputState::AddMouseMotion(int dx, int dy) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_mouse.x += dx;
  m_mouse.y += dy;
}

void InputState::AddMouseWheel(int delta) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_mouse.wheel += delta;
}

void InputState::SetMouseButton(int button, bool down) {
  static constexpr int kVirtualKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1,
                                         VK_XBUTTON2};
  if (button < 0 || button >= static_cast<int>(std::size(kVirtualKeys))) return;
  std::lock_guard<std::mutex> guard(m_lock);
  m_mouse.buttons[button] = down ? 0x80 : 0;
  m_virtualKeys[kVirtualKeys[button]] = down;
}

MouseTotals InputState::Mouse() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_mouse;
}

void InputState::ReleaseAll() {
  std::lock_guard<std::mutex> guard(m_lock);
  std::fill(std::begin(m_keys), std::end(m_keys), 0);
  std::fill(std::begin(m_virtualKeys), std::end(m_virtualKeys), false);
  std::fill(std::begin(m_mouse.buttons), std::end(m_mouse.buttons), 0);
}

bool InputState::OpenJoystick(SDL_JoystickID id) {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_joysticks.find(id);
    if (found != m_joysticks.end()) {
      ++found->second.references;
      return true;
    }
  }
  SDL_Joystick* joystick = nullptr;
  for (int index = 0; index < SDL_NumJoysticks() && !joystick; ++index)
    if (SDL_JoystickGetDeviceInstanceID(index) == id) joystick = SDL_JoystickOpen(index);
  if (!joystick) return false;
  std::lock_guard<std::mutex> guard(m_lock);
  OpenJoystickEntry& entry = m_joysticks[id];
  entry.joystick = joystick;
  entry.references = 1;
  entry.snapshot.axisCount =
      std::clamp(SDL_JoystickNumAxes(joystick), 0, JoystickSnapshot::kMaxAxes);
  entry.snapshot.buttonCount =
      std::clamp(SDL_JoystickNumButtons(joystick), 0, JoystickSnapshot::kMaxButtons);
  entry.snapshot.hatCount =
      std::clamp(SDL_JoystickNumHats(joystick), 0, JoystickSnapshot::kMaxHats);
  entry.snapshot.attached = true;
  return true;
}

void InputState::CloseJoystick(SDL_JoystickID id) {
  SDL_Joystick* closing = nullptr;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_joysticks.find(id);
    if (found == m_joysticks.end() || --found->second.references > 0) return;
    closing = found->second.joystick;
    m_joysticks.erase(found);
  }
  SDL_JoystickClose(closing);
}

void InputState::RefreshJoysticks() {
  std::lock_guard<std::mutex> guard(m_lock);
  for (auto& [id, entry] : m_joysticks) {
    JoystickSnapshot& snapshot = entry.snapshot;
    snapshot.attached = SDL_JoystickGetAttached(entry.joystick) == SDL_TRUE;
    for (int axis = 0; axis < snapshot.axisCount; ++axis)
      snapshot.axes[axis] = SDL_JoystickGetAxis(entry.joystick, axis);
    for (int button = 0; button < snapshot.buttonCount; ++button)
      snapshot.buttons[button] = SDL_JoystickGetButton(entry.joystick, button) ? 0x80 : 0;
    for (int hat = 0; hat < snapshot.hatCount; ++hat)
      snapshot.hats[hat] = SDL_JoystickGetHat(entry.joystick, hat);
  }
}

JoystickSnapshot InputState::Joystick(SDL_JoystickID id) const {
  std::lock_guard<std::mutex> guard(m_lock);
  auto found = m_joysticks.find(id);
  return found == m_joysticks.end() ? JoystickSnapshot{} : found->second.snapshot;
}

SHORT GetAsyncKeyState(int vKey) {
  return InputState::Instance().IsVirtualKeyDown(vKey) ? static_cast<SHORT>(0x8000) : 0;
}
