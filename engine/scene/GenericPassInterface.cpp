#include "scene/GenericPassInterface.h"

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "scene/Mesh.h"

namespace {

// Without the default coded rendering path nothing is prepared; the log says what was left.
class CNoGenericPass final : public CGenericPassInterface {
 public:
  void PrepareScene(CSceneInterface* scene) override {
    Log("ZKDXInterface", "ERROR!!! - No Default Rendering Path To Prepare The Scene: %s\n",
        scene != nullptr ? scene->GetName() : "");
  }
  void PrepareMesh(CMesh* mesh) override {
    Log("ZK3DMeshProcessing", "ERROR!!! - No Default Rendering Path To Prepare The Mesh: %s\n",
        mesh != nullptr ? mesh->GetName() : "");
  }

 private:
  static void Log(const char* source, const char* format, const char* name) {
    if (CEngineLog* log = GetEngineContext()->pLog)
      log->Log(source, __LINE__, CEngineLog::kLevelError, format, name);
  }
};

}  // namespace

CGenericPassInterface& CGenericPassInterface::Default() {
  static CNoGenericPass none;
  return none;
}
