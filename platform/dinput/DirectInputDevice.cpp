#include "DirectInputDevice.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "VirtualKeys.h"
#include "WindowTable.h"

namespace {

constexpr DWORD kJoystickGuidData1 = 0x6A6F7973;  // our own family of joystick instance ids
constexpr WORD kJoystickGuidData2 = 0x5A4B;

const GUID* const kAxisTypes[JoystickSnapshot::kMaxAxes] = {
    &GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis,  &GUID_RxAxis,
    &GUID_RyAxis, &GUID_RzAxis, &GUID_Slider, &GUID_Slider};
const char* const kAxisNames[JoystickSnapshot::kMaxAxes] = {
    "X Axis", "Y Axis", "Z Axis", "X Rotation", "Y Rotation", "Z Rotation", "Slider", "Slider"};
const DWORD kAxisOffsets[JoystickSnapshot::kMaxAxes] = {
    DIJOFS_X,  DIJOFS_Y,  DIJOFS_Z,         DIJOFS_RX,
    DIJOFS_RY, DIJOFS_RZ, DIJOFS_SLIDER(0), DIJOFS_SLIDER(1)};

DIDEVICEOBJECTINSTANCEA MakeObject(const GUID& type, DWORD offset, DWORD typeBits, DWORD instance,
                                   const char* name) {
  DIDEVICEOBJECTINSTANCEA object = {};
  object.dwSize = sizeof object;
  object.guidType = type;
  object.dwOfs = offset;
  object.dwType = typeBits | DIDFT_MAKEINSTANCE(instance);
  std::snprintf(object.tszName, sizeof object.tszName, "%s", name);
  return object;
}

std::vector<DIDEVICEOBJECTINSTANCEA> KeyboardObjects() {
  std::vector<DIDEVICEOBJECTINSTANCEA> objects;
  for (int dik = 1; dik < 256; ++dik) {
    SDL_Scancode scancode = VirtualKeys::ScancodeFromDik(static_cast<BYTE>(dik));
    if (scancode != SDL_SCANCODE_UNKNOWN)
      objects.push_back(
          MakeObject(GUID_Key, dik, DIDFT_PSHBUTTON, dik, SDL_GetScancodeName(scancode)));
  }
  return objects;
}

std::vector<DIDEVICEOBJECTINSTANCEA> MouseObjects() {
  std::vector<DIDEVICEOBJECTINSTANCEA> objects = {
      MakeObject(GUID_XAxis, offsetof(DIMOUSESTATE2, lX), DIDFT_RELAXIS, 0, "X-axis"),
      MakeObject(GUID_YAxis, offsetof(DIMOUSESTATE2, lY), DIDFT_RELAXIS, 1, "Y-axis"),
      MakeObject(GUID_ZAxis, offsetof(DIMOUSESTATE2, lZ), DIDFT_RELAXIS, 2, "Wheel")};
  char name[32];
  for (int button = 0; button < 5; ++button) {
    std::snprintf(name, sizeof name, "Button %d", button);
    objects.push_back(MakeObject(GUID_Button, offsetof(DIMOUSESTATE2, rgbButtons) + button,
                                 DIDFT_PSHBUTTON, button, name));
  }
  return objects;
}

std::vector<DIDEVICEOBJECTINSTANCEA> JoystickObjects(const JoystickSnapshot& snapshot) {
  std::vector<DIDEVICEOBJECTINSTANCEA> objects;
  for (int axis = 0; axis < snapshot.axisCount; ++axis)
    objects.push_back(
        MakeObject(*kAxisTypes[axis], kAxisOffsets[axis], DIDFT_ABSAXIS, axis, kAxisNames[axis]));
  char name[32];
  for (int button = 0; button < snapshot.buttonCount; ++button) {
    std::snprintf(name, sizeof name, "Button %d", button);
    objects.push_back(
        MakeObject(GUID_Button, DIJOFS_BUTTON(button), DIDFT_PSHBUTTON, button, name));
  }
  for (int hat = 0; hat < snapshot.hatCount; ++hat) {
    std::snprintf(name, sizeof name, "POV %d", hat);
    objects.push_back(MakeObject(GUID_POV, DIJOFS_POV(hat), DIDFT_POV, hat, name));
  }
  return objects;
}

// SDL's -32768..32767 onto [min, max], rounded, with both ends reached exactly.
LONG ScaleAxis(int16_t raw, LONG min, LONG max) {
  const int64_t span = static_cast<int64_t>(max) - min;
  return static_cast<LONG>(min + ((static_cast<int64_t>(raw) + 32768) * span + 32767) / 65535);
}

// Hundredths of degrees clockwise from north; centred is 0xFFFFFFFF.
DWORD PovFromHat(uint8_t hat) {
  switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return 0xFFFFFFFFu;
  }
}

}  // namespace

DirectInputDevice::DirectInputDevice(Kind kind, SDL_JoystickID joystick)
    : m_kind(kind), m_joystick(joystick), m_relativeAxes(kind == Kind::Mouse) {
  m_mouseAtCreation = m_mouseAtLastRead = InputState::Instance().Mouse();
}

DirectInputDevice::~DirectInputDevice() {
  if (m_kind == Kind::Joystick) InputState::Instance().CloseJoystick(m_joystick);
}

GUID DirectInputDevice::JoystickInstanceGuid(SDL_JoystickID id) {
  const uint32_t value = static_cast<uint32_t>(id);
  return GUID{kJoystickGuidData1,
              kJoystickGuidData2,
              0,
              {0, 0, 0, 0, static_cast<BYTE>(value >> 24), static_cast<BYTE>(value >> 16),
               static_cast<BYTE>(value >> 8), static_cast<BYTE>(value)}};
}

bool DirectInputDevice::JoystickFromGuid(REFGUID guid, SDL_JoystickID& id) {
  if (guid.Data1 != kJoystickGuidData1 || guid.Data2 != kJoystickGuidData2 || guid.Data3 != 0)
    return false;
  const BYTE* bytes = guid.Data4;
  if (bytes[0] || bytes[1] || bytes[2] || bytes[3]) return false;
  id = static_cast<SDL_JoystickID>((static_cast<uint32_t>(bytes[4]) << 24) |
                                   (static_cast<uint32_t>(bytes[5]) << 16) |
                                   (static_cast<uint32_t>(bytes[6]) << 8) | bytes[7]);
  return true;
}

HRESULT DirectInputDevice::QueryInterface(REFIID riid, void** ppvObj) {
  if (!ppvObj) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirectInputDevice8A) {
    AddRef();
    *ppvObj = static_cast<IDirectInputDevice8A*>(this);
    return S_OK;
  }
  *ppvObj = nullptr;
  return E_NOINTERFACE;
}

ULONG DirectInputDevice::AddRef() { return ++m_references; }

ULONG DirectInputDevice::Release() {
  const ULONG left = --m_references;
  if (left == 0) delete this;
  return left;
}

const DIDATAFORMAT& DirectInputDevice::OwnFormat() const {
  switch (m_kind) {
    case Kind::Keyboard: return c_dfDIKeyboard;
    case Kind::Mouse: return c_dfDIMouse2;
    default: return c_dfDIJoystick2;
  }
}

bool DirectInputDevice::IsForegroundLocked() const {
  return !(m_cooperation & DISCL_FOREGROUND) || WindowTable::Instance().Foreground() == m_window;
}

HRESULT DirectInputDevice::CheckReadableLocked() {
  if (!m_acquired) return DIERR_NOTACQUIRED;
  if (!IsForegroundLocked() ||
      (m_kind == Kind::Joystick && !InputState::Instance().Joystick(m_joystick).attached)) {
    m_acquired = false;
    return DIERR_INPUTLOST;
  }
  return DI_OK;
}

HRESULT DirectInputDevice::SetDataFormat(LPCDIDATAFORMAT lpdf) {
  if (!lpdf) return DIERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_acquired) return DIERR_ACQUIRED;
  const DIDATAFORMAT& own = OwnFormat();
  if (lpdf != &own && std::memcmp(lpdf, &own, sizeof own) != 0) return DIERR_INVALIDPARAM;
  m_formatSet = true;
  return DI_OK;
}

HRESULT DirectInputDevice::SetCooperativeLevel(HWND hwnd, DWORD dwFlags) {
  const DWORD access = dwFlags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
  const DWORD place = dwFlags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
  if (access == 0 || access == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) || place == 0 ||
      place == (DISCL_FOREGROUND | DISCL_BACKGROUND))
    return DIERR_INVALIDPARAM;
  // The original refuses a keyboard that would be exclusive even in the background.
  if (m_kind == Kind::Keyboard && access == DISCL_EXCLUSIVE && place == DISCL_BACKGROUND)
    return DIERR_UNSUPPORTED;
  if ((place == DISCL_FOREGROUND || access == DISCL_EXCLUSIVE) && !IsWindow(hwnd)) return E_HANDLE;
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_acquired) return DIERR_ACQUIRED;
  m_cooperation = dwFlags;
  m_window = hwnd;
  return DI_OK;
}

HRESULT DirectInputDevice::SetProperty(REFGUID rguidProp, LPCDIPROPHEADER pdiph) {
  if (!pdiph || pdiph->dwHeaderSize != sizeof(DIPROPHEADER)) return DIERR_INVALIDPARAM;
  if (rguidProp == DIPROP_AXISMODE) {
    if (pdiph->dwSize != sizeof(DIPROPDWORD) || pdiph->dwHow != DIPH_DEVICE || pdiph->dwObj != 0)
      return DIERR_INVALIDPARAM;
    const DWORD mode = reinterpret_cast<const DIPROPDWORD*>(pdiph)->dwData;
    if (mode != DIPROPAXISMODE_ABS && mode != DIPROPAXISMODE_REL) return DIERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_acquired) return DIERR_ACQUIRED;
    m_relativeAxes = mode == DIPROPAXISMODE_REL;
    return DI_OK;
  }
  if (rguidProp == DIPROP_RANGE) {
    if (pdiph->dwSize != sizeof(DIPROPRANGE)) return DIERR_INVALIDPARAM;
    return SetRange(*reinterpret_cast<const DIPROPRANGE*>(pdiph));
  }
  return DIERR_UNSUPPORTED;
}

HRESULT DirectInputDevice::SetRange(const DIPROPRANGE& range) {
  if (m_kind != Kind::Joystick) return DIERR_UNSUPPORTED;
  if (range.lMin >= range.lMax) return DIERR_INVALIDPARAM;
  const JoystickSnapshot snapshot = InputState::Instance().Joystick(m_joystick);
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_acquired) return DIERR_ACQUIRED;
  const DIPROPHEADER& header = range.diph;
  for (int axis = 0; axis < snapshot.axisCount; ++axis) {
    const DWORD id = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis);
    const bool chosen = header.dwHow == DIPH_DEVICE ||
                        (header.dwHow == DIPH_BYID && header.dwObj == id) ||
                        (header.dwHow == DIPH_BYOFFSET && header.dwObj == kAxisOffsets[axis]);
    if (!chosen) continue;
    m_ranges[axis] = {range.lMin, range.lMax};
    if (header.dwHow != DIPH_DEVICE) return DI_OK;
  }
  if (header.dwHow == DIPH_DEVICE) return DI_OK;
  return header.dwHow == DIPH_BYID || header.dwHow == DIPH_BYOFFSET ? DIERR_OBJECTNOTFOUND
                                                                    : DIERR_INVALIDPARAM;
}

HRESULT DirectInputDevice::EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA lpCallback, LPVOID pvRef,
                                       DWORD dwFlags) {
  if (!lpCallback) return DIERR_INVALIDPARAM;
  std::vector<DIDEVICEOBJECTINSTANCEA> objects;
  switch (m_kind) {
    case Kind::Keyboard: objects = KeyboardObjects(); break;
    case Kind::Mouse: objects = MouseObjects(); break;
    case Kind::Joystick:
      objects = JoystickObjects(InputState::Instance().Joystick(m_joystick));
      break;
  }
  const DWORD wanted = dwFlags & 0xFF;
  // The callback runs without the lock: it usually sets properties on this device.
  for (const DIDEVICEOBJECTINSTANCEA& object : objects) {
    if (wanted != DIDFT_ALL && !(DIDFT_GETTYPE(object.dwType) & wanted)) continue;
    if (lpCallback(&object, pvRef) == DIENUM_STOP) break;
  }
  return DI_OK;
}

HRESULT DirectInputDevice::Acquire() {
  std::lock_guard<std::mutex> guard(m_lock);
  if (!m_formatSet) return DIERR_INVALIDPARAM;
  if (m_acquired) return DI_NOEFFECT;
  // Never DIERR_INPUTLOST here: callers retry Acquire for as long as it answers that.
  if (!IsForegroundLocked()) return DIERR_OTHERAPPHASPRIO;
  if (m_kind == Kind::Joystick && !InputState::Instance().Joystick(m_joystick).attached)
    return DIERR_UNPLUGGED;
  // Motion from before the acquisition is not reported.
  if (m_kind == Kind::Mouse) m_mouseAtLastRead = InputState::Instance().Mouse();
  m_acquired = true;
  return DI_OK;
}

HRESULT DirectInputDevice::Unacquire() {
  std::lock_guard<std::mutex> guard(m_lock);
  if (!m_acquired) return DI_NOEFFECT;
  m_acquired = false;
  return DI_OK;
}

HRESULT DirectInputDevice::Poll() {
  std::lock_guard<std::mutex> guard(m_lock);
  HRESULT readable = CheckReadableLocked();
  if (FAILED(readable)) return readable;
  return m_kind == Kind::Joystick ? DI_OK : DI_NOEFFECT;
}

HRESULT DirectInputDevice::GetDeviceState(DWORD cbData, LPVOID lpvData) {
  if (!lpvData || cbData != OwnFormat().dwDataSize) return DIERR_INVALIDPARAM;
  std::lock_guard<std::mutex> guard(m_lock);
  HRESULT readable = CheckReadableLocked();
  if (FAILED(readable)) return readable;
  switch (m_kind) {
    case Kind::Keyboard: ReadKeyboard(static_cast<BYTE*>(lpvData)); break;
    case Kind::Mouse: ReadMouse(*static_cast<DIMOUSESTATE2*>(lpvData)); break;
    case Kind::Joystick:
      ReadJoystick(InputState::Instance().Joystick(m_joystick),
                   *static_cast<DIJOYSTATE2*>(lpvData));
      break;
  }
  return DI_OK;
}

void DirectInputDevice::ReadKeyboard(BYTE* keys) { InputState::Instance().CopyKeyBytes(keys); }

void DirectInputDevice::ReadMouse(DIMOUSESTATE2& state) {
  const MouseTotals now = InputState::Instance().Mouse();
  // Relative: the motion since this device's last read; absolute: since it was made.
  const MouseTotals& from = m_relativeAxes ? m_mouseAtLastRead : m_mouseAtCreation;
  state.lX = static_cast<LONG>(now.x - from.x);
  state.lY = static_cast<LONG>(now.y - from.y);
  state.lZ = static_cast<LONG>(now.wheel - from.wheel);
  std::memcpy(state.rgbButtons, now.buttons, sizeof state.rgbButtons);
  m_mouseAtLastRead = now;
}

void DirectInputDevice::ReadJoystick(const JoystickSnapshot& snapshot, DIJOYSTATE2& state) const {
  state = {};
  LONG* const axes[JoystickSnapshot::kMaxAxes] = {
      &state.lX,  &state.lY,  &state.lZ,           &state.lRx,
      &state.lRy, &state.lRz, &state.rglSlider[0], &state.rglSlider[1]};
  // Axes the stick lacks rest in the middle of their range.
  for (int axis = 0; axis < JoystickSnapshot::kMaxAxes; ++axis)
    *axes[axis] = ScaleAxis(axis < snapshot.axisCount ? snapshot.axes[axis] : 0, m_ranges[axis].min,
                            m_ranges[axis].max);
  for (int hat = 0; hat < 4; ++hat)
    state.rgdwPOV[hat] = hat < snapshot.hatCount ? PovFromHat(snapshot.hats[hat]) : 0xFFFFFFFFu;
  std::memcpy(state.rgbButtons, snapshot.buttons, sizeof state.rgbButtons);
}
