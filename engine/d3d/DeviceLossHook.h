#pragma once
// Something outside the banks that keeps default-pool objects of the device (the console's GUI
// renderer): it lets them go before the device is reset and makes them again after.
class CDeviceLossHook {
 public:
  virtual void OnDeviceLost() = 0;
  virtual void OnDeviceReset() = 0;

 protected:
  ~CDeviceLossHook() = default;
};
