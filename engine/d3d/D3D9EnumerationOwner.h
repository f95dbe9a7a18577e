#pragma once
// What an adapter's enumeration asks of the object that made it: the rendering-scheme records
// to test itself against, and the device settings once the engine has chosen them.
#include "ZKDXGlobals.h"

struct DeviceSettings;

class CD3D9EnumerationOwner {
 public:
  virtual DWORD GetNumberOfSchemes() = 0;
  // Record `index`, or null at or past the count.
  virtual const RenderingScheme* GetScheme(DWORD index) = 0;
  // Null until the engine has chosen its device settings.
  virtual const DeviceSettings* GetDeviceSettings() = 0;

 protected:
  ~CD3D9EnumerationOwner() = default;
};
