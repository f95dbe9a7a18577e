#pragma once
// The spatial subsystem's answer to what lights ask of it: a bound volume fitted to each point or
// spot light, so that cameras can tell which lights they see.
#include "scene/LightSpatial.h"

class CEngineLog;

class CLightSpatialServices final : public CLightSpatial {
 public:
  explicit CLightSpatialServices(CEngineLog* log) : m_pLog(log) {}

  CLightBoundVolumeInterface* CreateBoundVolume(CLight* light) override;
  void RecalculateBoundVolume(CLightBoundVolumeInterface* volume, CLight* light) override;
  void ReleaseBoundVolume(CLightBoundVolumeInterface* volume) override;

 private:
  CEngineLog* m_pLog;
};
