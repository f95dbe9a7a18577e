#include "script/SceneTypes.h"

#include <cstddef>
#include <source_location>
#include <vector>

#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "script/ScriptArrays.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptGlue::Function;
using ScriptGlue::kRejectNull;
using ScriptGlue::Method;
using ScriptGlue::MethodWith;
using ScriptGlue::Overload;

namespace {

constexpr asDWORD kObjFirst = asCALL_CDECL_OBJFIRST;
// Every kind of world object: a merge from a script takes them all.
constexpr UINT kAllKinds =
    WORLD_OBJECT_MESH | WORLD_OBJECT_CAMERA | WORLD_OBJECT_NULL | WORLD_OBJECT_LIGHT;
// Every failure of a scene method or colour property carries this number.
constexpr int kSceneRow = 2;

// The merge clears the pointer it is handed; the script's variable keeps naming the source
// scene, which afterwards holds none of the moved objects.
UINT AddMeshes(CSceneInterface* scene, CSceneInterface* source) {
  CSceneInterface* merged = source;
  return scene->AddMeshes(&merged, kAllKinds);
}

UINT CreateShader(CSceneInterface* scene, const char* file, CScriptArray* parameters, UINT count,
                  UINT useShader) {
  std::vector<ShaderParameter> records;
  if (!ScriptArrays::ShaderParameters(parameters, count, records)) return 0;
  return scene->CreateShader(file, records.empty() ? nullptr : records.data(), count, useShader);
}

// The scene answers with its one scratch list, which the next query overwrites: the script's
// array gets its own copy, as long as the count.
void GetPossibleColliders(CSceneInterface* scene, CVector3& point, float radius,
                          CScriptArray* meshes, UINT& count) {
  CMeshInterface** found = nullptr;
  count = 0;
  scene->GetPossibleColliders(point, radius, &found, &count);
  if (found == nullptr) count = 0;
  ScriptArrays::Assign(meshes, found, count);
}

void RegisterColorByte(CScriptRegistrar& registrar) {
  CScriptTypeRows c(registrar, "ColorByte", CScriptTypeRows::kRecord);
  c.Type(sizeof(ColorByte), ScriptGlue::PlainValueFlags<ColorByte>(asOBJ_APP_CLASS_ALLINTS));
  c.Property("uint8 cBlue", offsetof(ColorByte, cBlue), kSceneRow);
  c.Property("uint8 cRed", offsetof(ColorByte, cRed), kSceneRow);
  c.Property("uint8 cGreen", offsetof(ColorByte, cGreen), kSceneRow);
  c.Property("uint8 cReserved", offsetof(ColorByte, cReserved), kSceneRow);
}

void RegisterScene(CScriptRegistrar& registrar) {
  using Scene = CSceneInterface;
  CScriptTypeRows rows(registrar, "CSceneInterface", CScriptTypeRows::kInterface);
  rows.Known();
  // Every method fails with the same number.
  auto s = [&rows](const char* declaration, const ScriptCall& call,
                   std::source_location where = std::source_location::current()) {
    rows.Method(declaration, call, kSceneRow, where);
  };
  s("CWorldObjectInterface@ GetWorldObjects()", Method<&Scene::GetWorldObjects>());
  s("CMeshInterface@ GetMesh(uint)", Method<&Scene::GetMesh>());
  s("CMeshInterface@ GetMeshByName(const bstr &in, uint)", Method<&Scene::GetMeshByName>());
  s("CLightInterface@ GetLight(uint)", Method<&Scene::GetLight>());
  s("CCameraInterface@ GetCamera(uint)", Method<&Scene::GetCamera>());
  s("CNullInterface@ GetNull(uint)", Method<&Scene::GetNull>());
  s("CNullInterface@ GetNullByName(const bstr &in, uint)", Method<&Scene::GetNullByName>());
  s("uint GetNumberOfMeshes()", Method<&Scene::GetNumberOfMeshes>());
  s("uint GetNumberOfLights()", Method<&Scene::GetNumberOfLights>());
  s("uint GetNumberOfCameras()", Method<&Scene::GetNumberOfCameras>());
  s("uint GetNumberOfNullObjects()", Method<&Scene::GetNumberOfNullObjects>());
  s("uint GetActiveCameraNumber()", Method<&Scene::GetActiveCameraNumber>());
  s("bstr GetName()", Method<&Scene::GetName>());
  s("bstr GetDirectory()", Method<&Scene::GetDirectory>());
  // Scripts make meshes without dynamic buffers.
  s("CMeshInterface@ AddMesh()", MethodWith<&Scene::AddMesh, 0u>());
  s("CCameraInterface@ AddCamera()", Method<&Scene::AddCamera>());
  s("CNullInterface@ AddNull()", Method<&Scene::AddNull>());
  s("CLightInterface@ AddLight()", Method<&Scene::AddLight>());
  s("uint GetFirstFrame()", Method<&Scene::GetFirstFrame>());
  s("uint GetLastFrame()", Method<&Scene::GetLastFrame>());
  s("uint GetFrameStep()", Method<&Scene::GetFrameStep>());
  s("uint GetNumberOfSprites()", Method<&Scene::GetNumberOfSprites>());
  s("uint GetFogType()", Method<&Scene::GetFogType>());
  s("uint GetFogColor()", Method<&Scene::GetFogColor>());
  s("uint GetLightingModel()", Method<&Scene::GetLightingModel>());
  s("uint GetSceneFrames()", Method<&Scene::GetSceneFrames>());
  s("uint GetBackgroundColor()", Method<&Scene::GetBackgroundColor>());
  s("bstr GetShaderFileName()", Method<&Scene::GetShaderFileName>());
  s("uint GetUseShader()", Method<&Scene::GetUseShader>());
  s("ColorByte &GetColor()", Method<&Scene::GetColor>());
  s("CEnvelopeInterface@ GetAmbLightIntensityEnvelope()",
    Method<&Scene::GetAmbLightIntensityEnvelope>());
  s("float GetFramesPerSecond()", Method<&Scene::GetFramesPerSecond>());
  s("float GetMinimumFogDistance()", Method<&Scene::GetMinimumFogDistance>());
  s("float GetMaximumFogDistance()", Method<&Scene::GetMaximumFogDistance>());
  s("float GetFrame()", Method<&Scene::GetFrame>());
  s("void Render()", Method<&Scene::Render>());
  s("void PrepareMatrices()", Method<&Scene::PrepareMatrices>());
  s("void UpdateHierarchy()", Method<&Scene::UpdateHierarchy>());
  s("void SetAsActiveScene()", Method<&Scene::SetAsActiveScene>());
  s("void SetFogType(uint)", Method<&Scene::SetFogType>());
  s("void SetFogColor(uint)", Method<&Scene::SetFogColor>());
  s("void SetLightingModel(uint)", Method<&Scene::SetLightingModel>());
  s("void SetFirstFrame(uint)", Method<&Scene::SetFirstFrame>());
  s("void SetLastFrame(uint)", Method<&Scene::SetLastFrame>());
  s("void SetAmbientColor(uint)", Method<&Scene::SetAmbientColor>());
  s("uint SetActiveCamera(uint)", Method<&Scene::SetActiveCamera>());
  s("void SetBackgroundColor(uint)", Method<&Scene::SetBackgroundColor>());
  s("void SetFogMinDistance(float)", Method<&Scene::SetFogMinDistance>());
  s("void SetFogMaxDistnace(float)", Method<&Scene::SetFogMaxDistnace>());
  s("void SetFrame(float)", Method<&Scene::SetFrame>());
  s("void SetName(const bstr &in)", Method<&Scene::SetName>());
  s("void AddSprite(CSpriteInterface@)", Method<&Scene::AddSprite, kRejectNull>());
  s("uint RemoveSprite(CSpriteInterface@)", Method<&Scene::RemoveSprite, kRejectNull>());
  s("CSpriteInterface@ GetSprite(uint)", Method<&Scene::GetSprite>());
  s("CSpriteInterface@ GetSpriteByName(const bstr &in, uint)", Method<&Scene::GetSpriteByName>());
  s("uint CreateShader(const bstr &in, array<ShaderParameter>@, uint, uint)",
    Function<&CreateShader>(kObjFirst));
  // A null source reaches the scene, which logs it and answers 0.
  s("uint AddMeshes(CSceneInterface@)", Function<&AddMeshes>(kObjFirst));
  s("CMeshInterface@ FindNearestIntersection(const CRay &in, float &out, uint, CVector3 &out)",
    Method<Overload<CMeshInterface*(CRay&, float*, UINT, CVector3*)>(
        &Scene::FindNearestIntersection)>());
  s("CMeshInterface@ FindNearestIntersection(const CRay &in, float &out, uint)",
    Method<Overload<CMeshInterface*(CRay&, float*, UINT)>(&Scene::FindNearestIntersection)>());
  s("void GetUserDefinedData(VoidPtr &out, uint &out, uint &out)",
    Method<&Scene::GetUserDefinedData>());
  s("void SetUserDefinedData(const VoidPtr &in, uint, uint)", Method<&Scene::SetUserDefinedData>());
  s("void GetPossibleColliders(const CVector3 &in, float, array<CMeshInterface@>@, uint &out)",
    Function<&GetPossibleColliders>(kObjFirst));
  s("void SetShaderFile(const bstr &in, uint)", Method<&Scene::SetShaderFile>());
}

}  // namespace

bool RegisterSceneTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "SceneTypes");
  RegisterColorByte(registrar);
  RegisterScene(registrar);
  return registrar.Succeeded();
}
