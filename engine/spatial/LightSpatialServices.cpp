#include "spatial/LightSpatialServices.h"

#include "core/FatalError.h"
#include "scene/Light.h"
#include "spatial/LightBoundVolume.h"

CLightBoundVolumeInterface* CLightSpatialServices::CreateBoundVolume(CLight* light) {
  auto* volume = NewOrFatal<CLightBoundVolume>(
      kNoMemoryTitle, "Can't Create Bound Volume For Light", light, m_pLog);
  volume->Calculate();
  return volume;
}

void CLightSpatialServices::RecalculateBoundVolume(CLightBoundVolumeInterface* volume, CLight*) {
  // Every volume handed to lights is one of ours.
  if (volume) static_cast<CLightBoundVolume*>(volume)->Recalculate();
}

void CLightSpatialServices::ReleaseBoundVolume(CLightBoundVolumeInterface* volume) {
  delete static_cast<CLightBoundVolume*>(volume);
}
