#include "scene/MeshSurfaceFactory.h"

namespace {

class CNoSurfaces final : public CMeshSurfaceFactory {
 public:
  CMeshSurface* CreateSurface(void*, CEngineLog*, CMesh*) override { return nullptr; }
  CMeshSurface* CreateImportedSurface(void*, CEngineLog*, const LWOSurface&,
                                      const LWOImportBuffer&, CMesh*) override {
    return nullptr;
  }
};

}  // namespace

CMeshSurfaceFactory& CMeshSurfaceFactory::Default() {
  static CNoSurfaces none;
  return none;
}
