#include "scene/LightSpatial.h"

namespace {

class CNoLightSpatial final : public CLightSpatial {
 public:
  CLightBoundVolumeInterface* CreateBoundVolume(CLight*) override { return nullptr; }
  void RecalculateBoundVolume(CLightBoundVolumeInterface*, CLight*) override {}
  void ReleaseBoundVolume(CLightBoundVolumeInterface*) override {}
};

}  // namespace

CLightSpatial& CLightSpatial::Default() {
  static CNoLightSpatial none;
  return none;
}
