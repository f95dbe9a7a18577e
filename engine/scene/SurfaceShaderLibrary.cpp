#include "scene/SurfaceShaderLibrary.h"

namespace {

class CNoSurfaceShaders final : public CSurfaceShaderLibrary {
 public:
  void SetDefaultStates() override {}
  CShader* CreateShaderForSurface(const char*, CSurface*, ShaderParameter*, UINT) override {
    return nullptr;
  }
  UINT ApplyDefaultShaderForSurface(CSurface*) override { return 0; }
  UINT ExecuteSurfacePass(CShader*, const char*, CSurface*, float) override { return 0; }
};

}  // namespace

CSurfaceShaderLibrary& CSurfaceShaderLibrary::Default() {
  static CNoSurfaceShaders none;
  return none;
}
