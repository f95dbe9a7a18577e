#pragma once
// Resets the Direct3D device with the current device settings after the window changed between
// windowed and full-screen mode.
#include "windef.h"
#include "winerror.h"

class CDeviceReset {
 public:
  virtual HRESULT ResetDevice() = 0;

 protected:
  ~CDeviceReset() = default;
};
