#include "scene/SceneShaderLibrary.h"

namespace {

class CNoSceneShaders final : public CSceneShaderLibrary {
 public:
  CShader* CreateShaderForScene(const char*, CScene*, ShaderParameter*, UINT) override {
    return nullptr;
  }
  UINT ApplyDefaultShaderForScene(CScene*) override { return 0; }
};

}  // namespace

CSceneShaderLibrary& CSceneShaderLibrary::Default() {
  static CNoSceneShaders none;
  return none;
}
