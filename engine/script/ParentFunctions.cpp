#include "script/ParentFunctions.h"

#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "script/ScriptGlue.h"
#include "script/ScriptParent.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptStorage.h"

using ScriptGlue::Function;

namespace {

ScriptParent CurrentParent() {
  CScriptStorage* host = GetEngineContext()->pScriptStorage;
  return host != nullptr ? host->GetParent() : ScriptParent{};
}

// The parent as the interface of its kind: its type word must say so, and the object must be
// one, so that a script never gets a world object of another kind under that name.
template <typename Interface, UINT Type>
Interface* WorldObjectParent() {
  CWorldObjectInterface* object = CurrentParent().GetWorldObject();
  if (object == nullptr || object->GetWorldObjectType() != Type) return nullptr;
  return dynamic_cast<Interface*>(object);
}

CSurfaceInterface* SurfaceParent() { return CurrentParent().GetSurface(); }
CSceneInterface* SceneParent() { return CurrentParent().GetScene(); }

}  // namespace

bool RegisterParentFunctions(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "ZeKorbParentFunctions");
  CScriptRegistrar& r = registrar;
  r.Function("CMeshInterface@ GetMeshParent()",
             Function<&WorldObjectParent<CMeshInterface, WORLD_OBJECT_MESH>>(),
             "ERROR!!! - Can't Register GetMeshParent() Function");
  r.Function("CLightInterface@ GetLightParent()",
             Function<&WorldObjectParent<CLightInterface, WORLD_OBJECT_LIGHT>>(),
             "ERROR!!! - Can't Register GetLightParent() Function");
  r.Function("CSurfaceInterface@ GetSurfaceParent()", Function<&SurfaceParent>(),
             "ERROR!!! - Can't Register GetSurfaceParent() Function");
  r.Function("CSceneInterface@ GetSceneParent()", Function<&SceneParent>(),
             "ERROR!!! - Can't Register GetSceneParent() Function");
  r.Function("CNullInterface@ GetNullParent()",
             Function<&WorldObjectParent<CNullInterface, WORLD_OBJECT_NULL>>(),
             "ERROR!!! - Can't Register GetNullParent() Function");
  return r.Succeeded();
}
