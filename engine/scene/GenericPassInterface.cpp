#include "scene/GenericPassInterface.h"

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "scene/Mesh.h"

namespace {

// Without the default coded rendering path nothing is prepared; the log says what was left.
class CNoGenericPass final : public CGenericPassInterface {
 public:
  void PrepareScene(CSceneInterface* scene) override {
    LogTo(GetEngineContext()->pLog, "ZKDXInterface", CEngineLog::kLevelError,
          "ERROR!!! - No Default Rendering Path To Prepare The Scene: %s\n",
          scene != nullptr ? scene->GetName() : "");
  }
  void PrepareMesh(CMesh* mesh) override {
    LogTo(GetEngineContext()->pLog, "ZK3DMeshProcessing", CEngineLog::kLevelError,
          "ERROR!!! - No Default Rendering Path To Prepare The Mesh: %s\n",
          mesh != nullptr ? mesh->GetName() : "");
  }
  UINT RenderScene(CScene*) override { return 0; }
};

}  // namespace

CGenericPassInterface& CGenericPassInterface::Default() {
  static CNoGenericPass none;
  return none;
}
