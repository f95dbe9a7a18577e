#pragma once
// What a light asks of the spatial subsystem: the bounding volume of a point or spot light. The
// spatial subsystem implements it; start-up sets it as the context's light-spatial port. The
// default gives lights no volume, so cameras see no point or spot light.
#include "ZKDXInterface.h"

class CLight;

class CLightSpatial {
 public:
  // A new volume calculated from the light's type, range and cone, or null.
  virtual CLightBoundVolumeInterface* CreateBoundVolume(CLight* light) = 0;
  // Fits the volume again after the range or cone changed.
  virtual void RecalculateBoundVolume(CLightBoundVolumeInterface* volume, CLight* light) = 0;
  virtual void ReleaseBoundVolume(CLightBoundVolumeInterface* volume) = 0;

  static CLightSpatial& Default();

 protected:
  ~CLightSpatial() = default;
};
