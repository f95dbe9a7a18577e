#pragma once
// One DirectInput device of the input manager's table: a keyboard or a mouse.
#include "windef.h"

class CInputDevice {
 public:
  enum : UINT { DEVICE_KEYBOARD = 1, DEVICE_MOUSE = 2 };

  virtual ~CInputDevice() = default;
  virtual UINT GetDeviceType() = 0;
  // Reads the device once and reports what changed; returns the last DirectInput result.
  virtual HRESULT Poll() = 0;
};
