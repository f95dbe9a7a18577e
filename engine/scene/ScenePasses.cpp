#include "scene/ScenePasses.h"

namespace {

class CNoScenePasses final : public CScenePasses {
 public:
  CRenderingProfileInterface* GetRenderingProfile() override { return nullptr; }
  void RenderSceneShader(CShader*, CScene*, float) override {}
  void RenderGenericPass(CScene*) override {}
  void RenderPerVertexPass(CScene*, UINT) override {}
  void RenderPerPixelPass(CScene*, UINT) override {}
  void SetDefaultStates() override {}
  CTextureInterface* GetFlareTexture() override { return nullptr; }
};

}  // namespace

CScenePasses& CScenePasses::Default() {
  static CNoScenePasses none;
  return none;
}
