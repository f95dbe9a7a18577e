#pragma once
// The DirectInput 8 object: enumerates the system keyboard, the system mouse and the attached
// joysticks, and makes their devices.
#include <atomic>

#include "dinput.h"

class DirectInput8 : public IDirectInput8A {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppvObj) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT CreateDevice(REFGUID rguid, LPDIRECTINPUTDEVICE8A* lplpDirectInputDevice,
                       LPUNKNOWN pUnkOuter) override;
  HRESULT EnumDevices(DWORD dwDevType, LPDIENUMDEVICESCALLBACKA lpCallback, LPVOID pvRef,
                      DWORD dwFlags) override;

 protected:
  ~DirectInput8() override = default;

 private:
  std::atomic<ULONG> m_references{1};
};
