#include "script/ZeKorbTypes.h"

#include "script/D3DInterfaceTypes.h"
#include "script/CameraType.h"
#include "script/D3DStructTypes.h"
#include "script/LightTypes.h"
#include "script/MaterialTypes.h"
#include "script/MeshTypes.h"
#include "script/NullTypes.h"
#include "script/ScriptGlue.h"
#include "script/SceneTypes.h"
#include "script/ScriptRegistrar.h"
#include "script/SpriteTypes.h"
#include "script/TimerType.h"

bool RegisterZeKorbAddTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "ZeKorbAddTypes");
  CScriptRegistrar& r = registrar;
  RegisterD3DStructTypes(r);
  r.Type("CSceneInterface", 0, ScriptGlue::kEngineObjectFlags,
         "Can't Add CSceneInterface* ZeKorb Type To The Script (1)");
  RegisterSpriteTypes(r);
  r.Type("CMaterialStorageInterface", 0, ScriptGlue::kEngineObjectFlags,
         "Can't Add CMaterialStorageInterface ZeKorb Type To The Script (1)");
  r.Type("CTextureStorageInterface", 0, ScriptGlue::kEngineObjectFlags,
         "Can't Add CTextureStorageInterface* ZeKorb Type To The Script (1)");
  RegisterD3DInterfaceTypes(r);
  RegisterTimerType(r);
  return r.Succeeded();
}

bool RegisterZeKorbTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "ZeKorbTypes");
  CScriptRegistrar& r = registrar;
  r.Type("CMeshInterface", 0, ScriptGlue::kEngineObjectFlags,
         "Can't Add CMeshInterface* ZeKorb Type To The Script (1)");
  RegisterMaterialTypes(r);
  RegisterMeshTypes(r);
  RegisterNullTypes(r);
  RegisterCameraType(r);
  RegisterLightTypes(r);
  RegisterSceneTypes(r);
  return r.Succeeded();
}
