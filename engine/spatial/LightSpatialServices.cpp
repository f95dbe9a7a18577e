#include "spatial/LightSpatialServices.h"

#include <new>

#include "scene/Light.h"
#include "spatial/LightBoundVolume.h"

CLightBoundVolumeInterface* CLightSpatialServices::CreateBoundVolume(CLight* light) {
  auto* volume = new (std::nothrow) CLightBoundVolume(light, m_pLog);
  if (volume) volume->Calculate();
  return volume;
}

void CLightSpatialServices::RecalculateBoundVolume(CLightBoundVolumeInterface* volume, CLight*) {
  // Every volume handed to lights is one of ours.
  if (volume) static_cast<CLightBoundVolume*>(volume)->Recalculate();
}

void CLightSpatialServices::ReleaseBoundVolume(CLightBoundVolumeInterface* volume) {
  delete static_cast<CLightBoundVolume*>(volume);
}
