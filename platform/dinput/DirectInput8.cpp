#include "DirectInput8.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "DirectInputDevice.h"
#include "SdlVideo.h"

namespace {

constexpr WORD kGenericDesktopPage = 1;
constexpr WORD kUsageMouse = 2;
constexpr WORD kUsageJoystick = 4;
constexpr WORD kUsageKeyboard = 6;

DIDEVICEINSTANCEA MakeInstance(const GUID& instance, const GUID& product, BYTE type, BYTE subtype,
                               const char* name, WORD usage) {
  DIDEVICEINSTANCEA record = {};
  record.dwSize = sizeof record;
  record.guidInstance = instance;
  record.guidProduct = product;
  record.dwDevType = type | (static_cast<DWORD>(subtype) << 8);
  std::snprintf(record.tszInstanceName, sizeof record.tszInstanceName, "%s", name);
  std::snprintf(record.tszProductName, sizeof record.tszProductName, "%s", name);
  record.wUsagePage = kGenericDesktopPage;
  record.wUsage = usage;
  return record;
}

std::vector<DIDEVICEINSTANCEA> Joysticks() {
  std::vector<DIDEVICEINSTANCEA> found;
  if (!SdlVideo::EnsureJoysticks()) return found;
  for (int index = 0; index < SDL_NumJoysticks(); ++index) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    if (id < 0) continue;
    const SDL_JoystickGUID sdlGuid = SDL_JoystickGetDeviceGUID(index);
    GUID product = {};
    static_assert(sizeof product == sizeof sdlGuid.data);
    std::memcpy(&product, sdlGuid.data, sizeof product);
    const char* name = SDL_JoystickNameForIndex(index);
    found.push_back(MakeInstance(DirectInputDevice::JoystickInstanceGuid(id), product,
                                 DI8DEVTYPE_JOYSTICK, DI8DEVTYPEJOYSTICK_STANDARD,
                                 name ? name : "Joystick", kUsageJoystick));
  }
  return found;
}

// A class (DI8DEVCLASS_*) or a single device type (DI8DEVTYPE_*).
bool Wanted(DWORD filter, BYTE type, DWORD deviceClass) {
  if (filter == DI8DEVCLASS_ALL) return true;
  return filter == deviceClass || filter == type;
}

}  // namespace

HRESULT DirectInput8::QueryInterface(REFIID riid, void** ppvObj) {
  if (!ppvObj) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirectInput8A) {
    AddRef();
    *ppvObj = static_cast<IDirectInput8A*>(this);
    return S_OK;
  }
  *ppvObj = nullptr;
  return E_NOINTERFACE;
}

ULONG DirectInput8::AddRef() { return ++m_references; }

ULONG DirectInput8::Release() {
  const ULONG left = --m_references;
  if (left == 0) delete this;
  return left;
}

HRESULT DirectInput8::EnumDevices(DWORD dwDevType, LPDIENUMDEVICESCALLBACKA lpCallback,
                                  LPVOID pvRef, DWORD) {
  if (!lpCallback) return DIERR_INVALIDPARAM;
  // Every device listed is attached, so DIEDFL_ATTACHEDONLY changes nothing.
  std::vector<DIDEVICEINSTANCEA> devices;
  if (Wanted(dwDevType, DI8DEVTYPE_KEYBOARD, DI8DEVCLASS_KEYBOARD))
    devices.push_back(MakeInstance(GUID_SysKeyboard, GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD,
                                   DI8DEVTYPEKEYBOARD_PCENH, "Keyboard", kUsageKeyboard));
  if (Wanted(dwDevType, DI8DEVTYPE_MOUSE, DI8DEVCLASS_POINTER))
    devices.push_back(MakeInstance(GUID_SysMouse, GUID_SysMouse, DI8DEVTYPE_MOUSE,
                                   DI8DEVTYPEMOUSE_TRADITIONAL, "Mouse", kUsageMouse));
  if (Wanted(dwDevType, DI8DEVTYPE_JOYSTICK, DI8DEVCLASS_GAMECTRL)) {
    std::vector<DIDEVICEINSTANCEA> joysticks = Joysticks();
    devices.insert(devices.end(), joysticks.begin(), joysticks.end());
  }
  for (const DIDEVICEINSTANCEA& device : devices)
    if (lpCallback(&device, pvRef) == DIENUM_STOP) break;
  return DI_OK;
}

HRESULT DirectInput8::CreateDevice(REFGUID rguid, LPDIRECTINPUTDEVICE8A* lplpDirectInputDevice,
                                   LPUNKNOWN pUnkOuter) {
  if (!lplpDirectInputDevice) return DIERR_INVALIDPARAM;
  *lplpDirectInputDevice = nullptr;
  if (pUnkOuter) return DIERR_NOAGGREGATION;
  SDL_JoystickID joystick = -1;
  DirectInputDevice::Kind kind;
  if (rguid == GUID_SysKeyboard) {
    kind = DirectInputDevice::Kind::Keyboard;
  } else if (rguid == GUID_SysMouse) {
    kind = DirectInputDevice::Kind::Mouse;
  } else if (DirectInputDevice::JoystickFromGuid(rguid, joystick) && SdlVideo::EnsureJoysticks() &&
             InputState::Instance().OpenJoystick(joystick)) {
    kind = DirectInputDevice::Kind::Joystick;
  } else {
    return DIERR_DEVICENOTREG;
  }
  *lplpDirectInputDevice = new DirectInputDevice(kind, joystick);
  return DI_OK;
}

HRESULT DirectInput8Create(HINSTANCE, DWORD dwVersion, REFIID riidltf, LPVOID* ppvOut,
                           LPUNKNOWN punkOuter) {
  if (!ppvOut) return DIERR_INVALIDPARAM;
  *ppvOut = nullptr;
  if (punkOuter) return DIERR_NOAGGREGATION;
  if (dwVersion < DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
  if (dwVersion > DIRECTINPUT_VERSION) return DIERR_BETADIRECTINPUTVERSION;
  if (!(riidltf == IID_IDirectInput8A)) return DIERR_NOINTERFACE;
  *ppvOut = static_cast<IDirectInput8A*>(new DirectInput8());
  return DI_OK;
}
