#include "scene/LightWaveLoader.h"

namespace {

class CNoLightWave final : public CLightWaveLoader {
 public:
  UINT LoadScene(CScene**, char*) override { return 0; }
  UINT LoadMesh(CMesh*, char*) override { return 0; }
  void AttachBones(CMesh*, const LWOImportBuffer&) override {}
};

}  // namespace

CLightWaveLoader& CLightWaveLoader::Default() {
  static CNoLightWave none;
  return none;
}
