#pragma once
// What a camera needs of a light that CLightInterface does not give: the light's bounding
// volume, for the camera's visibility test. The engine's light class implements it.
#include "ZKDXInterface.h"

class CCameraLightSource {
 public:
  // Null for a light without a volume (distant lights).
  virtual CLightBoundVolumeInterface* GetLightBoundVolume() = 0;

 protected:
  ~CCameraLightSource() = default;
};
