#include "scene/MeshShaderLibrary.h"

namespace {

class CNoMeshShaders final : public CMeshShaderLibrary {
 public:
  CShader* CreateShaderForMesh(const char*, CMesh*, ShaderParameter*, UINT) override {
    return nullptr;
  }
  UINT ApplyDefaultShaderForMesh(CMesh*) override { return 0; }
  UINT GetNumberOfPasses(CShader*) override { return 0; }
  ShaderStreamBinding* GetStreamBindings(CShader*, UINT, UINT* count) override {
    if (count != nullptr) *count = 0;
    return nullptr;
  }
  UINT ExecuteMeshPass(CShader*, const char*, CMesh*, float, UINT) override { return 0; }
};

}  // namespace

CMeshShaderLibrary& CMeshShaderLibrary::Default() {
  static CNoMeshShaders none;
  return none;
}
