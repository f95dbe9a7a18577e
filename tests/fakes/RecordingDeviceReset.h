#pragma once
// A renderer stand-in that counts device resets.
#include "input/DeviceReset.h"

class CRecordingDeviceReset : public CDeviceReset {
 public:
  HRESULT ResetDevice() override {
    ++resets;
    return S_OK;
  }
  int resets = 0;
};
