#pragma once
// One DirectInput device of the input manager's table: a keyboard or a mouse. It holds what both
// kinds share: the DirectInput device, its instance, name and type, and the manager's log.
#include "dinput.h"
#include "windef.h"

class CInputControllers;

class CInputDevice {
 public:
  enum : UINT { DEVICE_KEYBOARD = 1, DEVICE_MOUSE = 2 };

  virtual ~CInputDevice();
  CInputDevice(const CInputDevice&) = delete;
  CInputDevice& operator=(const CInputDevice&) = delete;

  virtual UINT GetDeviceType() = 0;
  // Reads the device once and reports what changed; returns the last DirectInput result.
  virtual HRESULT Poll() = 0;

 protected:
  // `source` names the device kind in the log.
  CInputDevice(CInputControllers* manager, const DIDEVICEINSTANCEA& instance, const char* source);
  // Logs `format` with the device's name as its one argument.
  void Log(int level, const char* format) const;

  IDirectInputDevice8A* m_pDevice = nullptr;
  GUID m_guidInstance;
  CInputControllers* m_pManager;
  char m_szName[256];
  BYTE m_bDeviceType;
  BYTE m_bDeviceSubType;

 private:
  const char* m_szSource;
};
