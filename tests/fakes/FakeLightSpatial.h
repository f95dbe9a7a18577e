#pragma once
// Records what lights ask of the spatial subsystem, in order, and hands out one recording
// light volume per creation.
#include <memory>
#include <string>
#include <vector>

#include "FakeLightBoundVolume.h"
#include "scene/LightSpatial.h"

class FakeLightSpatial final : public CLightSpatial {
 public:
  CLightBoundVolumeInterface* CreateBoundVolume(CLight*) override {
    calls.push_back("CreateBoundVolume");
    volumes.push_back(std::make_unique<FakeLightBoundVolume>());
    return volumes.back().get();
  }
  void RecalculateBoundVolume(CLightBoundVolumeInterface*, CLight*) override {
    calls.push_back("RecalculateBoundVolume");
  }
  void ReleaseBoundVolume(CLightBoundVolumeInterface*) override {
    calls.push_back("ReleaseBoundVolume");
  }

  std::vector<std::unique_ptr<FakeLightBoundVolume>> volumes;
  std::vector<std::string> calls;
};
