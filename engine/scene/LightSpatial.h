#pragma once
// What a light asks of the spatial subsystem: the bounding volume of a point or spot light. The
// spatial subsystem implements it and registers itself with CLight::SetSpatial at Init; until
// then lights have no volume, so cameras see no point or spot light.
#include "ZKDXInterface.h"

class CLight;

class CLightSpatial {
 public:
  // A new volume calculated from the light's type, range and cone, or null.
  virtual CLightBoundVolumeInterface* CreateBoundVolume(CLight* light) = 0;
  // Fits the volume again after the range or cone changed.
  virtual void RecalculateBoundVolume(CLightBoundVolumeInterface* volume, CLight* light) = 0;
  virtual void ReleaseBoundVolume(CLightBoundVolumeInterface* volume) = 0;

 protected:
  ~CLightSpatial() = default;
};
